#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "ardilo/catalogue.h"
#include "ardilo/connecteur_substitut.h"
#include "ardilo/declaration_substitut.h"
#include "ardilo/erreurs_ardilo.h"
#include "ardilo/produit_substitut.h"
#include "support/outils.h"

namespace qx::ardilo {
namespace {

namespace fs = std::filesystem;
using test::descriptionOf;
using test::errorOf;
using test::VariableTemporaire;

// ---- Catalogue and forms ----

TEST(CatalogueTest, EachBoxIsFoundByItsOwnCodeInLowerCase) {
    for (int32_t type : {0, 2, 4, 5, 7}) {
        const FormulaireCatalogue* f = formulaireCatalogue(type);
        ASSERT_NE(f, nullptr) << type;
        // No box hides another, and each has its label.
        for (const RubriqueCatalogue& r : f->rubriques) {
            std::string code(r.code);
            for (char& c : code) c = static_cast<char>(std::tolower(c));
            EXPECT_TRUE(rubriqueCatalogue(*f, code) == &r && !r.intitule.empty()) << f->nom << code;
        }
    }
    EXPECT_EQ(formulaireCatalogue(0)->rubriques.size(), 106u);  // the published CA3
    for (int32_t type : {-1, 1, 3, 6, 8, 65536}) EXPECT_EQ(formulaireCatalogue(type), nullptr);
}

TEST(FormulairesTest, BoxesAreAddedOnFirstRequestAndRefusedOutsideTheCatalogue) {
    DeclarationSubstitut d;
    auto rubriques = d.FormulairesEdi()->Formulaire(0)->RubriquesEdi();
    auto ke = rubriques->Rubrique("KE");
    EXPECT_EQ(rubriques->Rubrique("ke"), ke);
    rubriques->Rubrique("CA");
    EXPECT_EQ(rubriques->Item(1), ke);
    EXPECT_EQ(rubriques->Item(2)->Code(), "CA");
    // A CA12 box on the CA3 is refused and not added.
    EXPECT_EQ(errorOf([&] { rubriques->Rubrique("SC"); }), err::RubriqueInconnue);
    EXPECT_EQ(descriptionOf([&] { rubriques->Rubrique("SC"); }),
              "La rubrique « SC » n'existe pas dans le formulaire CA3.");
    EXPECT_EQ(rubriques->Count(), 2);
}

TEST(DeclarationSubstitutTest, AmountToPayAddsTheTotalsOfTheFormsFilled) {
    // Boxes "type:code=value", amount to pay.
    const std::pair<std::vector<std::tuple<int16_t, const char*, double>>, double> cas[] = {
        {{{0, "KE", 100.0}, {2, "HB", 999.0}}, 100.0},  // the annex adds nothing
        {{{7, "SC", 25.0}}, 0.0},                       // nor does a CA12A
        {{{0, "KE", 10.0}, {4, "SC", 20.0}, {5, "SC", -5.0}}, 25.0},
    };
    for (const auto& [boites, attendu] : cas) {
        DeclarationSubstitut d;
        for (const auto& [type, code, valeur] : boites)
            d.FormulairesEdi()->Formulaire(type)->RubriquesEdi()->Rubrique(code)->SetValeur(valeur);
        EXPECT_DOUBLE_EQ(d.MontantAPayer(), attendu) << ::testing::PrintToString(boites);
    }
}

// ---- Pivot text ----

// A declaration with every part filled: texts with accents, quotes, markup characters,
// line breaks and what XML cannot carry (a control character, a stray byte), a time in
// the period, an inexact amount.
void remplir(DeclarationEdi& d) {
    d.SetCommentaires("Première ligne\r\nseconde « ligne » & <fin>\1\xE9\xF0\x9F\x98\x80");
    d.SetNumDossier("");
    d.SectionRedacteur()->SetNom("Redacteur \"cité\" l'été");
    d.DepotEdi()->SectionRedevable()->AdresseEdi()->SetVoie("\tAllée des Chênes  ");
    d.DepotEdi()->PeriodeEdi()->SetDateDebut(fromCivil(2024, 1, 1));
    d.DepotEdi()->PeriodeEdi()->SetDateFin(Date{fromCivil(2024, 3, 31).serial + 0.75});
    auto reglements = d.DepotEdi()->ReglementsEdi();
    auto p1 = reglements->Ajouter();
    p1->SetMode(70000);
    p1->PrelevementsEdi()->Ajouter()->SetMontant(0.1 + 0.2);
    reglements->Ajouter();  // a payment without debits
    auto ca3 = d.FormulairesEdi()->Formulaire(0)->RubriquesEdi();
    ca3->Rubrique("KE")->SetValeur(1234.5);
    d.FormulairesEdi()->Formulaire(2)->RubriquesEdi()->Rubrique("HB")->SetValeur(-0.5);
}

std::string texteRempli() {
    DeclarationSubstitut d;
    remplir(d);
    return d.TexteXML();
}

TEST(DeclarationSubstitutTest, XmlRoundTripRebuildsTheSameDeclaration) {
    const std::string xml = texteRempli();
    DeclarationSubstitut copie;
    copie.ChargerDepuisXML(xml);
    EXPECT_EQ(copie.TexteXML(), xml);

    // What a reader of the declaration sees, where writing and reading could err alike:
    // empty kept apart from unset, spaces kept, the time dropped, amounts exact.
    // The control character dropped, the stray byte replaced, the emoji kept.
    EXPECT_EQ(copie.champ("Commentaires"),
              "Première ligne\r\nseconde « ligne » & <fin>\xEF\xBF\xBD\xF0\x9F\x98\x80");
    EXPECT_EQ(copie.champ("NumDossier").value_or("?") +
                  copie.redacteur()->adresse()->champ("CodePays").value_or("(unset)"),
              "(unset)");
    EXPECT_EQ(copie.depot()->redevable()->adresse()->champ("Voie"), "\tAllée des Chênes  ");
    EXPECT_EQ(copie.depot()->periode()->fin(), fromCivil(2024, 3, 31));
    auto reglements = copie.DepotEdi()->ReglementsEdi();
    auto p1 = reglements->Item(1);
    auto d1 = p1->PrelevementsEdi()->Item(1);
    EXPECT_EQ(d1->Montant(), 0.1 + 0.2);  // exactly, not to 15 digits
    // The numbering carries on after what was read.
    EXPECT_EQ(p1->Reference() + " " + d1->Reference() + " " + reglements->Ajouter()->Reference(),
              "REG1 REG1-PRL1 REG3");
}

std::string declaration(const std::string& contenu) {
    return "<DeclarationEdi>" + contenu + "</DeclarationEdi>";
}

TEST(DeclarationSubstitutTest, RefusedTextsLeaveTheDeclarationUnchanged) {
    const std::pair<std::string, int32_t> cas[] = {
        {"Dépôt accepté", err::XmlMalForme},
        {"<RESULTATTVA/>", err::XmlInvalide},
        {declaration("<Depot><Periode Fin=\"31/02/2024\"/></Depot>"), err::XmlInvalide},
        {declaration("<Formulaires><Formulaire Type=\"3\"/></Formulaires>"),
         err::FormulaireInconnu},
        {declaration("<Formulaires><Formulaire Type=\"4\"><Rubrique Code=\"BB\"/></Formulaire>"
                     "</Formulaires>"),
         err::RubriqueInconnue},
    };
    DeclarationSubstitut d;
    remplir(d);
    const std::string avant = d.TexteXML();
    auto emetteur = d.SectionEmetteur();
    for (const auto& [xml, erreur] : cas) {
        EXPECT_EQ(errorOf([&] { d.ChargerDepuisXML(xml); }), erreur) << xml;
        EXPECT_EQ(d.TexteXML(), avant) << xml;
    }
    // An accepted text replaces everything; sections handed out before show the new content.
    d.ChargerDepuisXML(declaration("<Emetteur Nom=\"Autre\"/>"));
    EXPECT_EQ(std::static_pointer_cast<SectionEmetteurSubstitut>(emetteur)->champ("Nom"), "Autre");
    EXPECT_EQ(d.FormulairesEdi()->Count() + d.DepotEdi()->ReglementsEdi()->Count(), 0);
}

// ---- Connector, outbox and product ----

std::shared_ptr<ConnecteurSubstitut> connecteurPret() {
    auto c = std::make_shared<ConnecteurSubstitut>();
    c->DefinirLancement("launchArgs");
    c->DefinirModule("EdiVat");
    return c;
}

// Deposits that succeed are checked through whole generations.
TEST(ConnecteurSubstitutTest, FailedTransfersWriteNothing) {
    const test::DossierTemporaire dossier;
    VariableTemporaire outbox("ARDILO_OUTBOX", dossier.chemin().string().c_str());
    const std::string xml = texteRempli();
    const fs::path fichier = dossier / "un-fichier";
    test::ecrireFichier(fichier, "x");
    const std::tuple<std::function<void(ReglagesConnecteur&)>, std::string, int32_t> cas[] = {
        {[](ReglagesConnecteur& r) { r.pret = false; }, xml, err::NonPret},
        {[](ReglagesConnecteur& r) { r.refus = "service fermé"; }, xml, err::TransfertRefuse},
        {[](ReglagesConnecteur&) {}, "<autre/>", err::XmlInvalide},  // what the product cannot read
        {[&](ReglagesConnecteur& r) { r.dossierEnvoi = (fichier / "envoi").string(); }, xml,
         err::EcritureDepot},  // the outbox is under a file
    };
    for (const auto& [regler, texte, erreur] : cas) {
        auto connecteur = connecteurPret();
        regler(connecteur->reglages());
        EXPECT_EQ(errorOf([&] { connecteur->Transfert()->Transferer(texte); }), erreur) << erreur;
    }
    // A full outbox is the command-line tests' (EcritureSureTest).
    EXPECT_EQ(std::distance(fs::directory_iterator(dossier.chemin()), fs::directory_iterator()),
              1);  // the file alone
    // The failed deposits used up no number.
    const std::string recu = connecteurPret()->Transfert()->Transferer(xml);
    EXPECT_NE(recu.find("-0001 accepté : "), std::string::npos) << recu;
}

TEST(ConnecteurSubstitutTest, ReadyOnlyOnceTheVatModuleIsChosenAndOutboxFromSettingEnvOrHome) {
    auto c = std::make_shared<ConnecteurSubstitut>();
    c->DefinirLancement("launchArgs");
    EXPECT_EQ(errorOf([&] { c->DefinirModule("EdiTVA"); }), err::ModuleInconnu);
    EXPECT_FALSE(c->EstPret());
    c->DefinirModule("EdiVat");
    EXPECT_TRUE(c->EstPret());

    const std::tuple<const char*, const char*, const char*, const char*> cas[] = {
        // setting, ARDILO_OUTBOX, HOME, outbox
        {"/srv/envoi", "/var/outbox", "/home/lea", "/srv/envoi"},
        {"", "/var/outbox", "/home/lea", "/var/outbox"},
        {"", nullptr, "/home/lea", "/home/lea/.ardilo/envoi"},
    };
    for (const auto& [reglage, outbox, home, attendu] : cas) {
        VariableTemporaire o("ARDILO_OUTBOX", outbox), h("HOME", home);
        EXPECT_EQ(dossierEnvoi({true, "", reglage}), fs::path(attendu));
    }
}

}  // namespace
}  // namespace qx::ardilo
