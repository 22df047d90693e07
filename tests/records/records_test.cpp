#include <gtest/gtest.h>

#include "records/declarants.h"
#include "records/paiements.h"
#include "support/outils.h"

namespace qx {
namespace {

// A text property of a record, as a setter and a getter.
template <class R>
struct Propriete {
    const char* nom;
    void (R::*set)(std::string);
    const std::string& (R::*get)() const;
};
// One table row: a property of record R, by its name.
// clang-format off
#define QX_P(R, nom) Propriete<R>{#nom, &R::Set##nom, &R::nom}
// clang-format on

// Gives every property its own value, then reads them all back: a setter
// that writes into another field, or a getter that reads the wrong one, shows.
template <class R>
void verifierProprietesDistinctes(std::initializer_list<Propriete<R>> proprietes) {
    R record;
    for (const auto& p : proprietes) (record.*p.set)(std::string("«") + p.nom + "» é");
    for (const auto& p : proprietes)
        EXPECT_EQ((record.*p.get)(), std::string("«") + p.nom + "» é") << p.nom;
}

TEST(DeclarantsTest, EveryTextPropertyKeepsItsOwnValue) {
    using E = Cls_Emetteur;
    verifierProprietesDistinctes<E>({QX_P(E, vCode), QX_P(E, vNom), QX_P(E, vEmail), QX_P(E, vSMS),
                                     QX_P(E, vCodeApplication), QX_P(E, vNomApplication),
                                     QX_P(E, vVersionApplication)});
    using T = Cls_Redevable;
    verifierProprietesDistinctes<T>({QX_P(T, vFRP),
                                     QX_P(T, vSIRET),
                                     QX_P(T, vOCFI),
                                     QX_P(T, vTVAIntracom),
                                     QX_P(T, vNomSociete),
                                     QX_P(T, vRepresentant),
                                     QX_P(T, vFonction),
                                     QX_P(T, vAdr_Entree),
                                     QX_P(T, vAdr_Voie),
                                     QX_P(T, vAdr_Complement),
                                     QX_P(T, vAdr_CodePostal),
                                     QX_P(T, vAdr_Ville),
                                     QX_P(T, vAdr_BureauDistrib),
                                     QX_P(T, vAdr_Pays),
                                     QX_P(T, vAdr_CodePays),
                                     QX_P(T, vAdr_Code_Etendu),
                                     QX_P(T, vAdr_Code_INSEE),
                                     QX_P(T, vTelephone),
                                     QX_P(T, vEmail),
                                     QX_P(T, vDateRedressement)});
    using D = Cls_Redacteur;
    verifierProprietesDistinctes<D>(
        {QX_P(D, vNom), QX_P(D, vSIRET), QX_P(D, vEmail), QX_P(D, vTelephone), QX_P(D, vSMS),
         QX_P(D, vAdr_Entree), QX_P(D, vAdr_Voie), QX_P(D, vAdr_Complement),
         QX_P(D, vAdr_CodePostal), QX_P(D, vAdr_Ville), QX_P(D, vAdr_Bureau_Distrib),
         QX_P(D, vAdr_Pays), QX_P(D, vAdr_CodePays), QX_P(D, vAdr_Code_Etendu),
         QX_P(D, vAdr_Code_INSEE)});
    using B = Cls_Rib;
    verifierProprietesDistinctes<B>({QX_P(B, vTitulaire), QX_P(B, vIBAN), QX_P(B, vGuichet),
                                     QX_P(B, vCompte), QX_P(B, vComplement), QX_P(B, vCle),
                                     QX_P(B, vBIC), QX_P(B, vBanque)});
}

// Street numbers are stored below 9999 only, on the taxpayer and the preparer alike.
TEST(DeclarantsTest, StreetNumberKeepsItsValueFrom9999Up) {
    const std::pair<std::vector<int16_t>, int16_t> cas[] = {
        {{}, 0},    {{9998}, 9998},    {{9998, 9999}, 9998}, {{12000}, 0},
        {{-1}, -1}, {{12, 32767}, 12}, {{-32768}, -32768},   {{5, 0}, 0},
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

TEST(PaiementsTest, DebitsAreMadeOnFirstUseAndBankAccountsStayNothingOnceCleared) {
    Cls_Paiement paiement;
    EXPECT_EQ(paiement.PrelevementsExistants(), nullptr);
    auto premiers = paiement.Cls_Prelevements();
    EXPECT_TRUE(premiers && paiement.Cls_Prelevements() == premiers);
    // A collection set from outside is shared, not copied; set to nothing, the
    // next get makes a fresh, empty one.
    auto autres = std::make_shared<Cls_Prelevements>();
    paiement.SetCls_Prelevements(autres);
    auto p = autres->Add(2);
    EXPECT_EQ(paiement.Cls_Prelevements(), autres);
    paiement.SetCls_Prelevements(nullptr);
    EXPECT_EQ(paiement.Cls_Prelevements()->Count(), 0);

    auto rib = p->Cls_Rib();
    EXPECT_TRUE(rib && p->Cls_Rib() == rib);
    EXPECT_NE(autres->Add(3)->Cls_Rib(), rib) << "each debit has its own account";
    p->SetCls_Rib(nullptr);
    EXPECT_EQ(p->Cls_Rib(), nullptr);

    Cls_Paiements paiements;  // the allocation number is wider than 16 bits
    paiements.SetvPaiementImputation(-70000);
    EXPECT_EQ(paiements.vPaiementImputation(), -70000);
}

}  // namespace
}  // namespace qx
