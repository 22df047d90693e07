#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <random>
#include <sstream>
#include <string>

#include "ardilo/catalogue.h"
#include "ardilo/connecteur_substitut.h"
#include "ardilo/declaration_substitut.h"
#include "ardilo/erreurs_ardilo.h"
#include "ardilo/produit_substitut.h"
#include "platform/xml_document.h"

namespace qx::ardilo {
namespace {

namespace fs = std::filesystem;

int32_t errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const Error& e) {
        return e.number();
    }
    return 0;
}

std::string descriptionOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const Error& e) {
        return e.description();
    }
    return {};
}

// Sets an environment variable while alive, then puts back what was there.
class VariableTemporaire {
  public:
    VariableTemporaire(const char* nom, const char* valeur) : nom_(nom) {
        if (const char* avant = std::getenv(nom)) avant_ = avant;
        if (valeur)
            setenv(nom, valeur, 1);
        else
            unsetenv(nom);
    }
    ~VariableTemporaire() {
        if (avant_)
            setenv(nom_, avant_->c_str(), 1);
        else
            unsetenv(nom_);
    }

  private:
    const char* nom_;
    std::optional<std::string> avant_;
};

class DossierTemporaire {
  public:
    DossierTemporaire() {
        std::random_device alea;
        chemin_ = fs::temp_directory_path() / ("qx_ardilo_" + std::to_string(alea()));
        fs::create_directories(chemin_);
    }
    ~DossierTemporaire() {
        std::error_code ec;
        fs::remove_all(chemin_, ec);
    }
    const fs::path& chemin() const { return chemin_; }

  private:
    fs::path chemin_;
};

std::string lireFichier(const fs::path& chemin) {
    std::ifstream f(chemin, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

// ---- Catalogue ----

TEST(CatalogueTest, FormsKnowTheirBoxesAndNothingElse) {
    struct Cas {
        int16_t type;
        const char* nom;
        const char* codes;  // boxes every return of that form needs
    };
    const char* ca12 =
        "EW FW EF FF GF GH EU FU EV FV FR HA HB HC KA KD LA LB MD ME MF MG MH MJ MK ML MM MN MA NA "
        "NB SC SD TA TB TC TD UA UB UC UD";
    const Cas cas[] = {
        {0, "CA3",
         "CA CB KH DK KV CC CF CG CE DA DB FP GP FB GB FR GR FM GM FN GN FC GC FD GD GG GH GJ GK "
         "HA "
         "HB HC HD HG JA JB JC KA KB KL KE KF"},
        {2, "CA3A", "HB SZ"},
        {4, "CA12", ca12},
        {5, "CA12E", ca12},
        {7, "CA12A", ca12},
    };
    for (const auto& c : cas) {
        const FormulaireCatalogue* f = formulaireCatalogue(c.type);
        ASSERT_NE(f, nullptr) << c.nom;
        EXPECT_EQ(f->nom, c.nom);
        std::istringstream codes(c.codes);
        for (std::string code; codes >> code;) {
            const RubriqueCatalogue* r = rubriqueCatalogue(*f, code);
            ASSERT_NE(r, nullptr) << c.nom << " " << code;
            EXPECT_FALSE(r->intitule.empty()) << c.nom << " " << code;
        }
        EXPECT_EQ(rubriqueCatalogue(*f, "Z9"), nullptr) << c.nom;
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
    EXPECT_EQ(ca3->FormType(), 0);
    EXPECT_EQ(d.FormulairesEdi()->Formulaire(0), ca3);
    auto rubriques = ca3->RubriquesEdi();
    EXPECT_EQ(rubriques->Count(), 0);

    auto ke = rubriques->Rubrique("KE");
    EXPECT_EQ(ke->Code(), "KE");
    EXPECT_EQ(ke->Intitule(), "Total à payer (lignes 28 + 29 - AB)");
    EXPECT_EQ(rubriques->Rubrique("ke"), ke);
    rubriques->Rubrique("CA");
    EXPECT_EQ(rubriques->Count(), 2);
    EXPECT_EQ(rubriques->Item(1), ke);
    EXPECT_EQ(rubriques->Item(2)->Code(), "CA");

    struct Cas {
        const char* quoi;
        std::function<void()> appel;
        int32_t erreur;
    };
    const Cas cas[] = {
        {"a CA12 box on the CA3", [&] { rubriques->Rubrique("SC"); }, err::RubriqueInconnue},
        {"an empty code", [&] { rubriques->Rubrique(""); }, err::RubriqueInconnue},
        {"form type 1", [&] { d.FormulairesEdi()->Formulaire(1); }, err::FormulaireInconnu},
        {"form type 8", [&] { d.FormulairesEdi()->Formulaire(8); }, err::FormulaireInconnu},
        {"box at 0", [&] { rubriques->Item(0); }, qx::err::HorsSelection},
        {"box past the end", [&] { rubriques->Item(3); }, qx::err::HorsSelection},
        {"form past the end", [&] { d.FormulairesEdi()->Item(2); }, qx::err::HorsSelection},
    };
    for (const auto& c : cas) EXPECT_EQ(errorOf(c.appel), c.erreur) << c.quoi;
    EXPECT_EQ(rubriques->Count(), 2);
    EXPECT_EQ(d.FormulairesEdi()->Count(), 1);
    EXPECT_EQ(descriptionOf([&] { rubriques->Rubrique("SC"); }),
              "La rubrique « SC » n'existe pas dans le formulaire CA3.");
}

TEST(DeclarationSubstitutTest, AmountToPayAddsTheTotalsOfTheFormsFilled) {
    struct Cas {
        const char* quoi;
        std::vector<std::tuple<int16_t, const char*, double>> rubriques;
        double attendu;
    };
    const Cas cas[] = {
        {"nothing filled", {}, 0.0},
        {"a CA3 without its total", {{0, "CA", 1000.0}}, 0.0},
        {"a CA3", {{0, "KE", 1234.56}}, 1234.56},
        {"a CA3 and its annex", {{0, "KE", 100.0}, {2, "HB", 999.0}}, 100.0},
        {"a CA12", {{4, "SC", 50.25}, {4, "KE", 7.0}}, 50.25},
        {"a CA12E", {{5, "SC", 25.0}}, 25.0},
        {"a CA12A", {{7, "SC", 25.0}}, 0.0},
        {"every form", {{0, "KE", 10.0}, {4, "SC", 20.0}, {5, "SC", -5.0}}, 25.0},
    };
    for (const auto& c : cas) {
        DeclarationSubstitut d;
        for (const auto& [type, code, valeur] : c.rubriques)
            d.FormulairesEdi()->Formulaire(type)->RubriquesEdi()->Rubrique(code)->SetValeur(valeur);
        EXPECT_DOUBLE_EQ(d.MontantAPayer(), c.attendu) << c.quoi;
    }
}

// A declaration with every part filled, texts with accents, quotes, markup
// characters and line breaks.
void remplir(DeclarationEdi& d) {
    d.SetCommentaires("Première ligne\r\nseconde « ligne » & <fin>");
    d.SetNumDossier("");
    auto e = d.SectionEmetteur();
    e->SetNom("Cabinet Léa Müller");
    e->SetEmail("lea@exemple.fr");
    e->SetSMS("0601020304");
    e->SetCodeApplication("QX");
    e->SetNomApplication("Qualiac TVA");
    e->SetVersionApplication("1.2");
    auto r = d.SectionRedacteur();
    r->SetNom("Redacteur \"cité\" l'été");
    r->SetSIRET("12345678900011");
    r->SetEmail("");
    r->SetTelephone("0102030405");
    auto ar = r->AdresseEdi();
    ar->SetNumero(-1);
    ar->SetVoie("rue de l'Église");
    ar->SetComplement("Bâtiment Ç");
    ar->SetCodePostal("75001");
    ar->SetVille("Paris");
    auto depot = d.DepotEdi();
    auto t = depot->SectionRedevable();
    t->SetFRP("FRP01");
    t->SetSIRET("98765432100017");
    t->SetTVAIntracom("FR00987654321");
    t->SetNomSociete("Société Générale des Forêts");
    t->SetTelephone("");
    t->SetEmail("contact@forets.fr");
    auto at = t->AdresseEdi();
    at->SetNumero(9998);
    at->SetVoie("\tAllée des Chênes  ");
    at->SetCodePostal("97400");
    at->SetVille("Saint-Denis");
    at->SetCodePays("RE");
    depot->PeriodeEdi()->SetDateDebut(fromCivil(2024, 1, 1));
    depot->PeriodeEdi()->SetDateFin(Date{fromCivil(2024, 3, 31).serial + 0.75});
    auto reglements = depot->ReglementsEdi();
    auto p1 = reglements->Ajouter();
    p1->SetMode(70000);
    p1->SetNbVirement(2);
    auto d1 = p1->PrelevementsEdi()->Ajouter();
    d1->SetMontant(0.1 + 0.2);
    auto rib = d1->RibEdi();
    rib->SetBanque("30004");
    rib->SetGuichet("00001");
    rib->SetCompte("00012345678");
    rib->SetCle("12");
    rib->SetTitulaire("SGF – Trésorerie");
    rib->SetComplement("");
    rib->SetIBAN("FR7630004000010001234567812");
    rib->SetBIC("BNPAFRPP");
    p1->PrelevementsEdi()->Ajouter()->SetMontant(-1e-9);
    reglements->Ajouter();  // a payment without debits
    auto formulaires = d.FormulairesEdi();
    auto ca3 = formulaires->Formulaire(0)->RubriquesEdi();
    ca3->Rubrique("KE")->SetValeur(1234.5);
    ca3->Rubrique("KF")->SetTexte("X");
    ca3->Rubrique("CA")->SetValeur(123456789012.25);
    formulaires->Formulaire(2)->RubriquesEdi()->Rubrique("HB")->SetValeur(-0.5);
    auto ca12 = formulaires->Formulaire(4)->RubriquesEdi();
    ca12->Rubrique("CA")->SetTexte("Commentaire à la « française »\nsur deux lignes");
    ca12->Rubrique("UA")->SetValeur(2024);
}

TEST(DeclarationSubstitutTest, XmlRoundTripRebuildsTheSameDeclaration) {
    DeclarationSubstitut origine;
    remplir(origine);
    std::string xml = origine.TexteXML();
    EXPECT_EQ(xml.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", 0), 0u) << xml;

    DeclarationSubstitut copie;
    copie.ChargerDepuisXML(xml);
    EXPECT_EQ(copie.TexteXML(), xml);

    // What matters to a reader of the declaration, checked field by field.
    EXPECT_EQ(copie.champ("Commentaires"), "Première ligne\r\nseconde « ligne » & <fin>");
    EXPECT_EQ(copie.champ("NumDossier"), "");  // set to empty, not left unset
    EXPECT_EQ(copie.emetteur()->champ("Nom"), "Cabinet Léa Müller");
    EXPECT_EQ(copie.redacteur()->champ("Nom"), "Redacteur \"cité\" l'été");
    EXPECT_EQ(copie.redacteur()->adresse()->champ("Numero"), "-1");
    EXPECT_EQ(copie.redacteur()->adresse()->champ("CodePays"), std::nullopt);
    EXPECT_EQ(copie.depot()->redevable()->champ("OCFI"), std::nullopt);
    EXPECT_EQ(copie.depot()->redevable()->champ("Telephone"), "");
    EXPECT_EQ(copie.depot()->redevable()->adresse()->champ("Voie"), "\tAllée des Chênes  ");
    EXPECT_EQ(copie.depot()->periode()->debut(), fromCivil(2024, 1, 1));
    EXPECT_EQ(copie.depot()->periode()->fin(), fromCivil(2024, 3, 31));

    auto reglements = copie.DepotEdi()->ReglementsEdi();
    ASSERT_EQ(reglements->Count(), 2);
    auto p1 = reglements->Item(1);
    EXPECT_EQ(p1->Mode(), 70000);
    EXPECT_EQ(p1->NbVirement(), 2);
    EXPECT_EQ(p1->Reference(), "REG1");
    ASSERT_EQ(p1->PrelevementsEdi()->Count(), 2);
    auto d1 = p1->PrelevementsEdi()->Item(1);
    EXPECT_EQ(d1->Montant(), 0.1 + 0.2);  // exactly, not to 15 digits
    EXPECT_EQ(d1->Reference(), "REG1-PRL1");
    EXPECT_EQ(d1->RibEdi()->Titulaire(), "SGF – Trésorerie");
    EXPECT_EQ(d1->RibEdi()->IBAN(), "FR7630004000010001234567812");
    EXPECT_EQ(p1->PrelevementsEdi()->Item(2)->Montant(), -1e-9);
    EXPECT_EQ(reglements->Item(2)->PrelevementsEdi()->Count(), 0);
    // New payments carry on the numbering.
    EXPECT_EQ(reglements->Ajouter()->Reference(), "REG3");

    auto formulaires = copie.FormulairesEdi();
    ASSERT_EQ(formulaires->Count(), 3);
    std::vector<int32_t> types;
    for (int32_t i = 1; i <= formulaires->Count(); ++i)
        types.push_back(formulaires->Item(i)->FormType());
    EXPECT_EQ(types, (std::vector<int32_t>{0, 2, 4}));
    auto ca3 = formulaires->Item(1)->RubriquesEdi();
    ASSERT_EQ(ca3->Count(), 3);
    EXPECT_EQ(ca3->Item(1)->Code(), "KE");
    EXPECT_EQ(ca3->Item(3)->Valeur(), 123456789012.25);
    auto ca12 = copie.formulaires()->existant(4)->rubriques();
    EXPECT_EQ(ca12->existante("CA")->texte(), "Commentaire à la « française »\nsur deux lignes");
    EXPECT_EQ(copie.MontantAPayer(), 1234.5);
}

TEST(DeclarationSubstitutTest, ReadsPivotTextsWithAByteOrderMarkOrAnotherEncoding) {
    DeclarationSubstitut origine;
    remplir(origine);
    std::string xml = origine.TexteXML();

    DeclarationSubstitut avecMarque;
    avecMarque.ChargerDepuisXML(std::string(kMarqueUtf8) + xml);
    EXPECT_EQ(avecMarque.TexteXML(), xml);

    // The same declaration in Latin-1: "é" is the single byte E9.
    std::string latin1 =
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n"
        "<DeclarationEdi Commentaires=\"T\xE9l\xE9"
        "d\xE9"
        "claration\"><Formulaires><Formulaire Type=\"2\"><Rubrique Code=\"HB\" Valeur=\"12\"/>"
        "</Formulaire></Formulaires></DeclarationEdi>";
    DeclarationSubstitut d;
    d.ChargerDepuisXML(latin1);
    EXPECT_EQ(d.champ("Commentaires"), "Télédéclaration");
    EXPECT_EQ(d.FormulairesEdi()->Item(1)->RubriquesEdi()->Item(1)->Valeur(), 12.0);
}

TEST(DeclarationSubstitutTest, RefusedTextsLeaveTheDeclarationUnchanged) {
    struct Cas {
        const char* quoi;
        std::string xml;
        int32_t erreur;
    };
    const Cas cas[] = {
        {"empty", "", err::XmlMalForme},
        {"truncated", "<DeclarationEdi><Depot>", err::XmlMalForme},
        {"not XML", "Dépôt accepté", err::XmlMalForme},
        {"another root", "<RESULTATTVA/>", err::XmlInvalide},
        {"street number out of range",
         "<DeclarationEdi><Redacteur><Adresse Numero=\"40000\"/></Redacteur></DeclarationEdi>",
         err::XmlInvalide},
        {"amount that is no number",
         "<DeclarationEdi><Depot><Reglements><Reglement><Prelevement Montant=\"12,5\"/>"
         "</Reglement></Reglements></Depot></DeclarationEdi>",
         err::XmlInvalide},
        {"period end that is no date",
         "<DeclarationEdi><Depot><Periode Fin=\"31/02/2024\"/></Depot></DeclarationEdi>",
         err::XmlInvalide},
        {"unknown form",
         "<DeclarationEdi><Formulaires><Formulaire Type=\"3\"/></Formulaires></DeclarationEdi>",
         err::FormulaireInconnu},
        {"form without type",
         "<DeclarationEdi><Formulaires><Formulaire/></Formulaires></DeclarationEdi>",
         err::FormulaireInconnu},
        {"box outside the form",
         "<DeclarationEdi><Formulaires><Formulaire Type=\"4\"><Rubrique Code=\"BB\"/>"
         "</Formulaire></Formulaires></DeclarationEdi>",
         err::RubriqueInconnue},
        {"form twice",
         "<DeclarationEdi><Formulaires><Formulaire Type=\"0\"/><Formulaire Type=\"0\"/>"
         "</Formulaires></DeclarationEdi>",
         err::XmlInvalide},
        {"box twice",
         "<DeclarationEdi><Formulaires><Formulaire Type=\"0\"><Rubrique Code=\"KE\"/>"
         "<Rubrique Code=\"ke\"/></Formulaire></Formulaires></DeclarationEdi>",
         err::XmlInvalide},
    };
    DeclarationSubstitut d;
    remplir(d);
    const std::string avant = d.TexteXML();
    auto emetteur = d.SectionEmetteur();
    for (const auto& c : cas) {
        EXPECT_EQ(errorOf([&] { d.ChargerDepuisXML(c.xml); }), c.erreur) << c.quoi;
        EXPECT_FALSE(descriptionOf([&] { d.ChargerDepuisXML(c.xml); }).empty()) << c.quoi;
        EXPECT_EQ(d.TexteXML(), avant) << c.quoi;
    }
    // A text that is accepted replaces everything, and sections handed out
    // before show the new content.
    d.ChargerDepuisXML("<DeclarationEdi><Emetteur Nom=\"Autre\"/></DeclarationEdi>");
    EXPECT_EQ(std::static_pointer_cast<SectionEmetteurSubstitut>(emetteur)->champ("Nom"), "Autre");
    EXPECT_EQ(d.FormulairesEdi()->Count(), 0);
    EXPECT_EQ(d.DepotEdi()->ReglementsEdi()->Count(), 0);
}

TEST(DeclarationSubstitutTest, TextsXmlCannotCarryAreCleanedSoTheDeclarationReadsBack) {
    struct Cas {
        std::string donne;
        std::string relu;
    };
    const Cas cas[] = {
        {"a\x01"
         "b\x1F"
         "c",
         "abc"},
        {std::string("nul\0!", 5), "nul!"},
        {"tab\tCR\rLF\n", "tab\tCR\rLF\n"},
        {"latin-1 \xE9t\xE9", "latin-1 \xEF\xBF\xBDt\xEF\xBF\xBD"},
        {"cut \xC3", "cut \xEF\xBF\xBD"},
        {"overlong \xC0\xAF", "overlong \xEF\xBF\xBD\xEF\xBF\xBD"},
        {"surrogate \xED\xA0\x80", "surrogate \xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"non-character \xEF\xBF\xBF.", "non-character ."},
        {"euro \xE2\x82\xAC, emoji \xF0\x9F\x98\x80", "euro \xE2\x82\xAC, emoji \xF0\x9F\x98\x80"},
    };
    for (const auto& c : cas) {
        DeclarationSubstitut d;
        d.SetCommentaires(c.donne);
        d.FormulairesEdi()->Formulaire(0)->RubriquesEdi()->Rubrique("CA")->SetTexte(c.donne);
        DeclarationSubstitut relue;
        ASSERT_EQ(errorOf([&] { relue.ChargerDepuisXML(d.TexteXML()); }), 0) << c.donne;
        EXPECT_EQ(relue.champ("Commentaires"), c.relu) << c.donne;
        EXPECT_EQ(relue.formulaires()->existant(0)->rubriques()->existante("CA")->texte(), c.relu);
    }
}

TEST(DeclarationSubstitutTest, EveryCutOfAPivotTextIsReadOrRefusedWithANumber) {
    DeclarationSubstitut origine;
    remplir(origine);
    const std::string xml = std::string(kMarqueUtf8) + origine.TexteXML();
    for (size_t n = 0; n < xml.size(); ++n) {
        DeclarationSubstitut d;
        int32_t erreur = errorOf([&] { d.ChargerDepuisXML(xml.substr(0, n)); });
        // Only the text without its final line break may be read.
        EXPECT_TRUE(erreur != 0 || n + 1 >= xml.size()) << n;
    }
}

// ---- Connector and outbox ----

class ConnecteurTest : public ::testing::Test {
  protected:
    std::shared_ptr<ConnecteurSubstitut> connecteurPret() {
        auto c = std::make_shared<ConnecteurSubstitut>();
        c->DefinirLancement("launchArgs");
        c->DefinirModule("EdiVat");
        return c;
    }
    std::string declarationXml() {
        DeclarationSubstitut d;
        remplir(d);
        return d.TexteXML();
    }

    DossierTemporaire dossier_;
    VariableTemporaire outbox_{"ARDILO_OUTBOX", dossier_.chemin().c_str()};
};

TEST_F(ConnecteurTest, TransferWritesThePivotAndItsHeaderIntoTheOutbox) {
    auto connecteur = connecteurPret();
    EXPECT_TRUE(connecteur->EstPret());
    auto transfert = connecteur->Transfert();
    transfert->SetCommentaires("Été");
    transfert->SetDescription("");
    transfert->SetOpCoCode(-12);
    transfert->SetTestFile(true);
    transfert->SetDateDebut("01/01/2024");
    transfert->SetDateFin("31/03/2024");
    transfert->SetSIRET("98765432100017");
    transfert->SetNomDebiteur("Forêts & Cie");
    const std::string xml = declarationXml();
    std::string accuse = transfert->Transferer(std::string(kMarqueUtf8) + xml);

    fs::path pivot = dossier_.chemin() / "ARD-20261205-0001.xml";
    EXPECT_EQ(accuse, "Dépôt ARD-20261205-0001 accepté : " + pivot.string());
    std::string contenu = lireFichier(pivot);
    // One mark, then the text as given.
    EXPECT_EQ(contenu, std::string(kMarqueUtf8) + xml);
    DeclarationSubstitut relue;
    relue.ChargerDepuisXML(contenu);
    EXPECT_EQ(relue.TexteXML(), xml);

    auto entete =
        XmlDocument::loadFile((dossier_.chemin() / "ARD-20261205-0001.entete.xml").string());
    ASSERT_TRUE(std::holds_alternative<XmlDocument>(entete));
    XmlElement racine = std::get<XmlDocument>(entete).root();
    EXPECT_EQ(racine.name(), "EnteteTransfert");
    const std::pair<const char*, const char*> attendus[] = {
        {"Commentaires", "Été"},     {"Description", ""},
        {"OpCoCode", "-12"},         {"TestFile", "1"},
        {"DateDebut", "01/01/2024"}, {"DateFin", "31/03/2024"},
        {"SIRET", "98765432100017"}, {"NomDebiteur", "Forêts & Cie"},
        {"Lancement", "launchArgs"}, {"Module", "EdiVat"},
    };
    for (const auto& [nom, valeur] : attendus) EXPECT_EQ(racine.attribute(nom), valeur) << nom;

    // The next deposit of the day takes the next number.
    std::string second = connecteur->Transfert()->Transferer(xml);
    EXPECT_NE(second.find("ARD-20261205-0002"), std::string::npos) << second;
    EXPECT_TRUE(fs::exists(dossier_.chemin() / "ARD-20261205-0002.entete.xml"));
}

TEST_F(ConnecteurTest, FailuresOfTheSendingServiceWriteNothing) {
    struct Cas {
        const char* quoi;
        std::function<void(ConnecteurSubstitut&)> regler;
        std::string xml;
        int32_t erreur;
    };
    fs::path fichier = dossier_.chemin() / "un-fichier";
    std::ofstream(fichier) << "x";
    const std::string xml = declarationXml();
    const Cas cas[] = {
        {"not ready", [](ConnecteurSubstitut& c) { c.reglages().pret = false; }, xml, err::NonPret},
        {"refused", [](ConnecteurSubstitut& c) { c.reglages().refus = "service fermé"; }, xml,
         err::TransfertRefuse},
        {"not a declaration", [](ConnecteurSubstitut&) {}, "<autre/>", err::XmlInvalide},
        {"malformed", [](ConnecteurSubstitut&) {}, "<DeclarationEdi>", err::XmlMalForme},
        {"outbox is a file",
         [&](ConnecteurSubstitut& c) { c.reglages().dossierEnvoi = (fichier / "envoi").string(); },
         xml, err::EcritureDepot},
    };
    for (const auto& c : cas) {
        auto connecteur = connecteurPret();
        c.regler(*connecteur);
        EXPECT_EQ(errorOf([&] { connecteur->Transfert()->Transferer(c.xml); }), c.erreur) << c.quoi;
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dossier_.chemin()), fs::directory_iterator()),
              1);

    auto c = connecteurPret();
    c->reglages().refus = "service fermé";
    EXPECT_EQ(descriptionOf([&] { c->Transfert()->Transferer(xml); }),
              "Le transfert a été refusé par Ardilo direct : service fermé");
}

TEST_F(ConnecteurTest, ReadyOnlyOnceTheVatModuleIsChosen) {
    auto c = std::make_shared<ConnecteurSubstitut>();
    EXPECT_FALSE(c->EstPret());
    c->DefinirLancement("launchArgs");
    EXPECT_FALSE(c->EstPret());
    EXPECT_EQ(errorOf([&] { c->DefinirModule("EdiTVA"); }), err::ModuleInconnu);
    EXPECT_FALSE(c->EstPret());
    c->DefinirModule("EdiVat");
    EXPECT_TRUE(c->EstPret());
    EXPECT_EQ(c->lancement(), "launchArgs");
    c->reglages().pret = false;
    EXPECT_FALSE(c->EstPret());
}

TEST(DossierEnvoiTest, SettingThenEnvironmentThenHome) {
    struct Cas {
        const char* reglage;
        const char* outbox;
        const char* home;
        const char* attendu;
    };
    const Cas cas[] = {
        {"/srv/envoi", "/var/outbox", "/home/lea", "/srv/envoi"},
        {"", "/var/outbox", "/home/lea", "/var/outbox"},
        {"", "", "/home/lea", "/home/lea/.ardilo/envoi"},
        {"", nullptr, "/home/lea", "/home/lea/.ardilo/envoi"},
        {"", nullptr, nullptr, "/tmp/ardilo/envoi"},
    };
    for (const auto& c : cas) {
        VariableTemporaire outbox("ARDILO_OUTBOX", c.outbox);
        VariableTemporaire home("HOME", c.home);
        ReglagesConnecteur r;
        r.dossierEnvoi = c.reglage;
        EXPECT_EQ(dossierEnvoi(r), fs::path(c.attendu));
    }
}

// ---- Product ----

TEST(ProduitSubstitutTest, MakesItsClassesUnlessMadeUnavailable) {
    ProduitSubstitut produit;
    EXPECT_NE(std::dynamic_pointer_cast<DeclarationEdi>(produit.CreerObjet(kClasseDeclarationEdi)),
              nullptr);
    EXPECT_NE(
        std::dynamic_pointer_cast<Connecteur>(produit.CreerObjet("qx_ardilodirect.connecteur")),
        nullptr);
    EXPECT_NE(produit.CreerObjet(kComposantTva), nullptr);
    EXPECT_EQ(errorOf([&] { produit.CreerObjet("ArdiloEdi.Tva.10"); }), qx::err::CreationObjet);

    produit.RendreIndisponible("ARDILOEDI.TVA.11");
    EXPECT_EQ(errorOf([&] { produit.CreerObjet(kComposantTva); }), qx::err::CreationObjet);
    EXPECT_NE(produit.CreerObjet(kClasseDeclarationEdi), nullptr);
    produit.RendreDisponible(kComposantTva);
    EXPECT_NE(produit.CreerObjet(kComposantTva), nullptr);

    // Declarations are kept only on request.
    EXPECT_TRUE(produit.declarationsCreees().empty());
    produit.conserverDeclarations(true);
    auto gardee = produit.CreerObjet(kClasseDeclarationEdi);
    ASSERT_EQ(produit.declarationsCreees().size(), 1u);
    EXPECT_EQ(produit.declarationsCreees()[0], gardee);

    // Connectors take the product's settings.
    produit.reglagesConnecteur().pret = false;
    auto c = std::dynamic_pointer_cast<ConnecteurSubstitut>(produit.CreerObjet(kClasseConnecteur));
    c->DefinirModule("EdiVat");
    EXPECT_FALSE(c->EstPret());
}

}  // namespace
}  // namespace qx::ardilo
