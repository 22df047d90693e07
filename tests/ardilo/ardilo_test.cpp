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

TEST(CatalogueTest, FormsKnowTheirBoxesAndNothingElse) {
    // type, name, number of boxes on the published form
    const std::tuple<int16_t, const char*, size_t> cas[] = {
        {0, "CA3", 106}, {2, "CA3A", 169}, {4, "CA12", 125}, {5, "CA12E", 125}, {7, "CA12A", 125}};
    for (const auto& [type, nom, nombre] : cas) {
        const FormulaireCatalogue* f = formulaireCatalogue(type);
        ASSERT_NE(f, nullptr) << nom;
        EXPECT_EQ(f->nom, nom);
        EXPECT_EQ(f->rubriques.size(), nombre) << nom;
        // Each box is found by its own code in lower case: no box hides another.
        for (const RubriqueCatalogue& r : f->rubriques) {
            std::string code(r.code);
            for (char& c : code) c = static_cast<char>(std::tolower(c));
            EXPECT_TRUE(rubriqueCatalogue(*f, code) == &r && !r.intitule.empty()) << nom << code;
        }
        EXPECT_EQ(rubriqueCatalogue(*f, "Z9"), nullptr) << nom;
    }
    for (int32_t type : {-1, 1, 3, 6, 8, 65536}) EXPECT_EQ(formulaireCatalogue(type), nullptr);
    // A code means different things on different forms.
    EXPECT_EQ(rubriqueCatalogue(*formulaireCatalogue(0), "KF")->intitule,
              "Mention déclaration néante");
    EXPECT_EQ(rubriqueCatalogue(*formulaireCatalogue(4), "SD")->intitule, "Formulaire NEANT");
    EXPECT_EQ(rubriqueCatalogue(*formulaireCatalogue(2), "DA"), nullptr);
}

TEST(FormulairesTest, BoxesAreAddedOnFirstRequestAndRefusedOutsideTheCatalogue) {
    DeclarationSubstitut d;
    auto ca3 = d.FormulairesEdi()->Formulaire(0);
    EXPECT_EQ(d.FormulairesEdi()->Formulaire(0), ca3);
    auto rubriques = ca3->RubriquesEdi();
    auto ke = rubriques->Rubrique("KE");
    EXPECT_EQ(ke->Intitule(), "Total à payer (lignes 28 + 29 - AB)");
    EXPECT_EQ(rubriques->Rubrique("ke"), ke);
    rubriques->Rubrique("CA");
    EXPECT_EQ(rubriques->Item(1), ke);
    EXPECT_EQ(rubriques->Item(2)->Code(), "CA");

    const std::pair<std::function<void()>, int32_t> cas[] = {
        {[&] { rubriques->Rubrique("SC"); }, err::RubriqueInconnue},  // a CA12 box on the CA3
        {[&] { rubriques->Rubrique(""); }, err::RubriqueInconnue},
        {[&] { d.FormulairesEdi()->Formulaire(1); }, err::FormulaireInconnu},
        {[&] { rubriques->Item(3); }, qx::err::HorsSelection},
    };
    for (size_t i = 0; i < std::size(cas); ++i)
        EXPECT_EQ(errorOf(cas[i].first), cas[i].second) << i;
    EXPECT_EQ(rubriques->Count(), 2);
    EXPECT_EQ(d.FormulairesEdi()->Count(), 1);
    EXPECT_EQ(descriptionOf([&] { rubriques->Rubrique("SC"); }),
              "La rubrique « SC » n'existe pas dans le formulaire CA3.");
}

TEST(DeclarationSubstitutTest, AmountToPayAddsTheTotalsOfTheFormsFilled) {
    // Boxes "type:code=value", amount to pay.
    const std::pair<std::vector<std::tuple<int16_t, const char*, double>>, double> cas[] = {
        {{}, 0.0},
        {{{0, "CA", 1000.0}}, 0.0},                     // a CA3 without its total
        {{{0, "KE", 100.0}, {2, "HB", 999.0}}, 100.0},  // the annex adds nothing
        {{{4, "SC", 50.25}, {4, "KE", 7.0}}, 50.25},
        {{{7, "SC", 25.0}}, 0.0},  // nor does a CA12A
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

// A declaration with every part filled: texts with accents, quotes, markup
// characters and line breaks, a time in the period, awkward numbers.
void remplir(DeclarationEdi& d) {
    d.SetCommentaires("Première ligne\r\nseconde « ligne » & <fin>");
    d.SetNumDossier("");
    d.SectionEmetteur()->SetNom("Cabinet Léa Müller");
    auto r = d.SectionRedacteur();
    r->SetNom("Redacteur \"cité\" l'été");
    r->AdresseEdi()->SetNumero(-1);
    auto t = d.DepotEdi()->SectionRedevable();
    t->SetNomSociete("Société Générale des Forêts");
    t->SetTelephone("");
    t->AdresseEdi()->SetVoie("\tAllée des Chênes  ");
    d.DepotEdi()->PeriodeEdi()->SetDateDebut(fromCivil(2024, 1, 1));
    d.DepotEdi()->PeriodeEdi()->SetDateFin(Date{fromCivil(2024, 3, 31).serial + 0.75});
    auto reglements = d.DepotEdi()->ReglementsEdi();
    auto p1 = reglements->Ajouter();
    p1->SetMode(70000);
    p1->SetNbVirement(2);
    auto d1 = p1->PrelevementsEdi()->Ajouter();
    d1->SetMontant(0.1 + 0.2);
    d1->RibEdi()->SetTitulaire("SGF – Trésorerie");
    d1->RibEdi()->SetIBAN("FR7630004000010001234567812");
    p1->PrelevementsEdi()->Ajouter()->SetMontant(-1e-9);
    reglements->Ajouter();  // a payment without debits
    auto ca3 = d.FormulairesEdi()->Formulaire(0)->RubriquesEdi();
    ca3->Rubrique("KE")->SetValeur(1234.5);
    ca3->Rubrique("KF")->SetTexte("X");
    ca3->Rubrique("CA")->SetValeur(123456789012.25);
    d.FormulairesEdi()->Formulaire(2)->RubriquesEdi()->Rubrique("HB")->SetValeur(-0.5);
    d.FormulairesEdi()->Formulaire(4)->RubriquesEdi()->Rubrique("CA")->SetTexte(
        "Commentaire à la « française »\nsur deux lignes");
}

std::string texteRempli() {
    DeclarationSubstitut d;
    remplir(d);
    return d.TexteXML();
}

TEST(DeclarationSubstitutTest, XmlRoundTripRebuildsTheSameDeclaration) {
    const std::string xml = texteRempli();
    EXPECT_EQ(xml.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", 0), 0u) << xml;
    DeclarationSubstitut copie;
    copie.ChargerDepuisXML(xml);
    EXPECT_EQ(copie.TexteXML(), xml);

    // What a reader of the declaration sees, where writing and reading could err alike:
    // empty kept apart from unset, spaces kept, the time dropped, amounts exact.
    EXPECT_EQ(copie.champ("Commentaires"), "Première ligne\r\nseconde « ligne » & <fin>");
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
    EXPECT_EQ(copie.MontantAPayer(), 1234.5);

    // A byte order mark is skipped; another encoding is read as declared ("é" is E9).
    DeclarationSubstitut avecMarque, latin1;
    avecMarque.ChargerDepuisXML(std::string(kMarqueUtf8) + xml);
    EXPECT_EQ(avecMarque.TexteXML(), xml);
    latin1.ChargerDepuisXML(
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n<DeclarationEdi Commentaires=\"T\xE9l"
        "\xE9\x64\xE9\x63laration\"><Formulaires><Formulaire Type=\"2\"><Rubrique Code=\"HB\" "
        "Valeur=\"12\"/></Formulaire></Formulaires></DeclarationEdi>");
    EXPECT_EQ(latin1.champ("Commentaires"), "Télédéclaration");
    EXPECT_EQ(latin1.FormulairesEdi()->Item(1)->RubriquesEdi()->Item(1)->Valeur(), 12.0);
}

std::string declaration(const std::string& contenu) {
    return "<DeclarationEdi>" + contenu + "</DeclarationEdi>";
}

TEST(DeclarationSubstitutTest, RefusedTextsLeaveTheDeclarationUnchanged) {
    const std::pair<std::string, int32_t> cas[] = {
        {"", err::XmlMalForme},
        {"Dépôt accepté", err::XmlMalForme},
        {"<RESULTATTVA/>", err::XmlInvalide},
        {declaration("<Redacteur><Adresse Numero=\"40000\"/></Redacteur>"), err::XmlInvalide},
        {declaration("<Depot><Reglements><Reglement><Prelevement Montant=\"12,5\"/></Reglement>"
                     "</Reglements></Depot>"),
         err::XmlInvalide},
        {declaration("<Depot><Periode Fin=\"31/02/2024\"/></Depot>"), err::XmlInvalide},
        {declaration("<Formulaires><Formulaire Type=\"3\"/></Formulaires>"),
         err::FormulaireInconnu},
        {declaration("<Formulaires><Formulaire/></Formulaires>"), err::FormulaireInconnu},
        {declaration("<Formulaires><Formulaire Type=\"4\"><Rubrique Code=\"BB\"/></Formulaire>"
                     "</Formulaires>"),
         err::RubriqueInconnue},
        {declaration("<Formulaires><Formulaire Type=\"0\"/><Formulaire Type=\"0\"/></Formulaires>"),
         err::XmlInvalide},
        {declaration("<Formulaires><Formulaire Type=\"0\"><Rubrique Code=\"KE\"/><Rubrique "
                     "Code=\"ke\"/></Formulaire></Formulaires>"),
         err::XmlInvalide},
    };
    DeclarationSubstitut d;
    remplir(d);
    const std::string avant = d.TexteXML();
    auto emetteur = d.SectionEmetteur();
    for (const auto& [xml, erreur] : cas) {
        EXPECT_EQ(errorOf([&] { d.ChargerDepuisXML(xml); }), erreur) << xml;
        EXPECT_FALSE(descriptionOf([&] { d.ChargerDepuisXML(xml); }).empty()) << xml;
        EXPECT_EQ(d.TexteXML(), avant) << xml;
    }
    // An accepted text replaces everything; sections handed out before show the new content.
    d.ChargerDepuisXML(declaration("<Emetteur Nom=\"Autre\"/>"));
    EXPECT_EQ(std::static_pointer_cast<SectionEmetteurSubstitut>(emetteur)->champ("Nom"), "Autre");
    EXPECT_EQ(d.FormulairesEdi()->Count() + d.DepotEdi()->ReglementsEdi()->Count(), 0);
}

TEST(DeclarationSubstitutTest, TextsXmlCannotCarryAreCleanedSoTheDeclarationReadsBack) {
    const std::string u = "\xEF\xBF\xBD";  // the replacement character
    const std::pair<std::string, std::string> cas[] = {
        {"a\1b\37c", "abc"},  // control characters
        {std::string("nul\0!", 5), "nul!"},
        {"tab\tCR\rLF\n", "tab\tCR\rLF\n"},
        {"latin-1 \xE9t\xE9", "latin-1 " + u + "t" + u},
        {"cut \xC3", "cut " + u},
        {"overlong \xC0\xAF", "overlong " + u + u},
        {"surrogate \xED\xA0\x80", "surrogate " + u + u + u},
        {"non-character \xEF\xBF\xBF.", "non-character ."},
        {"euro \xE2\x82\xAC, emoji \xF0\x9F\x98\x80", "euro \xE2\x82\xAC, emoji \xF0\x9F\x98\x80"},
    };
    for (const auto& [donne, relu] : cas) {
        DeclarationSubstitut d, relue;
        d.SetCommentaires(donne);
        d.FormulairesEdi()->Formulaire(0)->RubriquesEdi()->Rubrique("CA")->SetTexte(donne);
        ASSERT_EQ(errorOf([&] { relue.ChargerDepuisXML(d.TexteXML()); }), 0) << donne;
        EXPECT_EQ(relue.champ("Commentaires"), relu) << donne;
        EXPECT_EQ(relue.formulaires()->existant(0)->rubriques()->existante("CA")->texte(), relu);
    }
}

TEST(DeclarationSubstitutTest, EveryCutOfAPivotTextIsReadOrRefusedWithANumber) {
    const std::string xml = std::string(kMarqueUtf8) + texteRempli();
    for (size_t n = 0; n + 1 < xml.size(); ++n) {  // only the final line break may go
        DeclarationSubstitut d;
        EXPECT_NE(errorOf([&] { d.ChargerDepuisXML(xml.substr(0, n)); }), 0) << n;
    }
}

// ---- Connector, outbox and product ----

std::shared_ptr<ConnecteurSubstitut> connecteurPret() {
    auto c = std::make_shared<ConnecteurSubstitut>();
    c->DefinirLancement("launchArgs");
    c->DefinirModule("EdiVat");
    return c;
}

// What the header holds is checked through a whole generation.
TEST(ConnecteurSubstitutTest, TransferWritesNumberedDepositsWithOneMarkOrNothing) {
    const test::DossierTemporaire dossier;
    VariableTemporaire outbox("ARDILO_OUTBOX", dossier.chemin().c_str());
    const std::string xml = texteRempli();
    const fs::path pivot = dossier / "ARD-20261205-0001.xml";
    EXPECT_EQ(connecteurPret()->Transfert()->Transferer(std::string(kMarqueUtf8) + xml),
              "Dépôt ARD-20261205-0001 accepté : " + pivot.string());
    EXPECT_EQ(test::lireFichier(pivot), std::string(kMarqueUtf8) + xml);
    // The next deposit of the day takes the next number, marked too.
    connecteurPret()->Transfert()->Transferer(xml);
    EXPECT_EQ(test::lireFichier(dossier / "ARD-20261205-0002.xml"), std::string(kMarqueUtf8) + xml);

    // Failures of the sending service write nothing.
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
    EXPECT_EQ(std::distance(fs::directory_iterator(dossier.chemin()), fs::directory_iterator()),
              5);  // the two deposits with their headers, and the file
    auto c = connecteurPret();
    c->reglages().refus = "service fermé";
    EXPECT_EQ(descriptionOf([&] { c->Transfert()->Transferer(xml); }),
              "Le transfert a été refusé par Ardilo direct : service fermé");
}

TEST(ConnecteurSubstitutTest, ReadyOnlyOnceTheVatModuleIsChosenAndOutboxFromSettingEnvOrHome) {
    auto c = std::make_shared<ConnecteurSubstitut>();
    c->DefinirLancement("launchArgs");
    EXPECT_FALSE(c->EstPret());
    EXPECT_EQ(errorOf([&] { c->DefinirModule("EdiTVA"); }), err::ModuleInconnu);
    EXPECT_FALSE(c->EstPret());
    c->DefinirModule("EdiVat");
    EXPECT_TRUE(c->EstPret());
    c->reglages().pret = false;
    EXPECT_FALSE(c->EstPret());

    const std::tuple<const char*, const char*, const char*, const char*> cas[] = {
        // setting, ARDILO_OUTBOX, HOME, outbox
        {"/srv/envoi", "/var/outbox", "/home/lea", "/srv/envoi"},
        {"", "/var/outbox", "/home/lea", "/var/outbox"},
        {"", "", "/home/lea", "/home/lea/.ardilo/envoi"},
        {"", nullptr, "/home/lea", "/home/lea/.ardilo/envoi"},
        {"", nullptr, nullptr, "/tmp/ardilo/envoi"},
    };
    for (const auto& [reglage, outbox, home, attendu] : cas) {
        VariableTemporaire o("ARDILO_OUTBOX", outbox), h("HOME", home);
        EXPECT_EQ(dossierEnvoi({true, "", reglage}), fs::path(attendu));
    }
}

// The rest of the product's behaviour is what the other test programs stand on.
TEST(ProduitSubstitutTest, ClassNamesIgnoreCase) {
    ProduitSubstitut produit;
    EXPECT_NE(
        std::dynamic_pointer_cast<Connecteur>(produit.CreerObjet("qx_ardilodirect.connecteur")),
        nullptr);
    EXPECT_EQ(errorOf([&] { produit.CreerObjet("ArdiloEdi.Tva.10"); }), qx::err::CreationObjet);
    produit.RendreIndisponible("ARDILOEDI.TVA.11");
    EXPECT_EQ(errorOf([&] { produit.CreerObjet(kComposantTva); }), qx::err::CreationObjet);
    EXPECT_NE(produit.CreerObjet(kClasseDeclarationEdi), nullptr);
}

}  // namespace
}  // namespace qx::ardilo
