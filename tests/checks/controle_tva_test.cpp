// Base x rate checks: the ten rows, both modes, the tolerances and the halves.
#include "checks/controle_tva.h"

#include <gtest/gtest.h>

#include "engine/calcul_tva.h"
#include "engine/engine_test_util.h"
#include "platform/thread_state.h"

namespace qx {
namespace {

using test::DossierTemporaire;

const char* const kParametres = R"(<R>
  <IMPRIME CODE="CA3">
    <RUBRIQUE CODE="FP"/><RUBRIQUE CODE="GP"><DEPENDANCE CODEIMPRIME="CA3" CODERUBRIQUE="TOT"/></RUBRIQUE>
    <RUBRIQUE CODE="FB"/><RUBRIQUE CODE="GB"/><RUBRIQUE CODE="FR"/><RUBRIQUE CODE="GR"/>
    <RUBRIQUE CODE="FM"/><RUBRIQUE CODE="GM"/><RUBRIQUE CODE="FN"/><RUBRIQUE CODE="GN"/>
    <RUBRIQUE CODE="TOT"/>
  </IMPRIME>
  <IMPRIME CODE="CA12">
    <RUBRIQUE CODE="EW"/><RUBRIQUE CODE="FW"/><RUBRIQUE CODE="EF"/><RUBRIQUE CODE="FF"/>
    <RUBRIQUE CODE="GF"/><RUBRIQUE CODE="GH"/><RUBRIQUE CODE="EU"/><RUBRIQUE CODE="FU"/>
    <RUBRIQUE CODE="EV"/><RUBRIQUE CODE="FV"/>
  </IMPRIME>
</R>)";

class ControleTest : public ::testing::Test {
  protected:
    void SetUp() override {
        moteur = CCalculTVA::Creer();
        moteur->Rubriques()->ChargerFichier(dossier.ecrire("p.xml", kParametres));
    }
    void TearDown() override { DefinirTypeDeclaration(""); }

    CRubrique& r(const char* cle) { return *moteur->Rubriques()->Item(Value(cle)); }
    void poser(const char* cle, double valeur) { r(cle).SetValeur(Value(valeur)); }

    DossierTemporaire dossier;
    std::shared_ptr<CCalculTVA> moteur;
};

const std::string kMessage196 = "Incohérence arithmétique entre base et taxe due à 19,6%";

struct Ligne {
    const char* base;
    const char* taxe;
    const char* message;
};
const Ligne kCA3[] = {
    {"CA3FP", "CA3GP", "Incohérence arithmétique entre base et taxe due à 19,6%"},
    {"CA3FB", "CA3GB", "Incohérence arithmétique entre base et taxe due à 5,5%"},
    {"CA3FR", "CA3GR", "Incohérence arithmétique entre base et taxe due à 7,0%"},
    {"CA3FM", "CA3GM", "Incohérence arithmétique entre base et taxe due à 8,5%"},
    {"CA3FN", "CA3GN", "Incohérence arithmétique entre base et taxe due à 2,1%"},
};
const Ligne kCA12[] = {
    {"CA12EW", "CA12FW", "Incohérence arithmétique entre base et taxe due à 19,6%"},
    {"CA12EF", "CA12FF", "Incohérence arithmétique entre base et taxe due à 5,5%"},
    {"CA12GF", "CA12GH", "Incohérence arithmétique entre base et taxe due à 7,0%"},
    {"CA12EU", "CA12FU", "Incohérence arithmétique entre base et taxe due à 8,5%"},
    {"CA12EV", "CA12FV", "Incohérence arithmétique entre base et taxe due à 2,1%"},
};
// Base 100000 at 0.2, 0.055, 0.1, 0.085 and 0.021.
const double kTaxes[] = {20000, 5500, 10000, 8500, 2100};

TEST_F(ControleTest, EachRowHasItsRateKeysAndMessage) {
    for (const auto& [type, lignes] :
         {std::pair{"CA3", kCA3}, std::pair{"CA12", kCA12}, std::pair{"CA12E", kCA12}}) {
        for (int i = 0; i < 5; ++i) {
            SetUp();
            DefinirTypeDeclaration(type);
            for (int j = 0; j < 5; ++j) {
                poser(lignes[j].base, 100000);
                poser(lignes[j].taxe, kTaxes[j]);
            }
            std::string message = "entrant";
            EXPECT_TRUE(ControlerCoherence(moteur, message, false)) << type << i;
            EXPECT_EQ(message, "entrant");  // nothing failed: the message stays
            // Only row i is off by one; validation names it and forces nothing.
            poser(lignes[i].taxe, kTaxes[i] - 1);
            EXPECT_FALSE(ControlerCoherence(moteur, message, false)) << type << i;
            EXPECT_EQ(message, lignes[i].message);
            EXPECT_FALSE(r(lignes[i].taxe).IsForce());
            // Correction closes it (gap 1 within one per mille of the tax).
            EXPECT_TRUE(ControlerCoherence(moteur, message, true));
            EXPECT_EQ(message, "");
            EXPECT_EQ(r(lignes[i].taxe).AsDouble(), kTaxes[i]) << type << i;
            EXPECT_TRUE(r(lignes[i].taxe).IsForce());
            EXPECT_EQ(r(lignes[i].taxe).ValeurInitiale().toDouble(), kTaxes[i] - 1);
        }
    }
}

TEST_F(ControleTest, ToleranceAndRoundingTable) {
    struct Cas {
        double base, taxe;
        bool passe;
        double apres;  // the tax after a correction run
    };
    const Cas cas[] = {
        {0, 0, true, 0},
        {0, 5, false, 5},  // computed 0: allowance 0
        {10000, 2000, true, 2000},
        {10000, 1999, false, 2000},  // gap 1, allowance 2
        {10000, 2001, false, 2000},
        {1000, 199, false, 199},           // gap 1, allowance 0.2
        {1000000, 199900, false, 199900},  // gap 100: never
        {1000000, 199901, false, 200000},  // gap 99 within 200
        {1002.5, 201, true, 201},          // 200.5 rounds half away from zero
        {-12.5, -3, true, -3},             // -2.5 gives -3
        {-1000, -199, false, -199},        // negative computed tax: never corrected
        {10000, 2000.4, false, 2000},      // exact comparison, then corrected
        {1000, 200.4, false, 200.4},
    };
    DefinirTypeDeclaration("CA3");
    for (const Cas& k : cas) {
        SetUp();
        poser("CA3FP", k.base);
        poser("CA3GP", k.taxe);
        std::string message;
        EXPECT_EQ(ControlerCoherence(moteur, message, false), k.passe) << k.base << " " << k.taxe;
        EXPECT_EQ(message, k.passe ? "" : kMessage196);
        ControlerCoherence(moteur, message, true);
        EXPECT_EQ(r("CA3GP").AsDouble(), k.apres) << k.base << " " << k.taxe;
        EXPECT_EQ(r("CA3GP").IsForce(), k.apres != k.taxe) << k.base << " " << k.taxe;
        // The forced tax carries its change on.
        EXPECT_EQ(r("CA3TOT").AsDouble(), k.apres);
    }
    // 100 x 0.085 = 8.5 rounds to 9.
    SetUp();
    poser("CA3FM", 100);
    poser("CA3GM", 9);
    std::string message;
    EXPECT_TRUE(ControlerCoherence(moteur, message, false));
}

TEST_F(ControleTest, ValidationStopsAtTheFirstFailureCorrectionGoesOn) {
    DefinirTypeDeclaration("CA3");
    poser("CA3FP", 1000);
    poser("CA3GP", 199);  // fails, not correctable
    poser("CA3FM", 100000);
    poser("CA3GM", 8499);  // fails, correctable
    std::string message;
    EXPECT_FALSE(ControlerCoherence(moteur, message, false));
    EXPECT_EQ(message, kMessage196);
    EXPECT_FALSE(r("CA3GM").IsForce());
    EXPECT_TRUE(ControlerCoherence(moteur, message, true));
    EXPECT_EQ(message, "");
    EXPECT_EQ(r("CA3GP").AsDouble(), 199);
    EXPECT_EQ(r("CA3GM").AsDouble(), 8500);
}

TEST_F(ControleTest, OtherTypesAndMissingRubricsRunNoRow) {
    for (const char* type : {"CA3A", "CA12A", "", "ca3", "CA3 "}) {
        SetUp();
        DefinirTypeDeclaration(type);
        poser("CA3FP", 1000);
        poser("CA3GP", 1);
        poser("CA12EW", 1000);
        poser("CA12FW", 1);
        std::string message = "entrant";
        EXPECT_TRUE(ControlerCoherence(moteur, message, false)) << type;
        EXPECT_EQ(message, "entrant");
        EXPECT_TRUE(ControlerCoherence(moteur, message, true)) << type;
        EXPECT_EQ(message, "");
    }
    // Only one rubric of the row: skipped.
    DefinirTypeDeclaration("CA3");
    auto seul = CCalculTVA::Creer();
    seul->Rubriques()->ChargerFichier(
        dossier.ecrire("q.xml", "<R><IMPRIME CODE='CA3'><RUBRIQUE CODE='GP'/></IMPRIME></R>"));
    seul->Rubriques()->Item(Value("CA3GP"))->SetValeur(Value(5.0));
    std::string message = "entrant";
    EXPECT_TRUE(ControlerCoherence(seul, message, false));
    EXPECT_EQ(message, "entrant");
    // A text rubric takes part as 0.
    auto texte = CCalculTVA::Creer();
    texte->Rubriques()->ChargerFichier(
        dossier.ecrire("t.xml",
                       "<R><IMPRIME CODE='CA3'><RUBRIQUE CODE='FP' TYPE='T'/><RUBRIQUE CODE='GP'/>"
                       "</IMPRIME></R>"));
    texte->Rubriques()->Item(Value("CA3FP"))->SetValeur(Value("10000"));
    texte->Rubriques()->Item(Value("CA3GP"))->SetValeur(Value(3.0));
    EXPECT_FALSE(ControlerCoherence(texte, message, false));
    EXPECT_EQ(message, kMessage196);
}

TEST_F(ControleTest, UnexpectedFailuresBecomeTheMessage) {
    DefinirTypeDeclaration("CA3");
    poser("CA3FP", 10000);
    poser("CA3GP", 1999);  // correctable
    poser("CA3FB", 1000);
    poser("CA3GB", 54);  // correctable, but after the failing row
    // A host turned GP's dependency back onto GP: forcing it cannot propagate.
    r("CA3GP").LignesDependance()->at(1)->SetRubriqueDep(moteur->Rubriques()->Item(Value("CA3GP")));
    std::string message;
    EXPECT_FALSE(ControlerCoherence(moteur, message, true));
    EXPECT_EQ(message.rfind("5, Dépendance circulaire", 0), 0u) << message;
    EXPECT_FALSE(r("CA3GB").IsForce());

    DefinirTypeDeclaration("CA12");
    message.clear();
    EXPECT_FALSE(ControlerCoherence(nullptr, message, true));
    EXPECT_EQ(message.rfind("91, ", 0), 0u) << message;
}

}  // namespace
}  // namespace qx
