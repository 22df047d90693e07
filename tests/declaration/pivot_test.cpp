// Stored declarations read back: the rubric table of a form, the payments,
// and the amount to pay of a computed return.
#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <tuple>

#include "banc_ardilo.h"
#include "declaration/declaration_tva.h"
#include "engine/calcul_tva.h"

namespace qx {
namespace {

namespace fs = std::filesystem;
using test::BancArdilo;
using test::ecrireFichier;

const std::string kSamples = QX_SAMPLES_DIR;
constexpr std::string_view kMarque = "\xEF\xBB\xBF";

// A pivot text as the product writes it, with the forms asked for:
// type -> boxes (code, value) in the order they are added.
std::string pivot(
    const std::vector<std::pair<int16_t, std::vector<std::pair<std::string, double>>>>& formulaires,
    int32_t modeDuPremier = 2) {
    ardilo::DeclarationSubstitut d;
    for (const auto& [type, boites] : formulaires)
        for (const auto& [code, valeur] : boites)
            d.FormulairesEdi()->Formulaire(type)->RubriquesEdi()->Rubrique(code)->SetValeur(valeur);
    auto reglements = d.DepotEdi()->ReglementsEdi();
    auto r1 = reglements->Ajouter();
    r1->SetMode(modeDuPremier);
    r1->SetNbVirement(1);
    for (const char* iban : {"FR76AAA", "FR76BBB"}) {
        auto p = r1->PrelevementsEdi()->Ajouter();
        p->SetMontant(iban[4] == 'A' ? 100.5 : 200);
        auto rib = p->RibEdi();
        rib->SetIBAN(iban);
        rib->SetBIC("BICXFRPP");
        rib->SetTitulaire("Épicerie Ti Kaz");
        rib->SetBanque("11315");
        rib->SetGuichet("00001");
        rib->SetCompte("0123");
        rib->SetCle("45");
        rib->SetComplement("c");
    }
    reglements->Ajouter()->SetMode(3);
    return d.TexteXML();
}

// Line ends of the stored text replaced, as another tool might have written them.
std::string finsDeLigne(std::string texte, std::string_view fin) {
    std::string sortie;
    for (char c : texte) {
        if (c == '\n')
            sortie += fin;
        else
            sortie += c;
    }
    return sortie;
}

// Each entry as "form:code=value", with "+" when it carries a label.
std::vector<std::string> vue(const std::vector<TRubr>& rubriques) {
    std::vector<std::string> v;
    for (const TRubr& r : rubriques) {
        std::ostringstream e;
        e << r.Rubr_TypeDeclaration << ":" << r.Rubr_Id << "=" << r.Rubr_Valeur
          << (r.Rubr_Intitule.empty() ? "" : "+");
        v.push_back(e.str());
    }
    return v;
}

TEST(PivotTest, ConversionTakesTheFormOfTheDeclarationType) {
    const std::string ca3 = pivot({{0, {{"CA", 10}, {"KE", 20.5}, {"DA", 3}}}, {2, {{"CA", 7}}}});
    const std::string ca12 = pivot({{4, {{"KA", 1}}}, {5, {{"SC", 2}, {"KA", 9}}}});
    const std::string ca12eSeul = pivot({{5, {{"SC", 2}}}});
    const std::vector<TRubr> ancien = {{}, {"X", "Y", "", 1}};
    const std::vector<std::string> inchange = {":=0", "X:Y=1"};
    const std::vector<std::string> troisCa3 = {":=0", "CA3:CA=10+", "CA3:KE=20.5+", "CA3:DA=3+"};
    struct Cas {
        const char* nom;
        const char* type;
        std::string contenu;  // nothing written when empty
        bool resultat;
        std::vector<std::string> attendu;
    };
    const Cas cas[] = {
        {"CA3 with its mark and CR LF", "CA3", std::string(kMarque) + finsDeLigne(ca3, "\r\n"),
         true, troisCa3},
        {"CA3A, lone LF", "CA3A", finsDeLigne(ca3, "\n"), true, {":=0", "CA3A:CA=7+"}},
        {"CA3, lone CR", "CA3", finsDeLigne(ca3, "\r"), true, troisCa3},
        {"CA12 takes the last of types 4 and 5",
         "CA12",
         ca12,
         true,
         {":=0", "CA12E:SC=2+", "CA12E:KA=9+"}},
        {"CA12 with only a CA12E", "CA12", ca12eSeul, true, {":=0", "CA12E:SC=2+"}},
        {"no form of the type", "CA12E", ca3, true, inchange},
        {"CA12A is not converted", "CA12A", ca12, false, inchange},
        {"unknown type", "ca3", ca3, false, inchange},
        {"missing file", "CA3", "", false, inchange},
        {"not a declaration", "CA3", "<autre/>", false, inchange},
        {"empty file", "CA3", std::string("\0", 0), false, inchange},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        BancArdilo banc;
        const fs::path chemin = banc.dossier / "pivot.xml";
        if (!c.contenu.empty() || std::string_view(c.nom) == "empty file")
            ecrireFichier(chemin, c.contenu);
        Cls_DeclarationTVA d;
        d.SetvTypeDeclaration(c.type);
        std::vector<TRubr> rubriques = ancien;
        EXPECT_EQ(d.Conversion_Pivot(chemin.string(), rubriques), c.resultat);
        EXPECT_EQ(vue(rubriques), c.attendu);
    }
}

struct Lu {
    int16_t mode, nbVirement;
    std::string reference;
    std::vector<std::tuple<double, std::string, std::string>> debits;  // amount, reference, rib
    bool operator==(const Lu&) const = default;
};

std::vector<Lu> lire(const Cls_Paiements& paiements) {
    std::vector<Lu> lus;
    for (const auto& p : paiements.NewEnum()) {
        Lu lu{p->vMode(), p->vNbVirement(), p->vReference(), {}};
        if (p->PrelevementsExistants())
            for (const auto& debit : p->PrelevementsExistants()->NewEnum()) {
                auto rib = debit->Cls_Rib();
                lu.debits.emplace_back(debit->vMontant(), debit->vReference(),
                                       rib->vTitulaire() + "|" + rib->vComplement() + "|" +
                                           rib->vBanque() + "|" + rib->vGuichet() + "|" +
                                           rib->vCompte() + "|" + rib->vCle() + "|" + rib->vBIC() +
                                           "|" + rib->vIBAN());
            }
        lus.push_back(lu);
    }
    return lus;
}

TEST(PivotTest, PaymentsAreReadBackAndAppended) {
    const std::string rib = "Épicerie Ti Kaz|c|11315|00001|0123|45|BICXFRPP|";
    const Lu premier{
        2, 1, "REG1", {{100.5, "REG1-PRL1", rib + "FR76AAA"}, {200, "REG1-PRL2", rib + "FR76BBB"}}};
    const Lu second{3, 0, "REG2", {}};
    const std::string texte = pivot({{0, {{"CA", 1}}}});
    struct Cas {
        const char* nom;
        std::string contenu;
        bool resultat;
        std::vector<Lu> attendu;
    };
    const Cas cas[] = {
        {"mark and CR LF",
         std::string(kMarque) + finsDeLigne(texte, "\r\n"),
         true,
         {premier, second}},
        {"any three first bytes, lone LF",
         "abc" + finsDeLigne(texte, "\n"),
         true,
         {premier, second}},
        {"first line of two bytes", "ab\r\n" + texte, false, {}},
        {"no mark: the text loses its first bytes", texte, false, {}},
        {"mode beyond 16 bits stops after what was read",
         std::string(kMarque) + pivot({{0, {}}}, 40000),
         false,
         {Lu{0, 0, "", {}}}},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        BancArdilo banc;
        ecrireFichier(banc.dossier / "pivot.xml", c.contenu);
        Cls_DeclarationTVA d;
        d.Obj_Paiements()->Add(9, "du client")->SetvMode(5);
        EXPECT_EQ(d.Init_Reglements((banc.dossier / "pivot.xml").string()), c.resultat);
        std::vector<Lu> attendu = {Lu{5, 0, "", {}}};
        attendu.insert(attendu.end(), c.attendu.begin(), c.attendu.end());
        EXPECT_EQ(lire(*d.Obj_Paiements()), attendu);
        if (c.resultat) {
            // Read twice: every payment is there twice.
            EXPECT_TRUE(d.Init_Reglements((banc.dossier / "pivot.xml").string()));
            EXPECT_EQ(d.Obj_Paiements()->Count(), 5);
            EXPECT_EQ(d.Obj_Paiements()->Item(Value(int32_t{4}))->Key, 1);
        }
    }
    Cls_DeclarationTVA d;
    EXPECT_FALSE(d.Init_Reglements(kSamples + "/absent.xml"));
    EXPECT_FALSE(d.Init_Reglements(kSamples));
    EXPECT_EQ(d.Obj_Paiements()->Count(), 0);
}

TEST(PivotTest, AmountToPayOfAComputedReturn) {
    const std::string donnees = kSamples + "/ca3/donnees.xml";
    const std::string rubriques = kSamples + "/ca3/rubriques.xml";
    // The engine's own KE, computed under the declaration type in force.
    auto ke = [&] {
        auto calcul = CCalculTVA::Creer();
        calcul->Init(donnees, rubriques, "");
        return static_cast<int64_t>(calcul->Rubriques()->Item(Value("CA3KE"))->AsDouble());
    };
    struct Cas {
        const char* type;
        std::string donnees;
        bool copie;  // whether the CA3 is copied
    };
    const Cas cas[] = {
        {"CA3", donnees, true},
        {"CA3A", donnees, true},
        {"CA12E", donnees, false},
        {"CA3", kSamples + "/absent.xml", false},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.type);
        BancArdilo banc;
        Cls_DeclarationTVA d;
        d.SetvTypeDeclaration(c.type);
        const int64_t attendu = c.copie ? ke() * 10000 : 0;
        if (c.copie) {
            EXPECT_GT(attendu, 0);
        }
        EXPECT_EQ(d.GetMontantAPayer(c.donnees, rubriques).ticks, attendu);
    }

    // Instalments without a period end set no box; the product's absence reaches the caller.
    BancArdilo banc;
    Cls_DeclarationTVA d;
    d.SetvTypeDeclaration("CA12");
    d.Acompte_Ajouter(1, 780, 0);
    d.GetMontantAPayer(kSamples + "/ca12/donnees.xml", kSamples + "/ca12/rubriques.xml");
    ASSERT_EQ(banc.declarations().size(), 1u);
    auto ca12 = banc.declarations()[0]->formulaires()->existant(4);
    ASSERT_NE(ca12, nullptr);
    EXPECT_EQ(ca12->rubriques()->existante("TA"), nullptr);
    EXPECT_NE(ca12->rubriques()->existante("SC"), nullptr);
    banc.produit->RendreIndisponible(kClasseDeclarationEdi);
    try {
        d.GetMontantAPayer(kSamples + "/ca12/donnees.xml", kSamples + "/ca12/rubriques.xml");
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), err::CreationObjet);
    }
}

}  // namespace
}  // namespace qx
