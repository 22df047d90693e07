// The trail of every rubric adds up to its value, on the samples to the cent
// and on generated parameter and data files; following a computation does
// not change it.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "engine/calcul_interne.h"
#include "engine/declaration_courante.h"
#include "engine/engine_test_util.h"
#include "engine/explication.h"
#include "rubrics/rubrique_interne.h"

namespace qx {
namespace {

using test::DossierTemporaire;

std::shared_ptr<CCalculTVA> Calculer(const std::string& donnees, const std::string& rubriques,
                                     Explication* explication) {
    auto calcul = CCalculTVA::Creer();
    CalculInterne::SetObservateur(*calcul, explication);
    calcul->Init(donnees, rubriques, "");
    return calcul;
}

// Every number rubric's trail against its stored number; the results against
// a computation nobody followed.
void VerifierTraces(const std::string& donnees, const std::string& rubriques, double tolerance) {
    Explication explication;
    const auto suivie = Calculer(donnees, rubriques, &explication);
    EXPECT_EQ(test::resume(*suivie->Rubriques()),
              test::resume(*Calculer(donnees, rubriques, nullptr)->Rubriques()));
    for (const auto& r : suivie->Rubriques()->NewEnum()) {
        if (RubriqueInterne::TypeRubrique(*r) != EnumRubrType_Nombre) continue;
        const Trace* trace = explication.Trace(r->KeyRubrique());
        ASSERT_NE(trace, nullptr) << r->KeyRubrique();
        EXPECT_EQ(trace->valeurBrute, r->Valeur().toDouble()) << r->KeyRubrique();
        EXPECT_NEAR(trace->somme(), trace->valeurBrute, tolerance) << TexteTrace(*trace, donnees);
    }
}

class ExplicationTest : public ::testing::Test {
protected:
    void TearDown() override {
        DefinirTypeDeclaration("");
        Acomptes() = {};
    }
    DossierTemporaire dossier_;
};

TEST_F(ExplicationTest, SamplesAddUpToTheCent) {
    const std::string samples = QX_SAMPLES_DIR;
    DefinirTypeDeclaration("CA3");
    VerifierTraces(samples + "/ca3/donnees.xml", samples + "/ca3/rubriques.xml", 0.005);
    DefinirTypeDeclaration("CA12");
    Acomptes() = {TAcompte{}, {780, 0}, {780, 0}, {780, 0}, {0, 780}};
    VerifierTraces(samples + "/ca12/donnees.xml", samples + "/ca12/rubriques.xml", 0.005);
}

// Random forms: account lines of every sign and prefix, dependencies in
// chains (some to no rubric), "POSITIF" rubrics, the credit given twice,
// instalments, and a base and tax pair the checks correct.
TEST_F(ExplicationTest, GeneratedCasesAddUp) {
    std::mt19937 aleas(20261206);
    auto choix = [&](std::initializer_list<const char*> valeurs) {
        return std::string(valeurs.begin()[aleas() % valeurs.size()]);
    };
    for (int cas = 0; cas < 12; ++cas) {
        SCOPED_TRACE(cas);
        const bool ca12 = cas % 2 == 1;
        const std::string imprime = ca12 ? "CA12" : "CA3";
        DefinirTypeDeclaration(imprime);
        Acomptes() = {};
        if (ca12)
            for (size_t n = 1; n <= 4; ++n) Acomptes()[n] = {(aleas() % 100000) / 100.0, 0.5};
        std::vector<std::string> codes =
            ca12 ? std::vector<std::string>{"EW", "FW", "KA", "MD", "ME", "MF", "MH"}
                 : std::vector<std::string>{"FP", "GP", "HD"};
        for (int i = 0; i < 14; ++i) codes.push_back("R" + std::to_string(i));
        std::string parametres = "<RUBRIQUESTVA><IMPRIME CODE=\"" + imprime + "\">\n";
        for (size_t i = 0; i < codes.size(); ++i) {
            const std::string& code = codes[i];
            parametres += "<RUBRIQUE CODE=\"" + code + "\"" +
                          (aleas() % 5 == 0 ? " CONDITION=\"POSITIF\"" : "") +
                          (i >= 3 && aleas() % 8 == 0 ? " TYPE=\"T\"" : "") + ">";
            if (i < 2)  // the base (EW, FP) and the tax (FW, GP) the checks correct
                parametres += std::string("<LIGNE COMPTE=\"") + (i ? "445719" : "707999") +
                              "\" TYPETAUX=\"9\" CATEGORIEAV=\"9\" SENS=\"-1\"/>";
            for (unsigned l = aleas() % 4; l > 0; --l)
                parametres += "<LIGNE COMPTE=\"" +
                              choix({"4", "445", "4457", "44571", "7", "707", "6", "60", ""}) +
                              "\" TYPETAUX=\"" + choix({"9", "20", "55"}) + "\" CATEGORIEAV=\"" +
                              choix({"9", "V", "A"}) + "\" SENS=\"" + choix({"1", "-1"}) +
                              "\" TYPECUMUL=\"" + choix({"1", "-1"}) + "\"/>";
            for (unsigned d = aleas() % 3; d > 0; --d) {
                const size_t cible = i + 1 + aleas() % (codes.size() + 2);
                parametres += "<DEPENDANCE CODEIMPRIME=\"" + imprime + "\" CODERUBRIQUE=\"" +
                              (cible < codes.size() ? codes[cible] : "ZZ") + "\" SENS=\"" +
                              choix({"1", "-1"}) + "\"/>";
            }
            parametres += "</RUBRIQUE>\n";
        }
        parametres += "</IMPRIME></RUBRIQUESTVA>\n";

        std::string donnees = "<DONNEESTVA>\n";
        const double base = 10000 + aleas() % 5000;
        donnees += "<LIGNE COMPTE=\"707999\" MONTANT=\"-" + std::to_string(base) +
                   "\" TYPETAUX=\"20\" CATEGORIEAV=\"V\"/>\n";
        donnees += "<LIGNE COMPTE=\"445719\" MONTANT=\"-" + std::to_string(base * 0.2 + 1.3) +
                   "\" TYPETAUX=\"20\" CATEGORIEAV=\"V\"/>\n";
        for (int l = 0; l < 150; ++l) {
            if (l % 60 == 30)
                donnees +=
                    "<PARAMS CREDITTVA=\"" + std::to_string((aleas() % 100000) / 100.0) + "\"/>\n";
            const int centimes = static_cast<int>(aleas() % 2000001) - 1000000;
            donnees += "<LIGNE COMPTE=\"" +
                       choix({"445711", "445712", "44566", "707100", "601000", "4457", "7"}) +
                       "\" MONTANT=\"" + std::to_string(centimes / 100) + "," +
                       std::to_string(std::abs(centimes % 100)) + "\" TYPETAUX=\"" +
                       choix({"20", "55", "10"}) + "\" CATEGORIEAV=\"" + choix({"V", "A", ""}) +
                       "\"/>\n";
        }
        donnees += "</DONNEESTVA>\n";
        VerifierTraces(dossier_.ecrire("d.xml", donnees), dossier_.ecrire("r.xml", parametres),
                       1e-6);
    }
}

}  // namespace
}  // namespace qx
