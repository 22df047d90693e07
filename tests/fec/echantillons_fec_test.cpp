// The samples' business events exported as FEC files (samples/generer_fec.py)
// give the samples' returns, rubric by rubric, through "qxtva calcul --fec";
// and what "fec2donnees" prints when a FEC is wrong.
#include <gtest/gtest.h>

#include "support/processus.h"

namespace {

namespace fs = std::filesystem;
using qx::test::Execution;
using qx::test::rubriquesDuResultat;
using Textes = std::vector<std::string>;

const std::string kQxtva = QX_QXTVA_PATH;
const std::string kSamples = QX_SAMPLES_DIR;

Textes operator+(Textes a, const Textes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class EchantillonsFEC : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dossier_ = new qx::test::DossierTemporaire;
        const std::string commande =
            "python3 '" + kSamples + "/generer_fec.py' '" + dossier_->chemin().string() + "'";
        ASSERT_EQ(std::system(commande.c_str()), 0) << commande;
    }
    static void TearDownTestSuite() { delete dossier_; }

    Execution lancer(const Textes& arguments) const {
        return qx::test::lancer(kQxtva, arguments, dossier_->chemin());
    }
    std::string chemin(const std::string& nom) const { return (*dossier_ / nom).string(); }

    static inline qx::test::DossierTemporaire* dossier_ = nullptr;
};

TEST_F(EchantillonsFEC, FecGivesTheSamplesReturn) {
    struct Cas {
        std::string nom;
        Textes fec;  // source options besides --fec
        Textes communes;
    };
    const Textes acomptes = {"--acompte", "1:780:0", "--acompte", "2:780:0",
                             "--acompte", "3:780:0", "--acompte", "4:0:780"};
    const Cas cas[] = {
        // The firm's own chart, UTF-8 and tabs.
        {"ca3",
         {"--correspondances", kSamples + "/ca3/correspondances.txt", "--debut", "2026-11-01",
          "--fin", "2026-11-30", "--credit", "312"},
         {}},
        // The bundled French chart, ISO-8859-15 and "|".
        {"ca12",
         {"--debut", "2025-01-01", "--fin", "2025-12-31", "--credit", "150"},
         Textes{"--type", "CA12"} + acomptes},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        const Textes commun =
            Textes{"calcul",      "--rubriques", kSamples + "/" + c.nom + "/rubriques.xml",
                   "--date-jour", "2026-12-05",  "--quiet"} +
            c.communes;
        Execution e = lancer(commun + Textes{"--donnees", kSamples + "/" + c.nom + "/donnees.xml",
                                             "--resultat", chemin(c.nom + "-attendu.xml")});
        ASSERT_EQ(e.code, 0) << e.erreurs;
        e = lancer(commun + c.fec +
                   Textes{"--fec", chemin(c.nom + ".fec"), "--resultat", chemin(c.nom + ".xml")});
        ASSERT_EQ(e.code, 0) << e.erreurs;
        EXPECT_EQ(e.sortie + e.erreurs, "") << "no account left without its mapping";
        const auto attendu = rubriquesDuResultat(chemin(c.nom + "-attendu.xml"));
        EXPECT_GT(attendu.size(), 30u);
        EXPECT_EQ(rubriquesDuResultat(chemin(c.nom + ".xml")), attendu);

        // Without the period, the entries before and after it count too.
        e = lancer(commun +
                   Textes{"--fec", chemin(c.nom + ".fec"), "--resultat", chemin("large.xml")} +
                   Textes(c.fec.begin(), c.fec.end() - 6) + Textes(c.fec.end() - 2, c.fec.end()));
        ASSERT_EQ(e.code, 0) << e.erreurs;
        EXPECT_NE(rubriquesDuResultat(chemin("large.xml")), attendu);
    }
}

// fec2donnees writes the data file and warns on stderr; a wrong line stops it
// with the one-line report naming line and column; usage errors exit 64.
TEST_F(EchantillonsFEC, Fec2DonneesReportsWarningsAndFailures) {
    qx::test::ecrireFichier(*dossier_ / "avertie.fec",
                            "JournalCode|EcritureDate|CompteNum|CompteLib|Debit|Credit\n"
                            "VE|20261101|445710|TVA à trier|0|12,00\n"
                            "VE|20261101|411000|Clients|12|0\n");
    Execution e = lancer({"fec2donnees", "--fec", chemin("avertie.fec"), "-o", chemin("d.xml")});
    ASSERT_EQ(e.code, 0) << e.erreurs;
    EXPECT_EQ(e.erreurs,
              "avertissement : compte 445710 « TVA à trier » (ligne 2) : classe 4 sans "
              "correspondance, repris sans type de taux ni catégorie\n");
    EXPECT_TRUE(fs::exists(chemin("d.xml")));

    qx::test::ecrireFichier(*dossier_ / "casse.fec",
                            "JournalCode|EcritureDate|CompteNum|CompteLib|Debit|Credit\n"
                            "VE|20261101|707110|Ventes|0|12,00\n"
                            "VE|20261102|707110|Ventes|0|12;00\n");
    e = lancer({"fec2donnees", "--fec", chemin("casse.fec"), "-o", chemin("casse.xml")});
    EXPECT_EQ(e.code, 2);
    EXPECT_EQ(e.erreurs, "erreur 0x80042002 : Fichier FEC « " + chemin("casse.fec") +
                             " », ligne 3, colonne Credit : montant « 12;00 » invalide (chiffres, "
                             "virgule décimale, 4 décimales au plus)\n");
    EXPECT_FALSE(fs::exists(chemin("casse.xml")));

    const std::pair<Textes, std::string> usages[] = {
        {{"fec2donnees", "--fec", "f"}, "--sortie"},
        {{"fec2donnees", "--fec", "f", "-o", "x", "--debut", "2026-11-31"},
         "--debut « 2026-11-31 »"},
        {{"fec2donnees", "--fec", "f", "-o", "x", "--debut", "2026-12-01", "--fin", "2026-11-30"},
         "période vide"},
        {{"fec2donnees", "--fec", "f", "-o", "x", "--credit", "1,5"}, "crédit incorrect"},
        {{"calcul", "--fec", "f", "--donnees", "d", "--rubriques", "r", "--resultat", "x"},
         "une source et une seule"},
        {{"calcul", "--donnees", "d", "--debut", "2026-11-01", "--rubriques", "r", "--resultat",
          "x"},
         "--debut va avec --fec"},
    };
    for (const auto& [arguments, message] : usages) {
        e = lancer(arguments);
        EXPECT_EQ(e.code, 64) << message;
        EXPECT_NE(e.erreurs.find(message), std::string::npos) << e.erreurs;
    }
}

}  // namespace
