// Base x rate checks: the ten rows, both modes, the tolerances and the halves.
#include "checks/controle_tva.h"

#include <gtest/gtest.h>

#include <tuple>

#include "engine/engine_test_util.h"
#include "platform/thread_state.h"

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
    void poser(std::initializer_list<std::pair<const char*, double>> valeurs) {
        for (const auto& [cle, valeur] : valeurs) r(cle).SetValeur(Value(valeur));
    }
    bool controler(bool corriger) { return ControlerCoherence(moteur, message, corriger); }
    // "ok" or "ko", then the message the run left.
    std::string verdict(bool corriger) { return (controler(corriger) ? "ok " : "ko ") + message; }

    DossierTemporaire d;
    std::shared_ptr<CCalculTVA> moteur;
    std::string message;
};

const std::string kMessage = "Incohérence arithmétique entre base et taxe due à ";

TEST_F(ControleTest, EachRowHasItsRateKeysAndMessage) {
    // CA3 base and tax, CA12 base and tax, rate text, tax of a base of 100000.
    // clang-format off
    using Code = const char*;
    const std::tuple<Code, Code, Code, Code, const char*, double> lignes[] = {
        {"CA3FP", "CA3GP", "CA12EW", "CA12FW", "19,6%", 20000},
        {"CA3FB", "CA3GB", "CA12EF", "CA12FF", "5,5%", 5500},
        {"CA3FR", "CA3GR", "CA12GF", "CA12GH", "7,0%", 10000},
        {"CA3FM", "CA3GM", "CA12EU", "CA12FU", "8,5%", 8500},
        {"CA3FN", "CA3GN", "CA12EV", "CA12FV", "2,1%", 2100}};
    // clang-format on
    for (const char* type : {"CA3", "CA12", "CA12E"}) {
        const bool ca3 = std::string(type) == "CA3";
        for (const auto& [b3, t3, b12, t12, taux, montant] : lignes) {
            SCOPED_TRACE(std::string(type) + " " + taux);
            SetUp();
            DefinirTypeDeclaration(type);
            for (const auto& [b3_, t3_, b12_, t12_, taux_, montant_] : lignes)
                poser({{ca3 ? b3_ : b12_, 100000}, {ca3 ? t3_ : t12_, montant_}});
            message = "entrant";
            EXPECT_EQ(verdict(false), "ok entrant");  // nothing failed: the message stays
            CRubrique& taxe = r(ca3 ? t3 : t12);
            taxe.SetValeur(Value(montant - 1));
            EXPECT_EQ(verdict(false), "ko " + kMessage + taux);
            EXPECT_FALSE(taxe.IsForce());
            // Correction closes the gap of 1, within one per mille of the tax.
            EXPECT_EQ(verdict(true), "ok ");
            EXPECT_EQ(taxe.AsDouble(), montant);
            EXPECT_TRUE(taxe.IsForce() && taxe.ValeurInitiale().toDouble() == montant - 1);
        }
    }
}

TEST_F(ControleTest, ToleranceAndRoundingTable) {
    // Base, tax, check passes, tax after a correction run.
    // clang-format off
    const std::tuple<double, double, bool, double> cas[] = {
        {0, 0, true, 0}, {0, 5, false, 5}, {10000, 2000, true, 2000},
        {10000, 1999, false, 2000},  // gap 1, allowance 2
        {10000, 2001, false, 2000}, {1000, 199, false, 199},  // allowance 0.2
        {1000000, 199900, false, 199900},  // a gap of 100 never
        {1000000, 199901, false, 200000},  // 99 within 200
        {1002.5, 201, true, 201},  // 200.5 rounds away from zero
        {-12.5, -3, true, -3},  // so does -2.5
        {-1000, -199, false, -199},  // a negative tax is never corrected
        {10000, 2000.4, false, 2000}, {1000, 200.4, false, 200.4}};
    // clang-format on
    for (const auto& [base, montant, passe, apres] : cas) {
        SCOPED_TRACE(std::to_string(base) + " " + std::to_string(montant));
        SetUp();
        DefinirTypeDeclaration("CA3");
        poser({{"CA3FP", base}, {"CA3GP", montant}});
        message.clear();
        EXPECT_EQ(verdict(false), passe ? "ok " : "ko " + kMessage + "19,6%");
        controler(true);
        EXPECT_EQ(r("CA3GP").AsDouble(), apres);
        EXPECT_EQ(r("CA3GP").IsForce(), apres != montant);
        EXPECT_EQ(r("CA3TOT").AsDouble(), apres);  // the forced change is carried on
    }
}

TEST_F(ControleTest, ValidationStopsAtTheFirstFailureCorrectionGoesOn) {
    DefinirTypeDeclaration("CA3");
    // Row 1 fails and cannot be corrected; row 4 passes (8.5 rounds to 9); row 5 is corrected.
    poser({{"CA3FP", 1000}, {"CA3GP", 199}, {"CA3FM", 100}, {"CA3GM", 9}});
    poser({{"CA3FN", 100000}, {"CA3GN", 2099}});
    EXPECT_EQ(verdict(false), "ko " + kMessage + "19,6%");
    EXPECT_FALSE(r("CA3GN").IsForce());
    EXPECT_EQ(verdict(true), "ok ");
    EXPECT_EQ(resume(*moteur->Rubriques()).substr(0, 20), "CA3TOT=199 CA3GP=199");
    EXPECT_EQ(r("CA3GN").AsXML(), "2100");
}

TEST_F(ControleTest, OtherTypesMissingRubricsAndTextRubrics) {
    poser({{"CA3FP", 1000}, {"CA3GP", 1}, {"CA12EW", 1000}, {"CA12FW", 1}});
    for (const char* type : {"CA3A", "CA12A", "", "ca3", "CA3 "}) {
        DefinirTypeDeclaration(type);
        message = "entrant";
        const std::string valider = verdict(false);
        EXPECT_EQ(valider + "|" + verdict(true), "ok entrant|ok ") << type;
    }
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
    r("CA3GP").LignesDependance()->at(1)->SetRubriqueDep(moteur->Rubriques()->Item(Value("CA3GP")));
    EXPECT_EQ(verdict(true).rfind("ko 5, Dépendance circulaire", 0), 0u) << message;
    EXPECT_FALSE(r("CA3GB").IsForce());
    EXPECT_FALSE(ControlerCoherence(nullptr, message, true));
    EXPECT_EQ(message.rfind("91, ", 0), 0u) << message;
}

}  // namespace
}  // namespace qx
