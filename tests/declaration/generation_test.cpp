// Whole generations against the stand-in product: what reaches it (sections,
// period, payments, forms, fixed boxes), what it stores, and every failure.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>

#include "banc_ardilo.h"
#include "declaration/declaration_tva.h"
#include "engine/calcul_tva.h"
#include "platform/thread_state.h"
#include "platform/xml_document.h"

namespace qx {
namespace {

namespace fs = std::filesystem;
using test::BancArdilo;
using test::ecrireFichier;
using test::lireFichier;

const std::string kSamples = QX_SAMPLES_DIR;
const std::string kCa3Donnees = kSamples + "/ca3/donnees.xml";
const std::string kCa3Rubriques = kSamples + "/ca3/rubriques.xml";

// Small forms: a fed CA3 box beside boxes that must not be copied (3-letter
// code, another form, a code the product's form lacks), and zero boxes.
constexpr std::string_view kRubriques = R"(<RUBRIQUESTVA>
  <IMPRIME CODE="CA3">
    <RUBRIQUE CODE="CA" TYPE="N"><LIGNE COMPTE="706" TYPETAUX="9" CATEGORIEAV="9" SENS="-1"/></RUBRIQUE>
    <RUBRIQUE CODE="CAB" TYPE="N"><LIGNE COMPTE="706" TYPETAUX="9" CATEGORIEAV="9" SENS="-1"/></RUBRIQUE>
    <RUBRIQUE CODE="Z9" TYPE="N"><LIGNE COMPTE="706" TYPETAUX="9" CATEGORIEAV="9" SENS="-1"/></RUBRIQUE>
    <RUBRIQUE CODE="DA" TYPE="N"/>
    <RUBRIQUE CODE="KA" TYPE="T"/>
  </IMPRIME>
  <IMPRIME CODE="CA3X">
    <RUBRIQUE CODE="CB" TYPE="N"><LIGNE COMPTE="706" TYPETAUX="9" CATEGORIEAV="9" SENS="-1"/></RUBRIQUE>
  </IMPRIME>
  <IMPRIME CODE="CA3A"><RUBRIQUE CODE="AA" TYPE="N"/></IMPRIME>
  <IMPRIME CODE="CA12"><RUBRIQUE CODE="KA" TYPE="N"/></IMPRIME>
</RUBRIQUESTVA>)";

std::string donnees(std::string_view montant) {
    return "<DONNEESTVA><LIGNE COMPTE=\"706\" MONTANT=\"" + std::string(montant) +
           "\" TYPETAUX=\"20\" CATEGORIEAV=\"V\"/></DONNEESTVA>";
}

// Short, distinct texts, so that a field passed to the wrong place shows.
void remplirDeclaration(Cls_DeclarationTVA& d, bool optionnelsVides, bool avecDateDebut = true) {
    auto opt = [&](const char* texte) { return optionnelsVides ? std::string() : texte; };
    d.SetvCommentaires("com");
    d.SetvDescription("desc");
    d.SetvNumDossier(opt("num"));
    d.SetvSIRET("siret");
    d.SetvNomDebiteur("debiteur");
    d.SetvOpCoCode("7");
    d.SetvTestFile(true);
    if (avecDateDebut) d.SetvDate_Debut(Value("01/11/2026"));
    d.SetvDate_Fin(Value("30/11/2026"));

    auto e = d.Obj_Emetteur();
    e->SetvCode("code");
    e->SetvNom("e-nom");
    e->SetvEmail("e-mail");
    e->SetvSMS("e-sms");
    e->SetvCodeApplication("e-app");
    e->SetvNomApplication("e-napp");
    e->SetvVersionApplication("e-v");

    auto r = d.Obj_Redacteur();
    r->SetvNom("r-nom");
    r->SetvSIRET("r-siret");
    r->SetvEmail("r-mail");
    r->SetvTelephone("r-tel");
    r->SetvSMS("r-sms");
    r->SetvAdr_Numero(12);
    r->SetvAdr_Voie("r-voie");
    r->SetvAdr_CodePostal("r-cp");
    r->SetvAdr_Ville("r-ville");
    r->SetvAdr_CodePays(opt("r-pays"));
    r->SetvAdr_Pays("r-nom-pays");
    r->SetvAdr_Entree("r-entree");

    auto t = d.Obj_Redevable();
    t->SetvFRP("t-frp");
    t->SetvSIRET("t-siret");
    t->SetvOCFI(opt("t-ocfi"));
    t->SetvTVAIntracom("t-intra");
    t->SetvNomSociete("t-soc");
    t->SetvRepresentant(opt("t-rep"));
    t->SetvFonction(opt("t-fonc"));
    t->SetvAdr_Numero(14);
    t->SetvAdr_Voie("t-voie");
    t->SetvAdr_Complement("t-compl");
    t->SetvAdr_CodePostal("t-cp");
    t->SetvAdr_Ville("t-ville");
    t->SetvAdr_CodePays(opt("t-pays"));
    t->SetvTelephone("t-tel");
    t->SetvDateRedressement("01/01/2020");

    auto p1 = d.Obj_Paiements()->Add(1, "premier");
    p1->SetvMode(2);
    p1->SetvReference("non transmise");
    auto debit = p1->Cls_Prelevements()->Add(1);
    debit->SetvMontant(1500.25);
    auto rib = debit->Cls_Rib();
    rib->SetvBanque("b");
    rib->SetvGuichet("g");
    rib->SetvCompte("c");
    rib->SetvCle("k");
    rib->SetvTitulaire("t");
    rib->SetvIBAN("i");
    rib->SetvBIC("bic");
    auto p2 = d.Obj_Paiements()->Add(2);  // a payment without debits
    p2->SetvMode(1);
    p2->SetvNbVirement(3);
}

// The fields a product object was given, in its own order: "Nom=x;Email=;".
std::string attributs(const XmlElement& e) {
    std::string texte;
    for (const std::string& nom : e.attributeNames()) texte += nom + "=" + *e.attribute(nom) + ";";
    return texte;
}

std::string champs(const ardilo::AvecChamps& objet) {
    XmlDocument doc;
    objet.champs().ecrire(doc.createRoot("x"));
    return attributs(doc.root());
}

// The engine's own figures: every 2-letter rubric of the form that is not 0.
std::map<std::string, double> attendus(const std::string& donneesChemin,
                                       const std::string& rubriquesChemin,
                                       const std::string& formulaire) {
    auto calcul = CCalculTVA::Creer();
    calcul->Init(donneesChemin, rubriquesChemin, "");
    std::map<std::string, double> valeurs;
    for (const auto& r : calcul->Rubriques()->NewEnum())
        if (r->CodeImprime() == formulaire && r->CodeRubrique().size() == 2 && r->AsDouble() != 0)
            valeurs[r->CodeRubrique()] = r->AsDouble();
    return valeurs;
}

// What a form of the product holds: code -> (text, value).
std::map<std::string, std::pair<std::string, double>> contenu(const ardilo::DeclarationSubstitut& d,
                                                              int32_t type) {
    std::map<std::string, std::pair<std::string, double>> boites;
    if (auto f = d.formulaires()->existant(type))
        for (const auto& r : f->rubriques()->membres())
            boites[r->Code()] = {r->texte(), r->Valeur()};
    return boites;
}

TEST(GenerationTest, SampleReturnReachesTheProductWithRecordsPaymentsAndForms) {
    for (bool optionnelsVides : {false, true}) {
        SCOPED_TRACE(optionnelsVides ? "optional fields empty" : "optional fields set");
        BancArdilo banc;
        Cls_DeclarationTVA d;
        remplirDeclaration(d, optionnelsVides);
        std::string info = "inchangé";
        std::string resultat = d.Generer_Declaration_TVA(kCa3Donnees, kCa3Rubriques,
                                                         (banc.dossier / "r.xml").string(), info);
        ASSERT_EQ(info, "inchangé");
        ASSERT_EQ(banc.depots().size(), 1u);
        EXPECT_EQ(resultat, "Dépôt ARD-20261205-0001 accepté : " + banc.depots()[0].string());
        EXPECT_TRUE(banc.messages.empty());
        EXPECT_FALSE(fs::exists(banc.dossier / "r.xml")) << "the generation writes no result file";

        ASSERT_EQ(banc.declarations().size(), 1u);
        auto& decl = *banc.declarations()[0];
        // Empty optional texts are not set at all; other empty texts are.
        auto si = [&](const std::string& champ) { return optionnelsVides ? "" : champ; };
        EXPECT_EQ(champs(decl), "Commentaires=com;" + si("NumDossier=num;"));
        EXPECT_EQ(champs(*decl.emetteur()),
                  "CodeApplication=e-app;NomApplication=e-napp;VersionApplication=e-v;Nom=e-nom;"
                  "Email=e-mail;SMS=e-sms;");
        EXPECT_EQ(champs(*decl.redacteur()),
                  "Nom=r-nom;SIRET=r-siret;Email=r-mail;Telephone=r-tel;");
        EXPECT_EQ(champs(*decl.redacteur()->adresse()),
                  "Numero=12;Voie=r-voie;Complement=;CodePostal=r-cp;Ville=r-ville;" +
                      si("CodePays=r-pays;"));
        EXPECT_EQ(champs(*decl.depot()->redevable()),
                  "FRP=t-frp;SIRET=t-siret;" + si("OCFI=t-ocfi;") +
                      "TVAIntracom=t-intra;NomSociete=t-soc;" +
                      si("Representant=t-rep;Fonction=t-fonc;") + "Telephone=t-tel;Email=;");
        EXPECT_EQ(champs(*decl.depot()->redevable()->adresse()),
                  "Numero=14;Voie=t-voie;Complement=t-compl;CodePostal=t-cp;Ville=t-ville;" +
                      si("CodePays=t-pays;"));
        EXPECT_EQ(decl.depot()->periode()->debut(), fromCivil(2026, 11, 1));
        EXPECT_EQ(decl.depot()->periode()->fin(), fromCivil(2026, 11, 30));

        const auto& reglements = decl.depot()->reglements()->membres();
        ASSERT_EQ(reglements.size(), 2u);
        EXPECT_EQ(reglements[0]->Mode(), 2);
        EXPECT_EQ(reglements[1]->Mode(), 1);
        EXPECT_EQ(reglements[1]->NbVirement(), 3);
        EXPECT_TRUE(reglements[1]->prelevements()->membres().empty());
        ASSERT_EQ(reglements[0]->prelevements()->membres().size(), 1u);
        EXPECT_EQ(reglements[0]->prelevements()->membres()[0]->Montant(), 1500.25);
        EXPECT_EQ(champs(*reglements[0]->prelevements()->membres()[0]->rib()),
                  "Banque=b;Guichet=g;Compte=c;Cle=k;Titulaire=t;Complement=;IBAN=i;BIC=bic;");
        EXPECT_EQ(d.Obj_Paiements()->Item(Value(int32_t{2}))->PrelevementsExistants(), nullptr)
            << "reading the payments creates no debits on the host's records";

        // Every non-zero box of both forms, with its computed value, and nothing else.
        for (auto [nom, type] : {std::pair{"CA3", 0}, std::pair{"CA3A", 2}}) {
            std::map<std::string, double> recu;
            for (const auto& [code, boite] : contenu(decl, type)) {
                EXPECT_EQ(boite.first, "") << nom << code;
                recu[code] = boite.second;
            }
            EXPECT_EQ(recu, attendus(kCa3Donnees, kCa3Rubriques, nom)) << nom;
        }

        // Stored once behind its mark, indented, without XML declaration.
        const std::string pivot = lireFichier(banc.depots()[0]);
        EXPECT_EQ(pivot.rfind("\xEF\xBB\xBF<DeclarationEdi", 0), 0u);
        EXPECT_EQ(pivot.find("<?xml"), std::string::npos);
        EXPECT_NE(pivot.find("\n  <"), std::string::npos);
        auto entete = XmlDocument::parseText(
            lireFichier(fs::path(banc.depots()[0]).replace_extension(".entete.xml")));
        ASSERT_TRUE(std::holds_alternative<XmlDocument>(entete));
        EXPECT_EQ(attributs(std::get<XmlDocument>(entete).root()),
                  "Commentaires=com;Description=desc;OpCoCode=7;TestFile=1;DateDebut=01/11/2026;"
                  "DateFin=30/11/2026;SIRET=siret;NomDebiteur=debiteur;Lancement=launchArgs;"
                  "Module=EdiVat;");

        // The host's object keeps what it holds.
        EXPECT_EQ(d.Obj_Paiements()->Count(), 2);
        EXPECT_EQ(d.vNumDossier(), si("num"));
        EXPECT_EQ(banc.declarations()[0].use_count(), 1) << "the generation let its declaration go";
    }
}

TEST(GenerationTest, FormsCopiedByTypeWithNilAndInstalmentBoxes) {
    using Boites = std::map<std::string, std::pair<std::string, double>>;
    struct Cas {
        const char* nom;
        const char* type;
        const char* montant;
        std::string dateFin;
        Boites ca3, ca3a, ca12;
        bool ca3aObtenu;
    };
    const Boites vide;
    const Cas cas[] = {
        // Only the fed 2-letter CA3 box; the CA3A form is obtained but stays without a box.
        {"fed CA3", "CA3", "-1234.4", "30/11/2026", {{"CA", {"", 1234}}}, vide, vide, true},
        {"nil CA3", "CA3", "0", "30/11/2026", {{"KF", {"X", 0}}}, vide, vide, true},
        {"CA12E copies the CA3 forms",
         "CA12E",
         "-10",
         "30/11/2026",
         {{"CA", {"", 10}}},
         vide,
         vide,
         true},
        // Paid instalments 1 and 2 (3 is 0, 4 negative): years 2024 and 2023 for a
        // period ending in June 2024, and the nil box despite them.
        {"CA12 instalments",
         "CA12",
         "-1234",
         "30/06/2024",
         vide,
         vide,
         {{"TA", {"X", 0}},
          {"UA", {"", 2024}},
          {"TB", {"X", 0}},
          {"UB", {"", 2023}},
          {"SD", {"X", 0}}},
         false},
        {"CA12 instalments at December",
         "CA12",
         "0",
         "31/12/2024",
         vide,
         vide,
         {{"TA", {"X", 0}},
          {"UA", {"", 2024}},
          {"TB", {"X", 0}},
          {"UB", {"", 2024}},
          {"SD", {"X", 0}}},
         false},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        BancArdilo banc;
        ecrireFichier(banc.dossier / "rubriques.xml", kRubriques);
        ecrireFichier(banc.dossier / "donnees.xml", donnees(c.montant));
        Cls_DeclarationTVA d;
        d.SetvTypeDeclaration(c.type);
        d.SetvDate_Debut(Value("01/01/2024"));
        d.SetvDate_Fin(Value(c.dateFin));
        d.Acompte_Ajouter(1, 100, 0);
        d.Acompte_Ajouter(2, 50, 10);
        d.Acompte_Ajouter(3, 0, 40);
        d.Acompte_Ajouter(4, -5, 0);
        std::string info;
        EXPECT_NE(d.Generer_Declaration_TVA((banc.dossier / "donnees.xml").string(),
                                            (banc.dossier / "rubriques.xml").string(), "", info),
                  "");
        EXPECT_EQ(info, "");
        auto& decl = *banc.declarations()[0];
        EXPECT_EQ(contenu(decl, 0), c.ca3);
        EXPECT_EQ(contenu(decl, 2), c.ca3a);
        EXPECT_EQ(decl.formulaires()->existant(2) != nullptr, c.ca3aObtenu);
        EXPECT_EQ(contenu(decl, 4), c.ca12);
    }
}

std::string descriptionInit(const std::string& donneesChemin) {
    try {
        CCalculTVA::Creer()->Init(donneesChemin, kCa3Rubriques, "");
    } catch (const Error& e) {
        return e.description();
    }
    return "<no error>";
}

TEST(GenerationTest, FailuresGiveTheirMessages) {
    const std::string kGenerique =
        "Une erreur s'est produite lors de la tentative de génération de la déclaration dans "
        "Ardilo direct.\r\n\r\nCode de l'erreur : ";
    const std::string kTransfert = "Transfert vers Ardilo direct de la déclaration de TVA (QLVX)";
    using Preparation = std::function<void(BancArdilo&, Cls_DeclarationTVA&)>;
    auto connecteur = [](Cls_DeclarationTVA& d) -> ardilo::ReglagesConnecteur& {
        return std::dynamic_pointer_cast<ardilo::ConnecteurSubstitut>(d.ArdiloDirect())->reglages();
    };
    const std::string manquant = kSamples + "/absent.xml";
    struct Cas {
        const char* nom;
        Preparation preparer;
        std::string donnees;
        bool avecDateDebut;
        std::string info;  // expected Info_Retour; "avant" is the caller's value kept
        std::vector<std::string> messages;
    };
    const Cas cas[] = {
        {"calculation",
         [](BancArdilo&, Cls_DeclarationTVA&) {},
         manquant,
         true,
         "Une erreur s'est produite lors du calcul des rubriques de la déclaration.\r\n\r\n"
         "Description de l'erreur :\r\n" +
             descriptionInit(manquant),
         {}},
        {"product version",
         [](BancArdilo& b, Cls_DeclarationTVA&) {
             b.produit->RendreIndisponible(kClasseDeclarationEdi);
         },
         kCa3Donnees,
         true,
         "Votre installation de Ardilo direct n'est pas suffisamment récente pour être "
         "compatible avec notre application.\r\n\r\nVeuillez installer la dernière version de "
         "Ardilo direct pour résoudre le problème.",
         {}},
        {"start date never set",
         [](BancArdilo&, Cls_DeclarationTVA&) {},
         kCa3Donnees,
         false,
         kGenerique + "13\r\n\r\nDescription de l'erreur : Incompatibilité de type",
         {}},
        {"debit without bank account",
         [](BancArdilo&, Cls_DeclarationTVA& d) {
             d.Obj_Paiements()
                 ->Item(Value(int32_t{1}))
                 ->Cls_Prelevements()
                 ->Item(Value(int32_t{1}))
                 ->SetCls_Rib(nullptr);
         },
         kCa3Donnees,
         true,
         kGenerique + "91\r\n\r\nDescription de l'erreur : Variable objet ou variable de bloc "
                      "With non définie",
         {}},
        {"transfer refused",
         [&](BancArdilo&, Cls_DeclarationTVA& d) { connecteur(d).refus = "service fermé"; },
         kCa3Donnees,
         true,
         "avant",
         {kTransfert}},
        {"no connector",
         [](BancArdilo&, Cls_DeclarationTVA& d) { d.SetArdiloDirect(nullptr); },
         kCa3Donnees,
         true,
         "avant",
         {kTransfert}},
        {"connector not ready",
         [&](BancArdilo&, Cls_DeclarationTVA& d) { connecteur(d).pret = false; },
         kCa3Donnees,
         true,
         "avant",
         {}},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        BancArdilo banc;
        Cls_DeclarationTVA d;
        remplirDeclaration(d, false, c.avecDateDebut);
        c.preparer(banc, d);
        std::string info = "avant";
        EXPECT_EQ(d.Generer_Declaration_TVA(c.donnees, kCa3Rubriques, "", info), "");
        EXPECT_EQ(info, c.info);
        EXPECT_EQ(banc.messages, c.messages);
        EXPECT_TRUE(banc.depots().empty());
        // Nothing the generation made is kept alive by anyone but the product's log.
        for (const auto& decl : banc.declarations()) EXPECT_EQ(decl.use_count(), 1);
        EXPECT_EQ(d.Obj_Paiements()->Count(), 2);
    }
}

TEST(GenerationTest, IndentationOfAnXmlText) {
    const std::string texte = "<?xml version=\"1.0\"?><a x=\"1\"><b>é</b><c/></a>";
    EXPECT_EQ(Indenter_XML(texte, true, false), "<a x=\"1\">\n  <b>é</b>\n  <c/>\n</a>\n");
    EXPECT_EQ(Indenter_XML(texte, false, true), "\xEF\xBB\xBF<a x=\"1\"><b>é</b><c/></a>\n");
    for (const char* mauvais : {"", "<a>", "texte"}) {
        try {
            Indenter_XML(mauvais, true, true);
            ADD_FAILURE() << mauvais;
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), err::AppelIncorrect) << mauvais;
        }
    }
}

}  // namespace
}  // namespace qx
