// Base x rate checks: the ten rows, both modes, the tolerances and the halves.
#include "checks/controle_tva.h"

#include <gtest/gtest.h>

#include <tuple>

#include "engine/declaration_courante.h"
#include "engine/engine_test_util.h"

namespace qx {
namespace {

using namespace test;

class ControleTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Every rubric of both families; GP feeds TOT.
        std::string xml =
            "<R><IMPRIME CODE='CA3'><RUBRIQUE CODE='TOT'/><RUBRIQUE CODE='GP'>"
            "<DEPENDANCE CODEIMPRIME='CA3' CODERUBRIQUE='TOT'/></RUBRIQUE>";
        for (std::string code : {"FP", "FB", "GB", "FR", "GR", "FM", "GM", "FN", "GN", "/CA12",
                                 "EW", "FW", "EF", "FF", "GF", "GH", "EU", "FU", "EV", "FV"})
            xml += code[0] == '/' ? "</IMPRIME><IMPRIME CODE='CA12'>"
                                  : "<RUBRIQUE CODE='" + code + "'/>";
        moteur = charger(d, xml + "</IMPRIME></R>");
    }
    void TearDown() override { DefinirTypeDeclaration(""); }

    CRubrique& r(const std::string& cle) { return *moteur->Rubriques()->Item(Value(cle)); }
    void poser(std::initializer_list<std::pair<std::string, double>> valeurs) {
        for (const auto& [cle, valeur] : valeurs) r(cle).SetValeur(Value(valeur));
    }
    // "ok" or "ko", the message the run left, then each given rubric as it
    // stands after the run ("*" when forced).
    std::string verdict(bool corriger, std::initializer_list<std::string> cles = {}) {
        std::string texte =
            (ControlerCoherence(moteur, message, corriger) ? "ok " : "ko ") + message;
        for (const std::string& c : cles) texte += " " + r(c).AsXML() + (r(c).IsForce() ? "*" : "");
        return texte;
    }

    DossierTemporaire d;
    std::shared_ptr<CCalculTVA> moteur;
    std::string message;
};

const std::string kMessage = "Incohérence arithmétique entre base et taxe due à ";

// One row wrong by 1 on a base of 100000, in both families. Validation names
// the rate of the declared type's row and leaves it alone; correction forces
// that tax (1 is within one per mille). Other types check nothing.
TEST_F(ControleTest, EachRowHasItsRateKeysAndMessage) {
    // CA3 base and tax, CA12 base and tax, rate text, tax of a base of 100000.
    using Code = const char*;
    const std::tuple<Code, Code, Code, Code, Code, int> lignes[] = {
        {"CA3FP", "CA3GP", "CA12EW", "CA12FW", "19,6%", 20000},
        {"CA3FB", "CA3GB", "CA12EF", "CA12FF", "5,5%", 5500},
        {"CA3FR", "CA3GR", "CA12GF", "CA12GH", "7,0%", 10000},
        {"CA3FM", "CA3GM", "CA12EU", "CA12FU", "8,5%", 8500},
        {"CA3FN", "CA3GN", "CA12EV", "CA12FV", "2,1%", 2100}};
    for (const std::string type : {"CA3", "CA12", "CA12E", "CA3A", "CA12A", "", "ca3", "CA3 "}) {
        const bool ca3 = type == "CA3", ca12 = type == "CA12" || type == "CA12E";
        for (const auto& [b3, t3, b12, t12, taux, montant] : lignes) {
            SCOPED_TRACE(type + " " + taux);
            SetUp();
            DefinirTypeDeclaration(type);
            poser({{b3, 100000}, {t3, montant - 1}, {b12, 100000}, {t12, montant - 1}});
            const std::string avant = std::to_string(montant - 1);
            const std::string apres = std::to_string(montant) + "*";
            message = "entrant";  // kept when nothing fails
            EXPECT_EQ(
                verdict(false, {t3, t12}),
                (ca3 || ca12 ? "ko " + kMessage + taux : "ok entrant") + " " + avant + " " + avant);
            EXPECT_EQ(verdict(true, {t3, t12}),
                      "ok  " + (ca3 ? apres : avant) + " " + (ca12 ? apres : avant));
        }
    }
}

TEST_F(ControleTest, ToleranceAndRoundingTable) {
    // Base, tax, validation passes, the tax after a correction run.
    // clang-format off
    const std::tuple<double, double, bool, std::string> cas[] = {
        {10000, 1998, false, "2000*"}, {10000, 2000.4, false, "2000*"},  // gap 2 = allowance
        {0, 0, true, "0"}, {1000, 199, false, "199"},  // allowance 0.2
        {1000000, 199900, false, "199900"},  // a gap of 100 never
        {1000000, 199901, false, "200000*"},  // 99 within 200
        {1002.5, 201, true, "201"}, {-12.5, -3, true, "-3"},  // halves round away from zero
        {-1000, -199, false, "-199"}};  // a negative tax is never corrected
    // clang-format on
    for (const auto& [base, montant, passe, apres] : cas) {
        SCOPED_TRACE(std::to_string(base) + " " + std::to_string(montant));
        SetUp();
        DefinirTypeDeclaration("CA3");
        poser({{"CA3FP", base}, {"CA3GP", montant}});
        EXPECT_EQ(verdict(false), passe ? "ok " : "ko " + kMessage + "19,6%");
        EXPECT_EQ(verdict(true, {"CA3GP"}), "ok  " + apres);
        EXPECT_EQ(r("CA3TOT").AsXML(), r("CA3GP").AsXML());  // the forced change is carried on
    }
}

TEST_F(ControleTest, ValidationStopsAtTheFirstFailureCorrectionGoesOn) {
    DefinirTypeDeclaration("CA3");
    // Row 1 fails and cannot be corrected; row 4 passes (8.5 rounds to 9); row 5 is corrected.
    poser({{"CA3FP", 1000}, {"CA3GP", 199}, {"CA3FM", 100}, {"CA3GM", 9}});
    poser({{"CA3FN", 100000}, {"CA3GN", 2099}});
    EXPECT_EQ(verdict(false, {"CA3GN"}), "ko " + kMessage + "19,6% 2099");
    EXPECT_EQ(verdict(true, {"CA3GP", "CA3GN"}), "ok  199 2100*");
}

TEST_F(ControleTest, MissingRubricsAndTextRubrics) {
    // A row with one rubric only is skipped; a text base counts as 0.
    DefinirTypeDeclaration("CA3");
    moteur = charger(d,
                     "<R><IMPRIME CODE='CA3'><RUBRIQUE CODE='GP'/><RUBRIQUE CODE='FB' TYPE='T'/>"
                     "<RUBRIQUE CODE='GB'/></IMPRIME></R>");
    r("CA3FB").SetValeur(Value("10000"));
    poser({{"CA3GP", 5}, {"CA3GB", 550}});  // right for a base of 10000
    EXPECT_EQ(verdict(false), "ko " + kMessage + "5,5%");
}

TEST_F(ControleTest, UnexpectedFailuresBecomeTheMessage) {
    DefinirTypeDeclaration("CA3");
    poser({{"CA3FP", 10000}, {"CA3GP", 1999}, {"CA3FB", 100000}, {"CA3GB", 5499}});
    // A host turned GP's dependency back onto GP: forcing GP cannot propagate,
    // and the correctable row after it is not reached.
    r("CA3GP").LignesDependance()->Item(Value(1))->SetRubriqueDep(
        moteur->Rubriques()->Item(Value("CA3GP")));
    const std::string v = verdict(true, {"CA3GB"});
    EXPECT_EQ(v.rfind("ko 5, Dépendance circulaire", 0), 0u) << v;
    EXPECT_TRUE(v.ends_with(" 5499")) << v;
    EXPECT_FALSE(ControlerCoherence(nullptr, message, true));
    EXPECT_EQ(message.rfind("91, ", 0), 0u) << message;
}

}  // namespace
}  // namespace qx
