// The engine end to end: Init's file checks and failures, the data pass
// (matching, signs, credit, instalments, rounding passes) and its results.
#include "engine/calcul_interne.h"
#include "engine/declaration_courante.h"
#include "engine/engine_test_util.h"

namespace qx {
namespace {

using namespace test;

const std::string kDonnees = std::string(QX_TEST_DATA_DIR) + "/engine/ca3_donnees.xml",
                  kRubriques = std::string(QX_TEST_DATA_DIR) + "/engine/ca3_rubriques.xml";

// Fixes the per-thread state the pass reads.
class CalculTest : public ::testing::Test {
protected:
    void SetUp() override { DefinirTypeDeclaration("CA3"), Acomptes() = TableAcomptes{}; }
    void TearDown() override { DefinirTypeDeclaration(""), Acomptes() = TableAcomptes{}; }

    std::string calculer(const std::string& rubriques, const std::string& donnees) {
        auto moteur = CCalculTVA::Creer();
        moteur->Init(d.ecrire("d.xml", donnees), d.ecrire("p.xml", rubriques), "");
        return resume(*moteur->Rubriques());
    }
    DossierTemporaire d;
};

TEST_F(CalculTest, InitComputesTheHandWorkedCA3) {
    // By hand: FP = 10000.4 - 1000.3 (the 709 return line) = 9000.1, rounded 9000;
    // GP = 1799 -> TAX -> NET; DED = 400.2 -> NET = 1799 - 400.2, then +0.2 when
    // DED is rounded: 1399; FB = 200.6 -> 201; HD takes the credit 1250.4 (not
    // 300 + 1250.4), rounded 1250. The 20% check forces GP to 9000 x 0.2 = 1800
    // (gap 1 within 1.8), which carries +1 to TAX and NET, both marked forced;
    // the 5.5% row (201 against 0) is too far apart to be corrected.
    auto moteur = CCalculTVA::Creer();
    EXPECT_TRUE(moteur->Init(kDonnees, kRubriques, chemin(d, "r.xml")) &&
                CalculInterne::CalculTermine(*moteur));
    EXPECT_EQ(resume(*moteur->Rubriques()),
              "CA3FP=9000 CA3GP=1800* CA3FB=201 CA3GB=0 CA3NOM= CA3TOT=9000 CA3TAX=1800* "
              "CA3DED=400 CA3NET=1400* CA3HD=1250");
    EXPECT_FALSE(FichierExiste(chemin(d, "r.xml")));  // Init never writes the result
}

TEST_F(CalculTest, InitFailures) {
    // Data, parameters, number (0: a parser's), start of the description,
    // whether the paths were stored and the collection replaced.
    // clang-format off
    const std::tuple<std::string, std::string, uint32_t, std::string, bool> cas[] = {
        {"", "", 0x80040203, "Le fichier de description de rubrique n'existe pas", false},
        {d.chemin().string(), kRubriques, 0x80040202,
         "Le fichier de données comptable n'existe pas", false},
        {kDonnees, d.ecrire("p.xml", "<R><IMPRIME CODE='CA3'>"), 0,
         "Erreur de chargement document XML des rubriques (fichier ligne 1) \r", true},
        {d.ecrire("vide.xml", ""), kRubriques, 0, "", true},  // empty is no absent file
        {d.ecrire("d2.xml", "<D><PARAMS CREDITTVA='5'/></D>"),
         d.ecrire("p2.xml", "<R><IMPRIME CODE='CA3'/></R>"), 91,
         "La rubrique de crédit de TVA 'CA3HD' est absente du paramétrage : le crédit reporté ne "
         "peut pas être repris", true}};
    // clang-format on
    for (const auto& [fDonnees, fRubriques, attendu, debut, fichiersPris] : cas) {
        auto moteur = CCalculTVA::Creer();
        auto avant = moteur->Rubriques();
        Error e = erreurDe([&] { moteur->Init(fDonnees, fRubriques, "r.xml"); });
        const uint32_t numero = static_cast<uint32_t>(e.number());
        EXPECT_EQ(attendu ? numero : numero & 0xFFFFFF00u, attendu ? attendu : 0xC00CE500u);
        EXPECT_EQ(e.description().rfind(debut, 0), 0u) << e.description();
        EXPECT_FALSE(CalculInterne::CalculTermine(*moteur));
        EXPECT_EQ(CalculInterne::FichierRubriqueTVA(*moteur), fichiersPris ? fRubriques : "");
        EXPECT_EQ(moteur->Rubriques() != avant, fichiersPris);
    }
}

TEST_F(CalculTest, MatchingSignsAndCumulation) {
    // Which account lines match is the index's business; here, what they add.
    const std::string rubriques = R"(<R><IMPRIME CODE=""><RUBRIQUE CODE="PP"><LIGNE COMPTE="6"/>
      </RUBRIQUE><RUBRIQUE CODE="PM"><LIGNE COMPTE="6" TYPECUMUL="-1"/></RUBRIQUE><RUBRIQUE
      CODE="MP"><LIGNE COMPTE="6" SENS="-1" TYPECUMUL="1"/></RUBRIQUE><RUBRIQUE CODE="MM"><LIGNE
      COMPTE="6" SENS="-1" TYPECUMUL="-1"/></RUBRIQUE><RUBRIQUE CODE="X2"><LIGNE COMPTE="60"/><LIGNE
      COMPTE="601" SENS="+1" TYPECUMUL="0"/></RUBRIQUE><RUBRIQUE CODE="V"><LIGNE/></RUBRIQUE>
      <RUBRIQUE CODE="T" TYPE="T"><LIGNE COMPTE="" TYPETAUX="9" CATEGORIEAV="9"/></RUBRIQUE>
      </IMPRIME></R>)";
    // clang-format off
    const std::pair<const char*, const char*> cas[] = {
        {"COMPTE='601' MONTANT='100'", "PP=100 PM=-100 MP=0 MM=0 X2=200 V=100 T="},
        {"COMPTE='601' MONTANT='-100'", "PP=0 PM=0 MP=100 MM=-100 X2=0 V=0 T="},
        {"COMPTE='60' MONTANT='7'", "PP=7 PM=-7 MP=0 MM=0 X2=7 V=7 T="}};
    // clang-format on
    for (const auto& [ligne, attendu] : cas)
        EXPECT_EQ(calculer(rubriques, std::string("<D><LIGNE ") + ligne + "/></D>"), attendu)
            << ligne;
}

TEST_F(CalculTest, CreditInstalmentsAndBothRoundingPasses) {
    // ZZ has no account line; KA (the credit, 10.6) and ME (instalment 1,
    // -0.3) feed it. The first pass rounds only rubrics with account lines;
    // the second rounds every number rubric without passing anything on, so
    // ZZ keeps 10.3 and rounds to 10, not 11.
    const std::string rubriques = R"(<R><IMPRIME CODE="CA12"><RUBRIQUE CODE="KA"><DEPENDANCE
      CODEIMPRIME="CA12" CODERUBRIQUE="ZZ"/></RUBRIQUE><RUBRIQUE CODE="MD"/><RUBRIQUE CODE="ME">
      <DEPENDANCE CODEIMPRIME="CA12" CODERUBRIQUE="ZZ"/></RUBRIQUE><RUBRIQUE CODE="MF"/><RUBRIQUE
      CODE="MG"/><RUBRIQUE CODE="MK"/><RUBRIQUE CODE="ZZ"/><RUBRIQUE CODE="EW"><LIGNE COMPTE="70"/>
      <DEPENDANCE CODEIMPRIME="CA12" CODERUBRIQUE="S"/></RUBRIQUE><RUBRIQUE CODE="FW"><LIGNE
      COMPTE="4457"/></RUBRIQUE><RUBRIQUE CODE="S"/></IMPRIME><IMPRIME CODE="CA3"><RUBRIQUE
      CODE="MF"/></IMPRIME></R>)";
    const std::string donnees = R"(<D><LIGNE COMPTE="70" MONTANT="10000.4"/><LIGNE COMPTE="4457"
      MONTANT="1999"/><LIGNE COMPTE="70" MONTANT="0.2"/><PARAMS CREDITTVA="10,6"/></D>)";
    // EW = 10000.6 rounds to 10001 with its dependent S; the 20% check then forces FW.
    for (const char* type : {"CA12", "CA12E"}) {
        DefinirTypeDeclaration(type);
        Acomptes()[1] = {0, -0.3}, Acomptes()[2] = {1500, 500}, Acomptes()[4] = {12.5, 0};
        EXPECT_EQ(calculer(rubriques, donnees),
                  "CA12KA=11 CA12MD=0 CA12ME=0 CA12MF=1500 CA12MG=500 CA12MK=13 CA12ZZ=10 "
                  "CA12EW=10001 CA12FW=2000* CA12S=10001 CA3MF=0")
            << type;
    }
    EXPECT_FALSE(AjouterMontantRubrique(*charger(d, rubriques)->Rubriques(), "CA12", "mf", 1));
}

// Both ways of running the pass: additions on a second thread (when there
// are two cores), or everything on the calling thread.
class PasseTest : public CalculTest, public ::testing::WithParamInterface<bool> {};
INSTANTIATE_TEST_SUITE_P(Fils, PasseTest, ::testing::Bool());

TEST_P(PasseTest, LongPassKeepsLineOrderForProgressAndErrors) {
    // Enough lines for the additions to travel in many blocks.
    const std::string entete = "<D>\n", ligne = "<LIGNE COMPTE=\"6\" MONTANT=\"1\"/>\n";
    std::string donnees = entete;
    for (int i = 0; i < 20000; ++i) donnees += ligne;
    const std::string p =
        d.ecrire("p.xml",
                 "<R><IMPRIME CODE=''><RUBRIQUE CODE='A'><LIGNE COMPTE='6'/><DEPENDANCE "
                 "CODEIMPRIME='' CODERUBRIQUE='B'/></RUBRIQUE><RUBRIQUE CODE='B'/></IMPRIME></R>");

    // What the host's progress display reads holds every line read so far
    // (a line or two may still wait in the parser).
    auto moteur = CCalculTVA::Creer();
    CalculInterne::SetPasseSurFilAppelant(*moteur, GetParam());
    int rapports = 0;
    CalculInterne::SetProgression(*moteur, [&](uint64_t lus, uint64_t) {
        const double b = moteur->Rubriques()->Item(Value("B"))->AsDouble();
        const double completes = static_cast<double>((lus - entete.size()) / ligne.size());
        EXPECT_TRUE(b <= completes && b >= std::min(completes, 20000.0) - 2) << lus << " " << b;
        ++rapports;
    });
    moteur->Init(d.ecrire("d.xml", donnees + "</D>"), p, "");
    EXPECT_GT(rapports, 5);
    EXPECT_EQ(resume(*moteur->Rubriques()), "A=20000 B=20000");

    // An addition that overflows is the error reported, not what the reader
    // meets further on; the rubrics keep the lines before it.
    moteur = CCalculTVA::Creer();
    CalculInterne::SetPasseSurFilAppelant(*moteur, GetParam());
    const std::string debordement = "<LIGNE COMPTE='6' MONTANT='1" + std::string(300, '0') + "'/>";
    const std::string fin = debordement + ligne + "<LIGNE";
    EXPECT_EQ(errorOf([&] { moteur->Init(d.ecrire("d.xml", donnees + fin), p, ""); }),
              err::Depassement);
    EXPECT_EQ(resume(*moteur->Rubriques()), "A=20000 B=20000");
}

}  // namespace
}  // namespace qx
