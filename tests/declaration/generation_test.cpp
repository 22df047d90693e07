// Whole generations against the stand-in product: what reaches it (sections,
// period, payments, forms, fixed boxes), what it stores, and every failure.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <sstream>

#include "banc_ardilo.h"
#include "declaration/declaration_tva.h"
#include "engine/calcul_tva.h"

namespace qx {
namespace {

namespace fs = std::filesystem;
using test::BancArdilo;
using test::ecrireFichier;
using test::lireFichier;
using test::textes;

const std::string kSamples = QX_SAMPLES_DIR;
const std::string kCa3Donnees = kSamples + "/ca3/donnees.xml";
const std::string kCa3Rubriques = kSamples + "/ca3/rubriques.xml";

// Small forms: fed boxes of the CA3 and its annex beside boxes that must not be
// copied (3-letter code, another form, a code the product's form lacks), and zero boxes.
std::string vendue(const char* code) {  // fed by the sales account
    return std::string("<RUBRIQUE CODE=\"") + code +
           R"(" TYPE="N"><LIGNE COMPTE="706" TYPETAUX="9" CATEGORIEAV="9" SENS="-1"/></RUBRIQUE>)";
}
const std::string kRubriques =
    "<RUBRIQUESTVA><IMPRIME CODE=\"CA3\">" + vendue("CA") + vendue("CB") + vendue("CAB") +
    vendue("Z9") + R"(<RUBRIQUE CODE="DA" TYPE="N"/><RUBRIQUE CODE="KA" TYPE="T"/></IMPRIME>)" +
    "<IMPRIME CODE=\"CA3X\">" + vendue("CC") + "</IMPRIME><IMPRIME CODE=\"CA3A\">" + vendue("HB") +
    R"(<RUBRIQUE CODE="AA" TYPE="N"/></IMPRIME>)"
    R"(<IMPRIME CODE="CA12"><RUBRIQUE CODE="KA" TYPE="N"/></IMPRIME></RUBRIQUESTVA>)";

// Short, distinct texts, so that a field passed to the wrong place shows; some optional
// texts left empty, others set.
void remplirDeclaration(Cls_DeclarationTVA& d, bool avecDateDebut = true) {
    using D = Cls_DeclarationTVA;
    textes(d, &D::SetvCommentaires, "com", &D::SetvDescription, "desc", &D::SetvSIRET, "siret",
           &D::SetvNomDebiteur, "debiteur");
    d.SetvOpCoCode("7");
    d.SetvTestFile(true);
    if (avecDateDebut) d.SetvDate_Debut(Value("01/11/2026"));
    d.SetvDate_Fin(Value("30/11/2026"));
    using E = Cls_Emetteur;
    textes(*d.Obj_Emetteur(), &E::SetvNom, "e-nom", &E::SetvEmail, "e-mail", &E::SetvSMS, "e-sms",
           &E::SetvCodeApplication, "e-app", &E::SetvNomApplication, "e-napp",
           &E::SetvVersionApplication, "e-v");
    using P = Cls_Redacteur;
    auto r = d.Obj_Redacteur();
    // Its address goes the redevable's way; only the country is set, to show it.
    textes(*r, &P::SetvNom, "r-nom", &P::SetvSIRET, "r-siret", &P::SetvEmail, "r-mail",
           &P::SetvTelephone, "r-tel", &P::SetvAdr_CodePays, "r-pays");
    r->SetvAdr_Numero(12);
    using T = Cls_Redevable;
    auto t = d.Obj_Redevable();
    textes(*t, &T::SetvFRP, "t-frp", &T::SetvSIRET, "t-siret", &T::SetvTVAIntracom, "t-intra",
           &T::SetvNomSociete, "t-soc", &T::SetvRepresentant, "t-rep", &T::SetvAdr_Voie, "t-voie",
           &T::SetvAdr_Complement, "t-compl", &T::SetvAdr_CodePostal, "t-cp", &T::SetvAdr_Ville,
           "t-ville", &T::SetvTelephone, "t-tel");
    t->SetvAdr_Numero(14);

    auto p1 = d.Obj_Paiements()->Add(1, "premier");
    p1->SetvMode(2);
    p1->SetvReference("non transmise");
    auto debit = p1->Cls_Prelevements()->Add(1);
    debit->SetvMontant(1500.25);
    using B = Cls_Rib;
    textes(*debit->Cls_Rib(), &B::SetvBanque, "b", &B::SetvGuichet, "g", &B::SetvCompte, "c",
           &B::SetvCle, "k", &B::SetvTitulaire, "t", &B::SetvIBAN, "i", &B::SetvBIC, "bic");
    auto p2 = d.Obj_Paiements()->Add(2);  // a payment without debits
    p2->SetvMode(1);
    p2->SetvNbVirement(3);
}

// Boxes by code, "CA=1234 KF=X/0": the text when there is one, then the value;
// "-" when the form was never obtained.
std::string boites(const ardilo::DeclarationSubstitut& d, int32_t type) {
    auto f = d.formulaires()->existant(type);
    if (!f) return "-";
    std::map<std::string, std::pair<std::string, double>> tri;
    for (const auto& r : f->rubriques()->membres()) tri[r->Code()] = {r->texte(), r->Valeur()};
    std::ostringstream s;
    s.precision(15);
    for (const auto& [code, boite] : tri)
        s << (s.tellp() > 0 ? " " : "") << code << "="
          << (boite.first.empty() ? "" : boite.first + "/") << boite.second;
    return s.str();
}

TEST(GenerationTest, SampleReturnReachesTheProductWithRecordsPaymentsAndForms) {
    BancArdilo banc;
    Cls_DeclarationTVA d;
    remplirDeclaration(d);
    std::string info = "inchangé";
    std::string resultat = d.Generer_Declaration_TVA(kCa3Donnees, kCa3Rubriques,
                                                     (banc.dossier / "r.xml").string(), info);
    ASSERT_EQ(info, "inchangé");
    EXPECT_EQ(resultat, "Dépôt ARD-20261205-0001 accepté : " + banc.premierDepot().string());
    EXPECT_TRUE(banc.messages.empty());
    EXPECT_FALSE(fs::exists(banc.dossier / "r.xml")) << "the generation writes no result file";

    // The stored pivot up to its forms: every field where it belongs, empty optional
    // texts left out and other empty texts kept; behind its mark, indented.
    const std::string pivot = lireFichier(banc.premierDepot());
    EXPECT_EQ(pivot.substr(0, pivot.find("  <Formulaires>")),
              "\xEF\xBB\xBF"
              R"(<DeclarationEdi Version="1" Commentaires="com">
  <Emetteur CodeApplication="e-app" NomApplication="e-napp" VersionApplication="e-v" )"
              R"(Nom="e-nom" Email="e-mail" SMS="e-sms"/>
  <Redacteur Nom="r-nom" SIRET="r-siret" Email="r-mail" Telephone="r-tel">
    <Adresse Numero="12" Voie="" Complement="" CodePostal="" Ville="" CodePays="r-pays"/>
  </Redacteur>
  <Depot>
    <Redevable FRP="t-frp" SIRET="t-siret" TVAIntracom="t-intra" NomSociete="t-soc" )"
              R"(Representant="t-rep" Telephone="t-tel" Email="">
      <Adresse Numero="14" Voie="t-voie" Complement="t-compl" CodePostal="t-cp" Ville="t-ville"/>
    </Redevable>
    <Periode Debut="2026-11-01" Fin="2026-11-30"/>
    <Reglements>
      <Reglement Reference="REG1" Mode="2" NbVirement="0">
        <Prelevement Reference="REG1-PRL1" Montant="1500.25">
          <Rib Banque="b" Guichet="g" Compte="c" Cle="k" Titulaire="t" Complement="" IBAN="i" )"
              R"(BIC="bic"/>
        </Prelevement>
      </Reglement>
      <Reglement Reference="REG2" Mode="1" NbVirement="3"/>
    </Reglements>
  </Depot>
)");
    EXPECT_EQ(PrelevementsExistants(*d.Obj_Paiements()->Item(Value(int32_t{2}))), nullptr)
        << "reading the payments creates no debits on the host's records";
    // The rules of the copy are shown on small forms below; here, the sample's total.
    EXPECT_NE(pivot.find(R"(<Rubrique Code="KE" Valeur="584" )"), std::string::npos);

    EXPECT_EQ(lireFichier(banc.premierDepot().replace_extension(".entete.xml")),
              R"(<?xml version="1.0" encoding="UTF-8"?>
<EnteteTransfert Commentaires="com" Description="desc" OpCoCode="7" TestFile="1" )"
              R"(DateDebut="01/11/2026" DateFin="30/11/2026" SIRET="siret" NomDebiteur="debiteur" )"
              R"(Lancement="launchArgs" Module="EdiVat"/>
)");
    EXPECT_EQ(banc.produit->declarationsCreees()[0].use_count(), 1)
        << "the generation let its declaration go";
}

TEST(GenerationTest, FormsCopiedByTypeWithNilAndInstalmentBoxes) {
    // Instalments 1 and 2 are paid (3 is 0, 4 negative): years 2024 and 2023 for a period
    // ending in April 2024, the first instalment's own month, 2024 for both at December; the
    // nil box despite them. Only the fed 2-letter boxes of the forms the type takes are copied.
    const std::string instalments = "SD=X/0 TA=X/0 TB=X/0 UA=2024 UB=";
    const std::tuple<const char*, const char*, const char*, std::string, std::string, std::string>
        cas[] = {
            // type, amount, period end, CA3 boxes, CA3A boxes, CA12 boxes
            {"CA3", "-1234.4", "30/11/2026", "CA=1234 CB=1234", "HB=1234", "-"},
            {"CA3", "0", "30/11/2026", "KF=X/0", "", "-"},
            {"CA12E", "-10", "30/11/2026", "CA=10 CB=10", "HB=10", "-"},  // takes the CA3 forms
            {"CA12", "-1234", "30/04/2024", "-", "-", instalments + "2023"},
            {"CA12", "0", "31/12/2024", "-", "-", instalments + "2024"},
        };
    for (const auto& [type, montant, fin, ca3, ca3a, ca12] : cas) {
        SCOPED_TRACE(std::string(type) + " " + montant + " " + fin);
        BancArdilo banc;
        ecrireFichier(banc.dossier / "rubriques.xml", kRubriques);
        ecrireFichier(banc.dossier / "donnees.xml",
                      "<DONNEESTVA><LIGNE COMPTE=\"706\" MONTANT=\"" + std::string(montant) +
                          "\" TYPETAUX=\"20\" CATEGORIEAV=\"V\"/></DONNEESTVA>");
        Cls_DeclarationTVA d;
        d.SetvTypeDeclaration(type);
        d.SetvDate_Debut(Value("01/01/2024"));
        d.SetvDate_Fin(Value(fin));
        for (auto [n, paye, restant] : {std::tuple{1, 100, 0}, {2, 50, 10}, {3, 0, 40}, {4, -5, 0}})
            d.Acompte_Ajouter(static_cast<int16_t>(n), paye, restant);
        std::string info;
        EXPECT_NE(d.Generer_Declaration_TVA((banc.dossier / "donnees.xml").string(),
                                            (banc.dossier / "rubriques.xml").string(), "", info),
                  "");
        EXPECT_EQ(info, "");
        auto& decl = *banc.produit->declarationsCreees().at(0);
        EXPECT_EQ(boites(decl, 0) + " | " + boites(decl, 2) + " | " + boites(decl, 4),
                  ca3 + " | " + ca3a + " | " + ca12);
    }
}

TEST(GenerationTest, FailuresGiveTheirMessages) {
    const std::string kGenerique =
        "Une erreur s'est produite lors de la tentative de génération de la déclaration dans "
        "Ardilo direct.\r\n\r\nCode de l'erreur : ";
    const std::vector<std::string> transfert = {
        "Transfert vers Ardilo direct de la déclaration de TVA (QLVX)"};
    const std::string manquant = kSamples + "/absent.xml";
    const std::string calcul =
        test::descriptionOf([&] { CCalculTVA::Creer()->Init(manquant, kCa3Rubriques, ""); });
    auto reglages = [](Cls_DeclarationTVA& d) -> ardilo::ReglagesConnecteur& {
        return std::dynamic_pointer_cast<ardilo::ConnecteurSubstitut>(d.ArdiloDirect())->reglages();
    };
    struct Cas {
        const char* nom;
        std::function<void(BancArdilo&, Cls_DeclarationTVA&)> preparer;
        std::string info;  // expected Info_Retour; "avant" is the caller's value kept
        std::vector<std::string> messages = {};
    };
    const Cas cas[] = {
        {"calculation", [](auto&, auto&) {},
         "Une erreur s'est produite lors du calcul des rubriques de la déclaration.\r\n\r\n"
         "Description de l'erreur :\r\n" +
             calcul},
        {"product version",
         [](auto& b, auto&) { b.produit->RendreIndisponible(kClasseDeclarationEdi); },
         "Votre installation de Ardilo direct n'est pas suffisamment récente pour être "
         "compatible avec notre application.\r\n\r\nVeuillez installer la dernière version de "
         "Ardilo direct pour résoudre le problème."},
        {"start date never set", [](auto&, auto&) {},
         kGenerique + "13\r\n\r\nDescription de l'erreur : Incompatibilité de type"},
        {"debit without bank account",
         [](auto&, auto& d) {
             d.Obj_Paiements()->Item(Value(1))->Cls_Prelevements()->Item(Value(1))->SetCls_Rib(
                 nullptr);
         },
         kGenerique + "91\r\n\r\nDescription de l'erreur : Variable objet ou variable de bloc "
                      "With non définie"},
        // Info_Retour keeps the caller's value: the message box says it; the
        // product keeps the reason.
        {"transfer refused", [&](auto&, auto& d) { reglages(d).refus = "fermé"; }, "avant",
         transfert},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        const std::string_view nom = c.nom;
        BancArdilo banc;
        Cls_DeclarationTVA d;
        remplirDeclaration(d, nom != "start date never set");
        c.preparer(banc, d);
        std::string info = "avant";
        EXPECT_EQ(d.Generer_Declaration_TVA(nom == "calculation" ? manquant : kCa3Donnees,
                                            kCa3Rubriques, "", info),
                  "");
        EXPECT_EQ(info, c.info);
        auto connecteur = std::dynamic_pointer_cast<ardilo::ConnecteurSubstitut>(d.ArdiloDirect());
        EXPECT_EQ(
            connecteur->dernierEchec(),
            nom == "transfer refused" ? "Le transfert a été refusé par Ardilo direct : fermé" : "");
        EXPECT_EQ(banc.messages, c.messages);
        EXPECT_FALSE(fs::exists(banc.dossier / "envoi"));
        // Nothing the generation made is kept alive by anyone but the product's log.
        for (const auto& decl : banc.produit->declarationsCreees()) EXPECT_EQ(decl.use_count(), 1);
        EXPECT_EQ(d.Obj_Paiements()->Count(), 2);
    }
}

}  // namespace
}  // namespace qx
