// Stored declarations read back: the rubric table of a form, the payments,
// and the amount to pay of a computed return.
#include <gtest/gtest.h>

#include <sstream>
#include <tuple>

#include "banc_ardilo.h"
#include "declaration/declaration_tva.h"

namespace qx {
namespace {

using test::BancArdilo;
using test::ecrireFichier;

const std::string kSamples = QX_SAMPLES_DIR;
const std::string kMarque = "\xEF\xBB\xBF";

// A pivot text as the product writes it, with boxes (type, code, value) in the
// order given and two payments, the first with a debit.
std::string pivot(const std::vector<std::tuple<int16_t, std::string, double>>& boites,
                  int32_t modeDuPremier = 2) {
    ardilo::DeclarationSubstitut d;
    for (const auto& [type, code, valeur] : boites)
        d.FormulairesEdi()->Formulaire(type)->RubriquesEdi()->Rubrique(code)->SetValeur(valeur);
    auto reglements = d.DepotEdi()->ReglementsEdi();
    auto r1 = reglements->Ajouter();
    r1->SetMode(modeDuPremier);
    r1->SetNbVirement(1);
    auto p = r1->PrelevementsEdi()->Ajouter();
    p->SetMontant(100.5);
    using R = RibEdi;
    test::textes(*p->RibEdi(), &R::SetIBAN, "FR76AAA", &R::SetBIC, "BICXFRPP", &R::SetTitulaire,
                 "Épicerie Ti Kaz", &R::SetBanque, "11315", &R::SetGuichet, "00001", &R::SetCompte,
                 "0123", &R::SetCle, "45", &R::SetComplement, "c");
    reglements->Ajouter()->SetMode(3);
    return d.TexteXML();
}

// Each entry as "form:code=value", with "+" when it carries a label.
std::vector<std::string> vue(const std::vector<TRubr>& rubriques) {
    std::vector<std::string> v;
    for (const TRubr& r : rubriques)
        v.push_back(r.Rubr_TypeDeclaration + ":" + r.Rubr_Id + "=" +
                    (std::ostringstream() << r.Rubr_Valeur).str() +
                    (r.Rubr_Intitule.empty() ? "" : "+"));
    return v;
}

TEST(PivotTest, ConversionTakesTheFormOfTheDeclarationType) {
    const std::string ca3 = pivot({{0, "CA", 10}, {0, "KE", 20.5}, {0, "DA", 3}, {2, "CA", 7}});
    const std::string ca12 = pivot({{4, "KA", 1}, {5, "SC", 2}, {5, "KA", 9}});
    const std::vector<std::string> inchange = {":=0", "X:Y=1"};
    const std::tuple<const char*, std::optional<std::string>, bool, std::vector<std::string>>
        cas[] = {
            // type, file content (none: no file), result, table after
            {"CA3", kMarque + ca3, true, {":=0", "CA3:CA=10+", "CA3:KE=20.5+", "CA3:DA=3+"}},
            {"CA3A", ca3, true, {":=0", "CA3A:CA=7+"}},
            {"CA12", ca12, true, {":=0", "CA12E:SC=2+", "CA12E:KA=9+"}},  // the last of 4 and 5
            {"CA12E", ca3, true, inchange},                               // no form of the type
            {"CA12A", ca12, false, inchange},
            {"ca3", ca3, false, inchange},
            {"CA3", std::nullopt, false, inchange},
            {"CA3", "<autre/>", false, inchange},
        };
    for (const auto& [type, contenu, resultat, attendu] : cas) {
        SCOPED_TRACE(std::string(type) + " " + contenu.value_or("(no file)").substr(0, 20));
        BancArdilo banc;
        if (contenu) ecrireFichier(banc.dossier / "pivot.xml", *contenu);
        Cls_DeclarationTVA d;
        d.SetvTypeDeclaration(type);
        std::vector<TRubr> rubriques = {{}, {"X", "Y", "", 1}};
        EXPECT_EQ(d.Conversion_Pivot((banc.dossier / "pivot.xml").string(), rubriques), resultat);
        EXPECT_EQ(vue(rubriques), attendu);
    }
}

// Each payment as "mode/transfers/reference", then its debits as
// "amount/reference/bank account fields".
std::vector<std::string> lire(const Cls_Paiements& paiements) {
    std::vector<std::string> lus;
    for (const auto& p : paiements.NewEnum()) {
        std::ostringstream e;
        e << p->vMode() << "/" << p->vNbVirement() << "/" << p->vReference();
        if (auto debits = PrelevementsExistants(*p))
            for (const auto& d : debits->NewEnum()) {
                auto r = d->Cls_Rib();
                e << " " << d->vMontant() << "/" << d->vReference() << "/" << r->vTitulaire() << "|"
                  << r->vComplement() << "|" << r->vBanque() << "|" << r->vGuichet() << "|"
                  << r->vCompte() << "|" << r->vCle() << "|" << r->vBIC() << "|" << r->vIBAN();
            }
        lus.push_back(e.str());
    }
    return lus;
}

TEST(PivotTest, PaymentsAreReadBackAndAppended) {
    const std::vector<std::string> lus = {
        "5/0/", "2/1/REG1 100.5/REG1-PRL1/Épicerie Ti Kaz|c|11315|00001|0123|45|BICXFRPP|FR76AAA",
        "3/0/REG2"};
    const std::string texte = pivot({{0, "CA", 1}});
    const std::tuple<std::string, bool, std::vector<std::string>> cas[] = {
        {kMarque + texte, true, lus},
        {texte, false, {"5/0/"}},  // no mark: the text loses its first bytes
        // A mode beyond 16 bits stops the reading after what was read.
        {kMarque + pivot({}, 40000), false, {"5/0/", "0/0/"}},
    };
    for (const auto& [contenu, resultat, attendu] : cas) {
        SCOPED_TRACE(contenu.substr(0, 20));
        BancArdilo banc;
        ecrireFichier(banc.dossier / "pivot.xml", contenu);
        Cls_DeclarationTVA d;
        d.Obj_Paiements()->Add(9, "du client")->SetvMode(5);
        EXPECT_EQ(d.Init_Reglements((banc.dossier / "pivot.xml").string()), resultat);
        EXPECT_EQ(lire(*d.Obj_Paiements()), attendu);
    }
}

TEST(PivotTest, AmountToPayOfAComputedReturn) {
    // The sample's KE (584) is the command-line tests' check.
    const std::string donnees = kSamples + "/ca3/donnees.xml";
    const std::string rubriques = kSamples + "/ca3/rubriques.xml";
    BancArdilo banc;
    Cls_DeclarationTVA d;
    // A calculation that fails gives nothing to pay; the product's absence reaches the caller.
    EXPECT_EQ(d.GetMontantAPayer(kSamples + "/absent.xml", rubriques).ticks, 0);
    banc.produit->RendreIndisponible(kClasseDeclarationEdi);
    EXPECT_EQ(test::errorOf([&] { d.GetMontantAPayer(donnees, rubriques); }), err::CreationObjet);
}

}  // namespace
}  // namespace qx
