// The facade with the product installed on the machine, reached through
// automation (Qx_Ardilodirect.dll registered): every result is compared with
// the same work done by the stand-in linked into the library, the adapters
// must change nothing. (Without the product, or with its connector alone:
// tests/windows/hosts/sans_produit.vbs and produit_partiel.vbs.)
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <vector>

#include "ardilo/erreurs_ardilo.h"
#include "ardilo/produit_substitut.h"
#include "declaration/declaration_tva.h"
#include "platform/automation_client.h"
#include "support/outils.h"
#include "transmission/ardilo_produit.h"
#include "transmission/objets_automation.h"

namespace qx {
namespace {

using test::DossierTemporaire;
using test::erreurDe;
using test::lireFichier;
using test::VariableTemporaire;
namespace fs = std::filesystem;

const std::string kEchantillons = QX_SAMPLES_DIR "/ca3/";
const std::string kDonnees = kEchantillons + "donnees.xml";
const std::string kRubriques = kEchantillons + "rubriques.xml";

// The header, declarants and payment of the CA3 sample's dossier.
void remplir(Cls_DeclarationTVA& d) {
    d.SetvNumDossier("LCP-2026-11");
    d.SetvCommentaires("CA3 novembre 2026");
    d.SetvDescription(
        "D\xC3\xA9"
        "claration mensuelle de TVA");
    d.SetvOpCoCode("1");
    d.SetvTestFile(true);
    d.SetvSIRET("51234567800012");
    d.SetvNomDebiteur("SARL Librairie-caf\xC3\xA9 des Pentes");
    d.SetvDate_Debut(Value("2026-11-01"));
    d.SetvDate_Fin(Value("2026-11-30"));
    auto e = d.Obj_Emetteur();
    e->SetvNom("Rh\xC3\xB4ne Compta Conseil");
    e->SetvEmail("edi@rhone-compta.example");
    e->SetvCodeApplication("QXC");
    e->SetvNomApplication("Qx Compta");
    e->SetvVersionApplication("9.1");
    auto r = d.Obj_Redacteur();
    r->SetvNom("Rh\xC3\xB4ne Compta Conseil");
    r->SetvSIRET("40212345600018");
    r->SetvAdr_Numero(12);
    r->SetvAdr_Voie("quai Saint-Vincent");
    r->SetvAdr_Complement("2e \xC3\xA9tage");
    r->SetvAdr_CodePays("FR");
    auto t = d.Obj_Redevable();
    t->SetvFRP("69101004621527");
    t->SetvSIRET("51234567800012");
    t->SetvOCFI("691");
    t->SetvNomSociete("SARL Librairie-caf\xC3\xA9 des Pentes");
    t->SetvFonction("G\xC3\xA9rante");
    t->SetvAdr_Numero(14);
    t->SetvAdr_Voie(
        "mont\xC3\xA9"
        "e de la Grande-C\xC3\xB4te \xF0\x9F\x93\x9A");
    t->SetvAdr_Ville("LYON");
    auto p = d.Obj_Paiements()->Add(1);
    p->SetvMode(2);
    auto prelevement = p->Cls_Prelevements()->Add(1);
    prelevement->SetvMontant(584.0);
    auto rib = prelevement->Cls_Rib();
    rib->SetvBanque("30002");
    rib->SetvTitulaire("SARL Librairie-caf\xC3\xA9 des Pentes");
    rib->SetvIBAN("FR7630002005500000157841Z25");
    rib->SetvBIC("CRLYFRPP");
}

// The declaration files of an outbox (not the headers beside them).
std::vector<fs::path> depots(const fs::path& dossier) {
    std::vector<fs::path> trouves;
    for (const auto& f : fs::directory_iterator(dossier))
        if (f.path().string().find(".entete.") == std::string::npos) trouves.push_back(f.path());
    return trouves;
}

std::string tableau(const std::vector<TRubr>& t) {
    std::string s;
    for (const TRubr& r : t)
        s += r.Rubr_TypeDeclaration + "|" + r.Rubr_Id + "|" + r.Rubr_Intitule + "|" +
             std::to_string(r.Rubr_Valeur) + "\n";
    return s;
}

// What the facade makes of the CA3 sample, from the generation to the
// stored declaration read back.
struct Bilan {
    std::string resultat, infoRetour, pivot, tableau, reglements;
    Currency montant;
    bool converti = false, relu = false;
};

Bilan parcourir(const fs::path& envoi) {
    Bilan b;
    Cls_DeclarationTVA d;
    remplir(d);
    b.infoRetour = "inchang\xC3\xA9";
    b.resultat = d.Generer_Declaration_TVA(kDonnees, kRubriques, "", b.infoRetour);
    const auto trouves = depots(envoi);
    if (trouves.size() != 1) return b;
    b.pivot = lireFichier(trouves[0]);
    std::vector<TRubr> t;
    b.converti = d.Conversion_Pivot(trouves[0].string(), t);
    b.tableau = tableau(t);
    b.montant = d.GetMontantAPayer(kDonnees, kRubriques);
    b.relu = d.Init_Reglements(trouves[0].string());
    auto paiements = d.Obj_Paiements();
    for (int32_t i = 1; i <= paiements->Count(); ++i) {
        auto p = paiements->Item(i);
        b.reglements += std::to_string(p->vMode()) + ":";
        for (int32_t j = 1; j <= p->Cls_Prelevements()->Count(); ++j) {
            auto prelevement = p->Cls_Prelevements()->Item(j);
            b.reglements += std::to_string(prelevement->vMontant()) + " " +
                            prelevement->Cls_Rib()->vIBAN() + " " +
                            prelevement->Cls_Rib()->vTitulaire() + ";";
        }
    }
    return b;
}

TEST(ProduitInstalle, TheFacadeWorksThroughItAsThroughTheLinkedInStandIn) {
    const DossierTemporaire dossier;
    Bilan installe;
    {
        VariableTemporaire outbox("ARDILO_OUTBOX", (dossier / "installe").string().c_str());
        fs::create_directories(dossier / "installe");
        Cls_DeclarationTVA d;
        EXPECT_TRUE(d.Verif_Version_Compatible());
        // The connector is the product's own object.
        EXPECT_NE(ObjetAutomationDe(d.ArdiloDirect()), nullptr);
        installe = parcourir(dossier / "installe");
    }
    Bilan substitut;
    {
        auto produit = std::make_shared<ardilo::ProduitSubstitut>();
        produit->reglagesConnecteur().dossierEnvoi = (dossier / "substitut").string();
        ProduitTemporaire lie(produit);
        substitut = parcourir(dossier / "substitut");
    }
    EXPECT_EQ(installe.infoRetour, "inchang\xC3\xA9");
    EXPECT_EQ(installe.resultat.rfind("D\xC3\xA9p\xC3\xB4t ARD-", 0), 0u) << installe.resultat;
    EXPECT_NE(installe.pivot.find("\xF0\x9F\x93\x9A"), std::string::npos);  // not a BMP character
    EXPECT_EQ(installe.pivot, substitut.pivot);
    EXPECT_TRUE(installe.converti);
    EXPECT_NE(installe.tableau.find("CA3|"), std::string::npos) << installe.tableau;
    EXPECT_EQ(installe.tableau, substitut.tableau);
    EXPECT_EQ(installe.montant.ticks, 584 * 10000);
    EXPECT_EQ(installe.montant, substitut.montant);
    EXPECT_TRUE(installe.relu);
    EXPECT_EQ(installe.reglements,
              "2:584.000000 FR7630002005500000157841Z25 SARL Librairie-caf\xC3\xA9 des Pentes;"
              "2:584.000000 FR7630002005500000157841Z25 SARL Librairie-caf\xC3\xA9 des Pentes;");
    EXPECT_EQ(installe.reglements, substitut.reglements);
}

// The product's own failures, with the numbers and descriptions it gives,
// whichever way it is reached.
TEST(ProduitInstalle, ItsFailuresComeBackAsItRaisesThem) {
    struct Cas {
        const char* quoi;
        std::function<void(DeclarationEdi&)> appel;
        int32_t numero;
    };
    const Cas cas[] = {
        {"unknown form", [](DeclarationEdi& d) { d.FormulairesEdi()->Formulaire(3); },
         ardilo::err::FormulaireInconnu},
        {"text that is no XML", [](DeclarationEdi& d) { d.ChargerDepuisXML("<non"); },
         ardilo::err::XmlMalForme},
        {"box outside the form",
         [](DeclarationEdi& d) {
             d.FormulairesEdi()->Formulaire(0)->RubriquesEdi()->Rubrique("Z9");
         },
         ardilo::err::RubriqueInconnue},
    };
    auto installee = CreerDeclarationEdi();
    ardilo::ProduitSubstitut lie;
    auto liee = std::dynamic_pointer_cast<DeclarationEdi>(lie.CreerObjet(kClasseDeclarationEdi));
    for (const auto& c : cas) {
        const Error attendue = erreurDe([&] { c.appel(*liee); });
        const Error e = erreurDe([&] { c.appel(*installee); });
        EXPECT_EQ(attendue.number(), c.numero) << c.quoi;
        EXPECT_EQ(e.number(), attendue.number()) << c.quoi;
        EXPECT_EQ(e.description(), attendue.description()) << c.quoi;
    }
}

// Every reference the adapters take is given back: once all is released,
// the product's DLL may be unloaded.
TEST(ProduitInstalle, EveryReferenceIsGivenBack) {
    // Keeps the apartment, so that the DLL stays loaded between the steps.
    auto garde = AutomationObject::create("Scripting.Dictionary");
    auto dechargeable = [] {
        HMODULE dll = GetModuleHandleW(L"Qx_Ardilodirect.dll");
        auto f = reinterpret_cast<HRESULT(WINAPI*)()>(
            reinterpret_cast<void*>(GetProcAddress(dll, "DllCanUnloadNow")));
        return dll && f && f() == S_OK;
    };
    {
        const DossierTemporaire dossier;
        VariableTemporaire outbox("ARDILO_OUTBOX", dossier.chemin().string().c_str());
        parcourir(dossier.chemin());
        auto d = CreerDeclarationEdi();
        auto rubrique = d->FormulairesEdi()->Formulaire(0)->RubriquesEdi()->Rubrique("CA");
        rubrique->SetValeur(12.5);
        auto debit = d->DepotEdi()->ReglementsEdi()->Ajouter()->PrelevementsEdi()->Ajouter();
        debit->RibEdi()->SetIBAN("FR76");
        d.reset();
        // Objects read out of the declaration keep it alive by themselves.
        EXPECT_EQ(rubrique->Valeur(), 12.5);
        EXPECT_FALSE(dechargeable());
    }
    EXPECT_TRUE(dechargeable());
}

}  // namespace
}  // namespace qx
