// The engine end to end: Init's file checks and failures, the data pass
// (matching, signs, credit, instalments, rounding passes) and its results.
#include <gtest/gtest.h>

#include <map>

#include "engine/calcul_tva.h"
#include "engine/engine_test_util.h"
#include "platform/thread_state.h"

namespace qx {
namespace {

using test::DossierTemporaire;
using test::erreurDe;

const std::string kDonnees = std::string(QX_TEST_DATA_DIR) + "/engine/";

// Fixes the per-thread state every test of this file reads.
class CalculTest : public ::testing::Test {
  protected:
    void SetUp() override {
        DefinirTypeDeclaration("CA3");
        Acomptes() = TableAcomptes{};
    }
    void TearDown() override {
        DefinirTypeDeclaration("");
        Acomptes() = TableAcomptes{};
    }
    DossierTemporaire dossier;
};

struct Etat {
    std::string valeur;
    bool force;
    friend bool operator==(const Etat&, const Etat&) = default;
};
std::ostream& operator<<(std::ostream& os, const Etat& e) {
    return os << e.valeur << (e.force ? " (forcée)" : "");
}

std::map<std::string, Etat> etats(CCalculTVA& moteur) {
    std::map<std::string, Etat> out;
    for (const auto& r : moteur.Rubriques()->NewEnum())
        out[r->KeyRubrique()] = {r->AsXML(), r->IsForce()};
    return out;
}

TEST_F(CalculTest, InitComputesTheHandWorkedCA3) {
    // By hand: FP = 10000.4 - 1000.3 (the 709 return line) = 9000.1, rounded 9000;
    // GP = 1799 -> TAX -> NET; DED = 400.2 -> NET = 1799 - 400.2, then +0.2 when
    // DED is rounded: 1399; FB = 200.6 -> 201; HD takes the credit 1250.4 (not
    // 300 + 1250.4), rounded 1250. The 20% check forces GP to 9000 x 0.2 = 1800
    // (gap 1 within 1.8), which carries +1 to TAX and NET, both marked forced;
    // the 5.5% row (201 against 0) is too far apart to be corrected.
    auto moteur = CCalculTVA::Creer();
    ASSERT_TRUE(moteur->Init(kDonnees + "ca3_donnees.xml", kDonnees + "ca3_rubriques.xml",
                             dossier.chemin("r.xml")));
    EXPECT_TRUE(moteur->CalculTermine());
    const std::map<std::string, Etat> attendu = {
        {"CA3FP", {"9000", false}}, {"CA3GP", {"1800", true}},  {"CA3FB", {"201", false}},
        {"CA3GB", {"0", false}},    {"CA3NOM", {"", false}},    {"CA3TOT", {"9000", false}},
        {"CA3TAX", {"1800", true}}, {"CA3DED", {"400", false}}, {"CA3NET", {"1400", true}},
        {"CA3HD", {"1250", false}},
    };
    EXPECT_EQ(etats(*moteur), attendu);
    EXPECT_EQ(moteur->Rubriques()->Item(Value("CA3GP"))->ValeurInitiale().toDouble(), 1799);
    EXPECT_EQ(moteur->FichierResultTVA(), dossier.chemin("r.xml"));
    EXPECT_FALSE(FichierExiste(dossier.chemin("r.xml")));  // Init never writes the result

    // Without a declaration type no credit is taken and no check runs.
    DefinirTypeDeclaration("CA12A");
    auto autre = CCalculTVA::Creer();
    autre->Init(kDonnees + "ca3_donnees.xml", kDonnees + "ca3_rubriques.xml", "");
    auto e = etats(*autre);
    EXPECT_EQ(e["CA3HD"], (Etat{"300", false}));
    EXPECT_EQ(e["CA3GP"], (Etat{"1799", false}));
    EXPECT_EQ(e["CA3NET"], (Etat{"1399", false}));
}

TEST_F(CalculTest, InitChecksTheFilesFirst) {
    const std::string rubriques = kDonnees + "ca3_rubriques.xml";
    const std::string donnees = kDonnees + "ca3_donnees.xml";
    const std::string dossierSeul = dossier.racine().string();
    struct Cas {
        std::string donnees, rubriques;
        uint32_t numero;
        const char* message;
    };
    const std::vector<Cas> cas = {
        {"", "", 0x80040203, "Le fichier de description de rubrique n'existe pas"},
        {dossier.chemin("absent.xml"), dossier.chemin("absent2.xml"), 0x80040203,
         "Le fichier de description de rubrique n'existe pas"},
        {donnees, dossierSeul, 0x80040203, "Le fichier de description de rubrique n'existe pas"},
        {"", rubriques, 0x80040202, "Le fichier de données comptable n'existe pas"},
        {dossierSeul, rubriques, 0x80040202, "Le fichier de données comptable n'existe pas"},
    };
    for (const Cas& k : cas) {
        auto moteur = CCalculTVA::Creer();
        auto avant = moteur->Rubriques();
        Error e = erreurDe([&] { moteur->Init(k.donnees, k.rubriques, "r.xml"); });
        EXPECT_EQ(static_cast<uint32_t>(e.number()), k.numero) << k.donnees << " / " << k.rubriques;
        EXPECT_EQ(e.description(), k.message);
        // Nothing changed.
        EXPECT_EQ(moteur->Rubriques(), avant);
        EXPECT_EQ(moteur->FichierDonneeTVA(), "");
        EXPECT_EQ(moteur->FichierResultTVA(), "");
        EXPECT_FALSE(moteur->CalculTermine());
    }
}

TEST_F(CalculTest, FailuresDuringInitKeepTheirNumbers) {
    const std::string rubriques = kDonnees + "ca3_rubriques.xml";
    const std::string donnees = kDonnees + "ca3_donnees.xml";
    struct Cas {
        const char* nom;
        std::string donnees, rubriques, type;
        int32_t numero;     // 0: a parser number
        std::string debut;  // start of the description
        int32_t rubriquesChargees;
    };
    const std::vector<Cas> cas = {
        {"parametres illisibles", donnees, dossier.ecrire("p.xml", "<R><IMPRIME CODE='CA3'>"),
         "CA3", 0, "Erreur de chargement document XML des rubriques (fichier ligne 1) \r", 0},
        {"donnees illisibles", dossier.ecrire("d.xml", "<D><LIGNE COMPTE='70'>\n</D>"), rubriques,
         "CA3", 0, "", 10},
        {"rubrique de credit absente CA3",
         dossier.ecrire("d2.xml", "<D><PARAMS CREDITTVA='5'/></D>"),
         dossier.ecrire("p2.xml", "<R><IMPRIME CODE='CA3'><RUBRIQUE CODE='GP'/></IMPRIME></R>"),
         "CA3", 91,
         "La rubrique de crédit de TVA 'CA3HD' est absente du paramétrage : le crédit reporté ne "
         "peut pas être repris",
         1},
        {"rubrique de credit absente CA12", dossier.chemin("d2.xml"), dossier.chemin("p2.xml"),
         "CA12", 91, "La rubrique de crédit de TVA 'CA12KA' est absente", 1},
    };
    for (const Cas& k : cas) {
        DefinirTypeDeclaration(k.type);
        auto moteur = CCalculTVA::Creer();
        auto avant = moteur->Rubriques();
        Error e = erreurDe([&] { moteur->Init(k.donnees, k.rubriques, "r.xml"); });
        if (k.numero) {
            EXPECT_EQ(e.number(), k.numero) << k.nom;
        } else {
            EXPECT_EQ(static_cast<uint32_t>(e.number()) & 0xFFFFFF00u, 0xC00CE500u) << k.nom;
        }
        EXPECT_EQ(e.description().rfind(k.debut, 0), 0u) << k.nom << ": " << e.description();
        EXPECT_FALSE(moteur->CalculTermine()) << k.nom;
        // The paths are stored and the new collection holds what was loaded.
        EXPECT_EQ(moteur->FichierRubriqueTVA(), k.rubriques) << k.nom;
        EXPECT_NE(moteur->Rubriques(), avant) << k.nom;
        EXPECT_EQ(moteur->Rubriques()->Count(), k.rubriquesChargees) << k.nom;
    }
}

TEST_F(CalculTest, SignAndCumulationTable) {
    const std::string rubriques = dossier.ecrire("p.xml", R"(<R><IMPRIME CODE="T">
      <RUBRIQUE CODE="PP"><LIGNE COMPTE="6" TYPETAUX="9" CATEGORIEAV="9" SENS="1" TYPECUMUL="1"/></RUBRIQUE>
      <RUBRIQUE CODE="PM"><LIGNE COMPTE="6" TYPETAUX="9" CATEGORIEAV="9" SENS="1" TYPECUMUL="-1"/></RUBRIQUE>
      <RUBRIQUE CODE="MP"><LIGNE COMPTE="6" TYPETAUX="9" CATEGORIEAV="9" SENS="-1" TYPECUMUL="1"/></RUBRIQUE>
      <RUBRIQUE CODE="MM"><LIGNE COMPTE="6" TYPETAUX="9" CATEGORIEAV="9" SENS="-1" TYPECUMUL="-1"/></RUBRIQUE>
      <RUBRIQUE CODE="XX"><LIGNE COMPTE="6" TYPETAUX="9" CATEGORIEAV="9" SENS="+1" TYPECUMUL="0"/></RUBRIQUE>
      <RUBRIQUE CODE="DOUBLE"><LIGNE COMPTE="6"/><LIGNE COMPTE="60"/></RUBRIQUE>
      </IMPRIME></R>)");
    struct Cas {
        const char* montant;
        std::map<std::string, std::string> attendu;
    };
    const std::vector<Cas> cas = {
        {"100",
         {{"TPP", "100"},
          {"TPM", "-100"},
          {"TMP", "0"},
          {"TMM", "0"},
          {"TXX", "100"},
          {"TDOUBLE", "200"}}},
        {"-100",
         {{"TPP", "0"},
          {"TPM", "0"},
          {"TMP", "100"},
          {"TMM", "-100"},
          {"TXX", "0"},
          {"TDOUBLE", "0"}}},
        {"0",
         {{"TPP", "0"}, {"TPM", "0"}, {"TMP", "0"}, {"TMM", "0"}, {"TXX", "0"}, {"TDOUBLE", "0"}}},
    };
    for (const Cas& k : cas) {
        const std::string donnees =
            dossier.ecrire("d.xml", std::string("<D><LIGNE COMPTE='601' TYPETAUX='' MONTANT='") +
                                        k.montant + "'/></D>");
        auto moteur = CCalculTVA::Creer();
        moteur->Init(donnees, rubriques, "");
        std::map<std::string, std::string> obtenu;
        for (const auto& [cle, etat] : etats(*moteur)) obtenu[cle] = etat.valeur;
        EXPECT_EQ(obtenu, k.attendu) << k.montant;
    }
}

TEST_F(CalculTest, AccountRateAndCategoryMatching) {
    const std::string rubriques = dossier.ecrire("p.xml", R"(<R><IMPRIME CODE="M">
      <RUBRIQUE CODE="C44"><LIGNE COMPTE="44" TYPETAUX="9" CATEGORIEAV="9"/></RUBRIQUE>
      <RUBRIQUE CODE="C445"><LIGNE COMPTE="445" TYPETAUX="9" CATEGORIEAV="9"/></RUBRIQUE>
      <RUBRIQUE CODE="T01"><LIGNE COMPTE="" TYPETAUX="01" CATEGORIEAV="9"/></RUBRIQUE>
      <RUBRIQUE CODE="CATB"><LIGNE COMPTE="" TYPETAUX="9" CATEGORIEAV="B"/></RUBRIQUE>
      <RUBRIQUE CODE="VIDE"><LIGNE/></RUBRIQUE>
      <RUBRIQUE CODE="TXT" TYPE="T"><LIGNE COMPTE="" TYPETAUX="9" CATEGORIEAV="9"/></RUBRIQUE>
      <RUBRIQUE CODE="DT" TYPE="D"><LIGNE COMPTE="" TYPETAUX="9" CATEGORIEAV="9"/></RUBRIQUE>
      </IMPRIME></R>)");
    struct Cas {
        const char* ligne;  // attributes of the data line, amount 7
        std::vector<std::string> nourries;
    };
    const std::vector<Cas> cas = {
        {"COMPTE='445' TYPETAUX='1' CATEGORIEAV='A'", {"MC44", "MC445"}},
        {"COMPTE='44' TYPETAUX='1' CATEGORIEAV='A'", {"MC44"}},
        {"COMPTE='4' TYPETAUX='01' CATEGORIEAV='B'", {"MT01", "MCATB"}},
        {"COMPTE='4' TYPETAUX='1' CATEGORIEAV='b'", {}},
        {"COMPTE='' TYPETAUX='' CATEGORIEAV=''", {"MVIDE"}},
        {"COMPTE='9'", {"MVIDE"}},  // absent attributes read as empty texts
    };
    for (const Cas& k : cas) {
        auto moteur = CCalculTVA::Creer();
        moteur->Init(
            dossier.ecrire("d.xml", std::string("<D><LIGNE MONTANT='7' ") + k.ligne + "/></D>"),
            rubriques, "");
        std::vector<std::string> nourries;
        for (const auto& r : moteur->Rubriques()->NewEnum())
            if (r->TypeRubrique() == EnumRubrType_Nombre ? r->AsDouble() != 0 : !r->AsXML().empty())
                nourries.push_back(r->KeyRubrique());
        EXPECT_EQ(nourries, k.nourries) << k.ligne;
    }
}

TEST_F(CalculTest, CreditInstalmentsAndBothRoundingPasses) {
    // ZZ has no account line and is fed by KA (the credit) and ME (instalment
    // 1, amount remaining). The first pass rounds only rubrics with account
    // lines; the second rounds every number rubric without passing anything
    // on, so ZZ keeps 10.6 - 0.3 = 10.3 and rounds to 10 (not 11).
    const std::string rubriques = dossier.ecrire("p.xml", R"(<R><IMPRIME CODE="CA12">
      <RUBRIQUE CODE="KA"><DEPENDANCE CODEIMPRIME="CA12" CODERUBRIQUE="ZZ"/></RUBRIQUE>
      <RUBRIQUE CODE="MD"/><RUBRIQUE CODE="ME"><DEPENDANCE CODEIMPRIME="CA12" CODERUBRIQUE="ZZ"/></RUBRIQUE>
      <RUBRIQUE CODE="MF"/><RUBRIQUE CODE="MG"/><RUBRIQUE CODE="MH"/><RUBRIQUE CODE="MJ"/>
      <RUBRIQUE CODE="MK"/><RUBRIQUE CODE="ML"/><RUBRIQUE CODE="ZZ"/>
      <RUBRIQUE CODE="EW"><LIGNE COMPTE="70"/><DEPENDANCE CODEIMPRIME="CA12" CODERUBRIQUE="SUM"/></RUBRIQUE>
      <RUBRIQUE CODE="FW"><LIGNE COMPTE="4457"/></RUBRIQUE>
      <RUBRIQUE CODE="SUM"/>
      </IMPRIME><IMPRIME CODE="CA3"><RUBRIQUE CODE="MF"/></IMPRIME></R>)");
    const std::string donnees = dossier.ecrire("d.xml", R"(<D>
      <LIGNE COMPTE="70" MONTANT="10000.4"/><LIGNE COMPTE="4457" MONTANT="1999"/>
      <LIGNE COMPTE="70" MONTANT="0.2"/>
      <PARAMS CREDITTVA="10,6"/></D>)");
    for (const std::string type : {"CA12", "CA12E"}) {
        DefinirTypeDeclaration(type);
        Acomptes()[1] = {0, -0.3};
        Acomptes()[2] = {1500, 500};
        Acomptes()[4] = {12.5, 0};
        auto moteur = CCalculTVA::Creer();
        moteur->Init(donnees, rubriques, "");
        auto e = etats(*moteur);
        EXPECT_EQ(e["CA12KA"], (Etat{"11", false})) << type;
        EXPECT_EQ(e["CA12ME"], (Etat{"0", false})) << type;
        EXPECT_EQ(e["CA12MF"], (Etat{"1500", false})) << type;
        EXPECT_EQ(e["CA12MG"], (Etat{"500", false})) << type;
        EXPECT_EQ(e["CA12MK"], (Etat{"13", false})) << type;
        EXPECT_EQ(e["CA3MF"], (Etat{"0", false})) << type;  // only CA12 rubrics take instalments
        EXPECT_EQ(e["CA12ZZ"], (Etat{"10", false})) << type;
        // 10000.6 rounds to 10001 with its dependents; the 20% check then forces FW.
        EXPECT_EQ(e["CA12EW"], (Etat{"10001", false})) << type;
        EXPECT_EQ(e["CA12SUM"], (Etat{"10001", false})) << type;
        EXPECT_EQ(e["CA12FW"], (Etat{"2000", true})) << type;
    }
}

TEST_F(CalculTest, AjouterMontantRubriqueComparesCodesExactly) {
    auto moteur = CCalculTVA::Creer();
    moteur->Rubriques()->ChargerFichier(dossier.ecrire(
        "p.xml",
        "<R><IMPRIME CODE='CA12'><RUBRIQUE CODE='MD'/></IMPRIME><IMPRIME CODE='ca12'>"
        "<RUBRIQUE CODE='XX'/></IMPRIME></R>"));
    auto& r = *moteur->Rubriques();
    EXPECT_TRUE(AjouterMontantRubrique(r, "CA12", "MD", 4.25));
    EXPECT_FALSE(AjouterMontantRubrique(r, "CA12", "md", 1));
    EXPECT_FALSE(AjouterMontantRubrique(r, "CA12", "XX", 1));
    EXPECT_TRUE(AjouterMontantRubrique(r, "ca12", "XX", 0));
    EXPECT_EQ(r.Item(Value("CA12MD"))->AsDouble(), 4.25);
    EXPECT_EQ(r.Item(Value("CA12XX"))->AsDouble(), 0);
}

TEST_F(CalculTest, SecondInitStartsAfreshAndMarksChangesForced) {
    auto moteur = CCalculTVA::Creer();
    auto premiere = moteur->Rubriques();
    EXPECT_EQ(premiere->Count(), 0);
    EXPECT_EQ(premiere->CalculTVA(), moteur);
    EXPECT_FALSE(moteur->Reloaded());
    moteur->Init(kDonnees + "ca3_donnees.xml", kDonnees + "ca3_rubriques.xml", "");
    EXPECT_NE(moteur->Rubriques(), premiere);
    EXPECT_EQ(premiere->Count(), 0);
    EXPECT_FALSE(moteur->Reloaded());

    moteur->Init(kDonnees + "ca3_donnees.xml", kDonnees + "ca3_rubriques.xml", "");
    auto e = etats(*moteur);
    EXPECT_EQ(e["CA3FP"], (Etat{"9000", true}));  // CalculTermine was already set
    EXPECT_EQ(e["CA3GB"], (Etat{"0", false}));    // never changed
}

TEST_F(CalculTest, ProgressIsReported) {
    auto moteur = CCalculTVA::Creer();
    std::vector<std::pair<uint64_t, uint64_t>> appels;
    moteur->SetProgression([&](uint64_t lu, uint64_t total) { appels.emplace_back(lu, total); });
    moteur->Init(kDonnees + "ca3_donnees.xml", kDonnees + "ca3_rubriques.xml", "");
    ASSERT_FALSE(appels.empty());
    const uint64_t taille = std::filesystem::file_size(kDonnees + "ca3_donnees.xml");
    EXPECT_EQ(appels.back(), std::make_pair(taille, taille));
}

TEST(ModuleEngineTest, ErrorTableAndLeverErreur) {
    const std::vector<std::pair<uint32_t, std::string>> table = {
        {0x80040201, "Erreur lors de l'initialisation de l'objet de Calcul de la TVA"},
        {0x80040202, "Le fichier de données comptable n'existe pas"},
        {0x80040203, "Le fichier de description de rubrique n'existe pas"},
        {0x80040204, "Le chemin du fichier de résultat n'est pas définit"},
        {0x80040205,
         "Cas non prévue par la dll : Impossible de charger un fichier résultat en tant que "
         "fichier de données"},
        {0x80040206, "Impossible de créer un document XML"},
        {0x80040207, ""},
        {5, ""},
    };
    for (const auto& [numero, message] : table) {
        EXPECT_EQ(MessageErreur(hresult(numero)), message) << std::hex << numero;
        Error e = erreurDe([&] { LeverErreur(hresult(numero), ""); });
        EXPECT_EQ(e.number(), hresult(numero));
        EXPECT_EQ(e.description(), message);
        e = erreurDe([&] { LeverErreur(hresult(numero), "propre texte"); });
        EXPECT_EQ(e.description(), "propre texte");
    }
}

TEST(ModuleEngineTest, FichierExiste) {
    DossierTemporaire dossier;
    EXPECT_FALSE(FichierExiste(""));
    EXPECT_FALSE(FichierExiste(dossier.racine().string()));
    EXPECT_FALSE(FichierExiste(dossier.chemin("absent")));
    EXPECT_TRUE(FichierExiste(dossier.ecrire("vide", "")));
    EXPECT_FALSE(FichierExiste(dossier.chemin("vide") + "/sous"));
}

}  // namespace
}  // namespace qx
