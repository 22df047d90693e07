// Many returns at once: 16 computations on 8 threads, each thread with its
// own declaration type and instalments as hosts set them, give the same
// result files as each computed alone. Run under ThreadSanitizer by
// scripts/tsan.sh.
#include <gtest/gtest.h>

#include <thread>

#include "engine/calcul_interne.h"
#include "engine/calcul_tva.h"
#include "engine/declaration_courante.h"
#include "support/outils.h"

namespace qx {
namespace {

using namespace test;

const std::string kSamples = QX_SAMPLES_DIR;

struct Declaration {
    std::string echantillon;  // "ca3" or "ca12"
    std::string type;
    TableAcomptes acomptes{};
    bool passeSurFilAppelant = false;
};

// The result file of one computation, made on the calling thread.
std::string calculer(const Declaration& d, const std::string& resultat) {
    DefinirTypeDeclaration(d.type);
    Acomptes() = d.acomptes;
    auto calcul = CCalculTVA::Creer();
    CalculInterne::SetPasseSurFilAppelant(*calcul, d.passeSurFilAppelant);
    const std::string dossier = kSamples + "/" + d.echantillon + "/";
    calcul->Init(dossier + "donnees.xml", dossier + "rubriques.xml", resultat);
    calcul->Archive();
    return lireFichier(resultat);
}

TEST(FilsTest, SixteenReturnsOnEightThreadsEqualEachAlone) {
    // Each sample with the types its data file suits.
    const char* types[2][2] = {{"CA3", "CA3A"}, {"CA12", "CA12E"}};
    std::vector<Declaration> declarations;
    for (int i = 0; i < 16; ++i) {
        Declaration d{i % 2 ? "ca12" : "ca3", types[i % 2][(i / 2) % 2]};
        for (int n = 1; n <= 4; ++n) d.acomptes[n] = {100.0 * i + n, 10.0 * n + i};
        d.passeSurFilAppelant = i % 3 == 0;
        declarations.push_back(d);
    }
    DossierTemporaire dossier;
    // Alone: one at a time, each on a thread of its own as a host's would be.
    std::vector<std::string> seules(declarations.size());
    for (size_t i = 0; i < declarations.size(); ++i)
        std::thread([&, i] {
            seules[i] = calculer(declarations[i],
                                 (dossier / ("seule" + std::to_string(i) + ".xml")).string());
        }).join();

    std::vector<std::string> ensemble(declarations.size());
    std::vector<std::thread> fils;
    for (int f = 0; f < 8; ++f)
        fils.emplace_back([&, f] {
            for (size_t i = static_cast<size_t>(f); i < declarations.size(); i += 8)
                ensemble[i] =
                    calculer(declarations[i],
                             (dossier / ("ensemble" + std::to_string(i) + ".xml")).string());
        });
    for (std::thread& t : fils) t.join();

    for (size_t i = 0; i < declarations.size(); ++i) {
        EXPECT_FALSE(seules[i].empty());
        EXPECT_EQ(ensemble[i], seules[i]) << "return " << i;
    }
    // The instalments count: two returns that differ only by them differ.
    EXPECT_NE(seules[5], seules[13]);
}

}  // namespace
}  // namespace qx
