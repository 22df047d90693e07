#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "records/declarants.h"
#include "records/paiements.h"

namespace qx {
namespace {

int32_t errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const Error& e) {
        return e.number();
    }
    return 0;
}

// A text property of a record, as a setter and a getter.
template <class R>
struct Propriete {
    const char* nom;
    void (R::*set)(std::string);
    const std::string& (R::*get)() const;
};

// Gives every property its own value, then reads them all back: a setter
// that writes into another field, or a getter that reads the wrong one, shows.
template <class R>
void verifierProprietesDistinctes(const std::vector<Propriete<R>>& proprietes) {
    R record;
    for (const auto& p : proprietes) EXPECT_EQ((record.*p.get)(), "") << p.nom;
    for (const auto& p : proprietes) (record.*p.set)(std::string("«") + p.nom + "» é");
    for (const auto& p : proprietes)
        EXPECT_EQ((record.*p.get)(), std::string("«") + p.nom + "» é") << p.nom;
}

TEST(DeclarantsTest, EveryTextPropertyKeepsItsOwnValue) {
    using E = Cls_Emetteur;
    verifierProprietesDistinctes<E>({
        {"vCode", &E::SetvCode, &E::vCode},
        {"vNom", &E::SetvNom, &E::vNom},
        {"vEmail", &E::SetvEmail, &E::vEmail},
        {"vSMS", &E::SetvSMS, &E::vSMS},
        {"vCodeApplication", &E::SetvCodeApplication, &E::vCodeApplication},
        {"vNomApplication", &E::SetvNomApplication, &E::vNomApplication},
        {"vVersionApplication", &E::SetvVersionApplication, &E::vVersionApplication},
    });
    using T = Cls_Redevable;
    verifierProprietesDistinctes<T>({
        {"vFRP", &T::SetvFRP, &T::vFRP},
        {"vSIRET", &T::SetvSIRET, &T::vSIRET},
        {"vOCFI", &T::SetvOCFI, &T::vOCFI},
        {"vTVAIntracom", &T::SetvTVAIntracom, &T::vTVAIntracom},
        {"vNomSociete", &T::SetvNomSociete, &T::vNomSociete},
        {"vRepresentant", &T::SetvRepresentant, &T::vRepresentant},
        {"vFonction", &T::SetvFonction, &T::vFonction},
        {"vAdr_Entree", &T::SetvAdr_Entree, &T::vAdr_Entree},
        {"vAdr_Voie", &T::SetvAdr_Voie, &T::vAdr_Voie},
        {"vAdr_Complement", &T::SetvAdr_Complement, &T::vAdr_Complement},
        {"vAdr_CodePostal", &T::SetvAdr_CodePostal, &T::vAdr_CodePostal},
        {"vAdr_Ville", &T::SetvAdr_Ville, &T::vAdr_Ville},
        {"vAdr_BureauDistrib", &T::SetvAdr_BureauDistrib, &T::vAdr_BureauDistrib},
        {"vAdr_Pays", &T::SetvAdr_Pays, &T::vAdr_Pays},
        {"vAdr_CodePays", &T::SetvAdr_CodePays, &T::vAdr_CodePays},
        {"vAdr_Code_Etendu", &T::SetvAdr_Code_Etendu, &T::vAdr_Code_Etendu},
        {"vAdr_Code_INSEE", &T::SetvAdr_Code_INSEE, &T::vAdr_Code_INSEE},
        {"vTelephone", &T::SetvTelephone, &T::vTelephone},
        {"vEmail", &T::SetvEmail, &T::vEmail},
        {"vDateRedressement", &T::SetvDateRedressement, &T::vDateRedressement},
    });
    using P = Cls_Redacteur;
    verifierProprietesDistinctes<P>({
        {"vNom", &P::SetvNom, &P::vNom},
        {"vSIRET", &P::SetvSIRET, &P::vSIRET},
        {"vEmail", &P::SetvEmail, &P::vEmail},
        {"vTelephone", &P::SetvTelephone, &P::vTelephone},
        {"vSMS", &P::SetvSMS, &P::vSMS},
        {"vAdr_Entree", &P::SetvAdr_Entree, &P::vAdr_Entree},
        {"vAdr_Voie", &P::SetvAdr_Voie, &P::vAdr_Voie},
        {"vAdr_Complement", &P::SetvAdr_Complement, &P::vAdr_Complement},
        {"vAdr_CodePostal", &P::SetvAdr_CodePostal, &P::vAdr_CodePostal},
        {"vAdr_Ville", &P::SetvAdr_Ville, &P::vAdr_Ville},
        {"vAdr_Bureau_Distrib", &P::SetvAdr_Bureau_Distrib, &P::vAdr_Bureau_Distrib},
        {"vAdr_Pays", &P::SetvAdr_Pays, &P::vAdr_Pays},
        {"vAdr_CodePays", &P::SetvAdr_CodePays, &P::vAdr_CodePays},
        {"vAdr_Code_Etendu", &P::SetvAdr_Code_Etendu, &P::vAdr_Code_Etendu},
        {"vAdr_Code_INSEE", &P::SetvAdr_Code_INSEE, &P::vAdr_Code_INSEE},
    });
    using B = Cls_Rib;
    verifierProprietesDistinctes<B>({
        {"vTitulaire", &B::SetvTitulaire, &B::vTitulaire},
        {"vIBAN", &B::SetvIBAN, &B::vIBAN},
        {"vGuichet", &B::SetvGuichet, &B::vGuichet},
        {"vCompte", &B::SetvCompte, &B::vCompte},
        {"vComplement", &B::SetvComplement, &B::vComplement},
        {"vCle", &B::SetvCle, &B::vCle},
        {"vBIC", &B::SetvBIC, &B::vBIC},
        {"vBanque", &B::SetvBanque, &B::vBanque},
    });
}

// Street numbers are stored below 9999 only, on the taxpayer and the preparer alike.
template <class R>
void verifierNumeros() {
    struct Cas {
        std::vector<int16_t> valeurs;
        int16_t attendu;
    };
    const Cas cas[] = {
        {{}, 0},    {{9998}, 9998},    {{9998, 9999}, 9998}, {{12000}, 0},
        {{-1}, -1}, {{12, 32767}, 12}, {{-32768}, -32768},   {{5, 0}, 0},
    };
    for (const auto& c : cas) {
        R record;
        for (int16_t v : c.valeurs) record.SetvAdr_Numero(v);
        EXPECT_EQ(record.vAdr_Numero(), c.attendu) << ::testing::PrintToString(c.valeurs);
    }
}

TEST(DeclarantsTest, StreetNumberKeepsItsValueFrom9999Up) {
    verifierNumeros<Cls_Redevable>();
    verifierNumeros<Cls_Redacteur>();
}

// Both collections behave alike; the tests run on each.
template <class C>
class CollectionsTest : public ::testing::Test {};
using Collections = ::testing::Types<Cls_Paiements, Cls_Prelevements>;
TYPED_TEST_SUITE(CollectionsTest, Collections);

TYPED_TEST(CollectionsTest, PositionsKeysAndRemoval) {
    auto c = std::make_shared<TypeParam>();
    auto a = c->Add(7);
    auto b = c->Add(7, "Élan");
    auto d = c->Add(3, "");
    EXPECT_EQ(c->Count(), 3);
    // The number is stored on the record only: it addresses nothing.
    EXPECT_EQ(a->Key, 7);
    EXPECT_EQ(b->Key, 7);
    EXPECT_EQ(c->Item(Value(int32_t{1})), a);
    EXPECT_EQ(c->Item(Value(int16_t{2})), b);
    EXPECT_EQ(c->Item(Value(3.0)), d);
    EXPECT_EQ(c->Item(Value("éLAN")), b);

    c->Remove(Value(int32_t{1}));
    EXPECT_EQ(c->Count(), 2);
    EXPECT_EQ(c->Item(Value(int32_t{1})), b);
    c->Remove(Value("ÉLAN"));
    EXPECT_EQ(c->Count(), 1);
    EXPECT_EQ(c->Item(Value(int32_t{1})), d);
    // The key is free again once its record is gone.
    auto e = c->Add(1, "élan");
    EXPECT_EQ(c->Item(Value("Élan")), e);
}

TYPED_TEST(CollectionsTest, RefusalsLeaveTheCollectionAsItWas) {
    auto c = std::make_shared<TypeParam>();
    auto premier = c->Add(1, "Clé");
    c->Add(2);
    struct Cas {
        const char* quoi;
        std::function<void()> appel;
        int32_t erreur;
    };
    const Cas cas[] = {
        {"duplicate key in other case", [&] { c->Add(3, "CLÉ"); }, err::CleExistante},
        {"item at 0", [&] { c->Item(Value(int32_t{0})); }, err::HorsSelection},
        {"item past the end", [&] { c->Item(Value(int32_t{3})); }, err::HorsSelection},
        {"item of an unknown key", [&] { c->Item(Value("autre")); }, err::AppelIncorrect},
        {"removal at -1", [&] { c->Remove(Value(int32_t{-1})); }, err::HorsSelection},
        {"removal past the end", [&] { c->Remove(Value(int32_t{3})); }, err::HorsSelection},
        {"removal of an unknown key", [&] { c->Remove(Value("autre")); }, err::AppelIncorrect},
    };
    for (const auto& k : cas) {
        EXPECT_EQ(errorOf(k.appel), k.erreur) << k.quoi;
        EXPECT_EQ(c->Count(), 2) << k.quoi;
    }
    EXPECT_EQ(c->Item(Value("clé")), premier);
}

TYPED_TEST(CollectionsTest, EnumerationIsASnapshotInPositionOrder) {
    auto c = std::make_shared<TypeParam>();
    for (int16_t i = 1; i <= 3; ++i) c->Add(i);
    auto membres = c->NewEnum();
    c->Remove(Value(int32_t{2}));
    ASSERT_EQ(membres.size(), 3u);
    for (int16_t i = 1; i <= 3; ++i) EXPECT_EQ(membres[static_cast<size_t>(i - 1)]->Key, i);
    EXPECT_EQ(c->NewEnum().size(), 2u);
}

TEST(PaiementsTest, FreshRecordsHoldZerosAndEmptyTexts) {
    Cls_Paiements paiements;
    EXPECT_EQ(paiements.vPaiementImputation(), 0);
    paiements.SetvPaiementImputation(-70000);
    EXPECT_EQ(paiements.vPaiementImputation(), -70000);

    Cls_Paiement paiement;
    EXPECT_EQ(paiement.Key, 0);
    EXPECT_EQ(paiement.vReference(), "");
    EXPECT_EQ(paiement.vNbVirement(), 0);
    EXPECT_EQ(paiement.vMode(), 0);
    paiement.SetvMode(-3);
    paiement.SetvNbVirement(2);
    EXPECT_EQ(paiement.vMode(), -3);
    EXPECT_EQ(paiement.vNbVirement(), 2);

    auto prelevement = paiement.Cls_Prelevements()->Add(4);
    EXPECT_EQ(prelevement->vReference(), "");
    EXPECT_EQ(prelevement->vMontant(), 0.0);
    prelevement->SetvMontant(-12.345);
    EXPECT_EQ(prelevement->vMontant(), -12.345);
}

TEST(PaiementsTest, DebitsOfAPaymentAreMadeOnFirstUse) {
    auto paiement = std::make_shared<Cls_Paiement>();
    EXPECT_EQ(paiement->PrelevementsExistants(), nullptr);
    auto premiers = paiement->Cls_Prelevements();
    ASSERT_NE(premiers, nullptr);
    EXPECT_EQ(paiement->Cls_Prelevements(), premiers);
    premiers->Add(1);
    EXPECT_EQ(paiement->Cls_Prelevements()->Count(), 1);

    // A collection set from outside is shared, not copied.
    auto autres = std::make_shared<Cls_Prelevements>();
    paiement->SetCls_Prelevements(autres);
    autres->Add(1);
    autres->Add(2);
    EXPECT_EQ(paiement->Cls_Prelevements(), autres);
    EXPECT_EQ(paiement->Cls_Prelevements()->Count(), 2);

    // Set to nothing, the next get makes a fresh, empty one.
    paiement->SetCls_Prelevements(nullptr);
    auto nouveaux = paiement->Cls_Prelevements();
    ASSERT_NE(nouveaux, nullptr);
    EXPECT_NE(nouveaux, autres);
    EXPECT_EQ(nouveaux->Count(), 0);
}

TEST(PaiementsTest, BankAccountOfADebitComesWithItAndStaysNothingOnceCleared) {
    Cls_Prelevements prelevements;
    auto p = prelevements.Add(1);
    auto rib = p->Cls_Rib();
    ASSERT_NE(rib, nullptr);
    EXPECT_EQ(p->Cls_Rib(), rib);
    EXPECT_EQ(rib->vIBAN(), "");
    // Each debit has its own account.
    EXPECT_NE(prelevements.Add(2)->Cls_Rib(), rib);

    auto autre = std::make_shared<Cls_Rib>();
    p->SetCls_Rib(autre);
    autre->SetvBIC("BNPAFRPP");
    EXPECT_EQ(p->Cls_Rib()->vBIC(), "BNPAFRPP");

    p->SetCls_Rib(nullptr);
    EXPECT_EQ(p->Cls_Rib(), nullptr);
    EXPECT_EQ(p->Cls_Rib(), nullptr);
}

TEST(PaiementsTest, ReleasingAPaymentReleasesWhatItHolds) {
    std::weak_ptr<Cls_Rib> rib;
    std::weak_ptr<Cls_Prelevements> prelevements;
    {
        Cls_Paiements paiements;
        auto paiement = paiements.Add(1, "p");
        prelevements = paiement->Cls_Prelevements();
        rib = paiement->Cls_Prelevements()->Add(1)->Cls_Rib();
    }
    EXPECT_TRUE(rib.expired());
    EXPECT_TRUE(prelevements.expired());
}

}  // namespace
}  // namespace qx
