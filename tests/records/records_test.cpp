#include <gtest/gtest.h>

#include "records/declarants.h"
#include "records/paiements.h"
#include "support/outils.h"

namespace qx {
namespace {

// Street numbers are stored below 9999 only, on the taxpayer and the preparer alike.
TEST(DeclarantsTest, StreetNumberKeepsItsValueFrom9999Up) {
    const std::pair<std::vector<int16_t>, int16_t> cas[] = {
        {{}, 0}, {{9998}, 9998}, {{9998, 9999}, 9998}, {{-32768}, -32768}, {{5, 0}, 0},
    };
    for (const auto& [valeurs, attendu] : cas) {
        Cls_Redevable redevable;
        Cls_Redacteur redacteur;
        for (int16_t v : valeurs) redevable.SetvAdr_Numero(v), redacteur.SetvAdr_Numero(v);
        EXPECT_EQ(redevable.vAdr_Numero(), attendu) << ::testing::PrintToString(valeurs);
        EXPECT_EQ(redacteur.vAdr_Numero(), attendu) << ::testing::PrintToString(valeurs);
    }
}

// Both collections behave alike; their positions, keys and errors are the
// shared collection's, checked with it: here, that Add and the rest reach it.
template <class C>
class CollectionsTest : public ::testing::Test {};
using Collections = ::testing::Types<Cls_Paiements, Cls_Prelevements>;
TYPED_TEST_SUITE(CollectionsTest, Collections);

TYPED_TEST(CollectionsTest, AddNumbersTheRecordAndKeysItInTheCollection) {
    TypeParam c;
    auto a = c.Add(7);
    auto b = c.Add(7, "Élan");
    const auto instantane = c.NewEnum();
    // The number is stored on the record only: it addresses nothing.
    EXPECT_EQ(b->Key, 7);
    EXPECT_EQ(c.Item(Value(int16_t{2})), b);
    EXPECT_EQ(c.Item(Value("éLAN")), b);
    // A refused duplicate is not added.
    EXPECT_EQ(test::errorOf([&] { c.Add(3, "ÉLAN"); }), err::CleExistante);
    c.Remove(Value("élan"));
    EXPECT_EQ(c.Count(), 1);
    EXPECT_EQ(c.Item(Value(int32_t{1})), a);
    EXPECT_EQ(instantane, (std::vector<decltype(a)>{a, b})) << "enumeration is a snapshot";
}

// Debits and bank accounts made on first use, and an account cleared staying
// nothing, show in the generation tests.
TEST(PaiementsTest, DebitsSetFromOutsideAreSharedAndEachDebitHasItsOwnAccount) {
    Cls_Paiement paiement;
    auto autres = std::make_shared<Cls_Prelevements>();
    paiement.SetCls_Prelevements(autres);
    auto p = autres->Add(2);
    EXPECT_EQ(paiement.Cls_Prelevements(), autres);
    // Set to nothing, the next get makes a fresh, empty one.
    paiement.SetCls_Prelevements(nullptr);
    EXPECT_EQ(paiement.Cls_Prelevements()->Count(), 0);
    EXPECT_NE(autres->Add(3)->Cls_Rib(), p->Cls_Rib());

    Cls_Paiements paiements;  // the allocation number is wider than 16 bits
    paiements.SetvPaiementImputation(-70000);
    EXPECT_EQ(paiements.vPaiementImputation(), -70000);
}

}  // namespace
}  // namespace qx
