// qxtva lot: 200 returns on 8 threads give, each, the result file a single
// run gives; the summary, the exit codes and a bad manifest.
#include <gtest/gtest.h>

#include "support/processus.h"

namespace {

namespace fs = std::filesystem;
using qx::test::Execution;

const std::string kSamples = QX_SAMPLES_DIR;

struct Ligne {
    std::string echantillon, type;
    std::vector<std::string> acomptes;
};

class LotTest : public qx::test::TestQxtva {};

TEST_F(LotTest, TwoHundredReturnsOnEightThreadsEqualSingleRuns) {
    const std::string ca3 = qx::test::lireFichier(kSamples + "/ca3/donnees.xml");
    const std::string ca12 = qx::test::lireFichier(kSamples + "/ca12/donnees.xml");
    std::string manifeste = "# 200 dossiers\ndonnees;rubriques;resultat;type;acomptes\n";
    std::vector<Ligne> lignes;
    for (int i = 0; i < 200; ++i) {
        // Each return its own figures: one more sale, a type and instalments of its own.
        const bool annuel = i % 2;
        std::string donnees = annuel ? ca12 : ca3;
        const std::string vente = "<LIGNE COMPTE=\"" + std::string(annuel ? "707110" : "707130") +
                                  "\" MONTANT=\"-" + std::to_string(i * 37) + "," +
                                  std::to_string(10 + i % 90) + "\" TYPETAUX=\"" +
                                  (annuel ? "21" : "20") + "\" CATEGORIEAV=\"V\"/>\n";
        donnees.insert(donnees.rfind("</DONNEES>"), vente);
        const std::string nom = "d" + std::to_string(i);
        qx::test::ecrireFichier(dossier_ / (nom + ".xml"), donnees);
        Ligne l{annuel ? "ca12" : "ca3",
                annuel ? (i % 3 ? "CA12" : "CA12E") : (i % 4 ? "CA3" : "CA3A"),
                {}};
        if (annuel) l.acomptes = {"1:" + std::to_string(i * 10) + ":0", "4:0:" + std::to_string(i)};
        manifeste += nom + ".xml;" + kSamples + "/" + l.echantillon + "/rubriques.xml;" + nom +
                     "-lot.xml;" + l.type + ";" +
                     (annuel ? l.acomptes[0] + " " + l.acomptes[1] : "") + "\n";
        lignes.push_back(l);
    }
    qx::test::ecrireFichier(dossier_ / "manifeste.csv", manifeste);

    Execution e = lancer({"lot", "--manifeste", chemin("manifeste.csv"), "--jobs", "8", "--format",
                          "csv", "--date-jour", "2026-12-05"});
    ASSERT_EQ(e.code, 0) << e.erreurs;
    EXPECT_EQ(std::count(e.sortie.begin(), e.sortie.end(), '\n'), 201);
    EXPECT_EQ(e.sortie.find(";echec;"), std::string::npos) << e.sortie;

    for (int i = 0; i < 200; ++i) {
        SCOPED_TRACE(i);
        const std::string nom = "d" + std::to_string(i);
        // clang-format off
        std::vector<std::string> arguments = {"calcul", "--donnees", chemin(nom + ".xml"),
            "--rubriques", kSamples + "/" + lignes[i].echantillon + "/rubriques.xml",
            "--resultat", chemin(nom + "-seul.xml"), "--type", lignes[i].type,
            "--date-jour", "2026-12-05", "--quiet"};
        // clang-format on
        for (const std::string& a : lignes[i].acomptes)
            arguments.insert(arguments.end(), {"--acompte", a});
        ASSERT_EQ(lancer(arguments).code, 0);
        const std::string seul = qx::test::lireFichier(chemin(nom + "-seul.xml"));
        EXPECT_FALSE(seul.empty());
        EXPECT_EQ(qx::test::lireFichier(chemin(nom + "-lot.xml")), seul);
    }
}

// One failure among successes: exit 1, the others done, the failure's line
// in the summary; a manifest that cannot be read: exit 2 naming its line.
TEST_F(LotTest, FailuresAndBadManifests) {
    const std::string r = kSamples + "/ca3/rubriques.xml";
    qx::test::ecrireFichier(dossier_ / "m.csv", kSamples + "/ca3/donnees.xml;" + r + ";a.xml\n" +
                                                    "absent.xml;" + r + ";b.xml\n");
    Execution e = lancer({"lot", "--manifeste", chemin("m.csv"), "--format", "json"});
    EXPECT_EQ(e.code, 1);
    EXPECT_TRUE(fs::exists(chemin("a.xml")));
    EXPECT_FALSE(fs::exists(chemin("b.xml")));
    EXPECT_NE(e.sortie.find("\"statut\": \"ok\", \"du\": 584, \"credit\": 0"), std::string::npos)
        << e.sortie;
    EXPECT_NE(e.sortie.find("\"ligne\": 2, \"resultat\": \"" + chemin("b.xml") +
                            "\", \"statut\": \"echec\", \"du\": null"),
              std::string::npos)
        << e.sortie;

    const std::pair<std::string, std::string> mauvais[] = {
        {"# rien\n", "sans aucune ligne"},
        {"a.xml;b.xml\n", "ligne 1 : 3 à 6 champs"},
        {"\na.xml;b.xml;c.xml;CA12;2:abc:1\n", "ligne 2 : "},
        {"a.xml;;c.xml\n", "ligne 1 : données, rubriques et résultat sont obligatoires"},
    };
    for (const auto& [contenu, message] : mauvais) {
        qx::test::ecrireFichier(dossier_ / "m.csv", contenu);
        e = lancer({"lot", "--manifeste", chemin("m.csv")});
        EXPECT_EQ(e.code, 2) << contenu;
        EXPECT_NE(e.erreurs.find(message), std::string::npos) << e.erreurs;
    }
    EXPECT_EQ(lancer({"lot", "--manifeste", chemin("m.csv"), "--jobs", "0"}).code, 64);
    EXPECT_EQ(lancer({"lot", "--manifeste", chemin("m.csv"), "--format", "xml"}).code, 64);
}

}  // namespace
