// Runs of the qxtva binary: a figure or two of each sample, what the options
// change, the table, the one-line failure report and wrong usage. The
// computation itself is the engine tests' business.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/processus.h"

namespace {

namespace fs = std::filesystem;
using qx::test::Execution;
using Textes = std::vector<std::string>;

Textes operator+(Textes a, const Textes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const std::string kSamples = QX_SAMPLES_DIR;
const std::string kDonnees = kSamples + "/ca3/donnees.xml";
const std::string kRubriques = kSamples + "/ca3/rubriques.xml";

class QxtvaTest : public qx::test::TestQxtva {
protected:
    // "calcul" on the given files, the result written into the test folder.
    Textes calcul(const std::string& donnees = kDonnees,
                  const std::string& rubriques = kRubriques) const {
        return {"calcul", "--donnees", donnees, "--rubriques", rubriques, "--resultat", resultat()};
    }
    Textes echantillon(const std::string& nom) const {
        const std::string dossier = kSamples + "/" + nom + "/";
        return calcul(dossier + "donnees.xml", dossier + "rubriques.xml") +
               Textes{"--date-jour", "2026-12-05"};
    }
    // Each expected rubric, as "CA3KE=584*" (form, code, value, "*" when
    // forced), is in the result file.
    void verifier(const Textes& attendus) const {
        const Textes lues = qx::test::rubriquesDuResultat(resultat());
        for (const std::string& a : attendus)
            EXPECT_TRUE(std::ranges::count(lues, a)) << a << " in " << testing::PrintToString(lues);
    }
};

// The sample's hand-computed figures (samples/README.md): the 5.5 % tax booked
// is one unit off base x rate and is corrected (forced), which moves the totals.
// The table shows the boxes as the form reads them: printed line, code, value
// aligned in one column, the forced mark and the value before forcing, label.
TEST_F(QxtvaTest, SampleGivesItsFiguresInTheResultAndTheTable) {
    Execution e = lancer(echantillon("ca3"));
    ASSERT_EQ(e.code, 0) << e.erreurs;
    EXPECT_EQ(e.erreurs, "");
    verifier({"CA3GB=2027*", "CA3HD=312", "CA3KE=584*", "CA3KF=", "CA3AHB=150"});
    for (std::string ligne :
         {"Imprimé  Ligne  Code  Valeur  Forcée  Avant forçage  Intitulé",
          "CA3      A1     CA     48174                         Ventes, prestations de services",
          "CA3      09     GB      2027  *                2028  France métropolitaine - Taux "
          "réduit 5,5 % : taxe due",
          "35 rubriques, 6 forcées (*), 11 à zéro non affichées (--tout pour les afficher)"})
        EXPECT_NE(("\n" + e.sortie).find("\n" + ligne + "\n"), std::string::npos) << ligne;
}

// What each option changes, against figures derived by hand from the samples
// (the CA12 has three instalments paid and the fourth still due); --quiet,
// given to every run, shows nothing but still writes the result.
TEST_F(QxtvaTest, OptionsReachTheComputation) {
    const Textes ca12 = echantillon("ca12") + Textes{"--type"};
    // A date rubric writes the empty text for today's date, so the credit
    // text read into one shows which day the tool took as today.
    const Textes date = calcul(
        dossier_.ecrire("d.xml", "<DONNEESTVA><PARAMS CREDITTVA=\"2026-03-31\"/></DONNEESTVA>"),
        dossier_.ecrire("r.xml",
                        "<RUBRIQUESTVA><IMPRIME CODE=\"CA3\"><RUBRIQUE CODE=\"HD\" TYPE=\"D\"/>"
                        "</IMPRIME></RUBRIQUESTVA>"));
    struct Cas {
        Textes arguments, attendus;
        std::string erreurs = "";
    };
    const Cas cas[] = {
        // The annex type takes no credit and runs no check.
        {echantillon("ca3") + Textes{"--type", "CA3A"}, {"CA3HD=0", "CA3GB=2028", "CA3KE=897"}},
        {ca12 + Textes{"CA12", "--acompte", "1:780:0", "--acompte", "2:780:0", "--acompte",
                       "3:780:0", "--acompte", "4:0:780"},
         {"CA12FU=6867*", "CA12KA=150", "CA12MA=3120", "CA12SC=143*", "CA12SD="}},
        // Decimals with a point; each instalment to its own pair of rubrics, those
        // not given at 0; "=" form.
        // The rounded instalments no longer add up to their total: said in one line.
        {ca12 + Textes{"CA12", "--acompte", "1:250.75:0", "--acompte=3:0:1000.5"},
         {"CA12MD=251", "CA12MH=0", "CA12MJ=1001", "CA12MA=1251", "CA12NA=2012*"},
         "1 avertissement ; détail : qxtva verifier --rubriques " + kSamples +
             "/ca12/rubriques.xml --donnees " + kSamples + "/ca12/donnees.xml --type CA12\n"},
        {date + Textes{"--date-jour", "2026-03-31"}, {"CA3HD="}},
    };
    for (const auto& [arguments, attendus, erreurs] : cas) {
        SCOPED_TRACE(arguments.back());
        Execution e = lancer(arguments + Textes{"--quiet"});
        ASSERT_EQ(e.code, 0) << e.erreurs;
        EXPECT_EQ(e.sortie, "");
        EXPECT_EQ(e.erreurs, erreurs);
        verifier(attendus);
    }
}

// Any failure of the library: exit 2, no result, and on stderr a single line
// "erreur NUMBER : description" however the description was laid out, the
// number as hosts show it and the missing file named after the library's text.
TEST_F(QxtvaTest, FailuresPrintOneNumberedLineAndWriteNoResult) {
    const std::string absent = (dossier_ / "absent.xml").string();
    const std::pair<Textes, std::string> cas[] = {
        {calcul(kDonnees, absent),
         "erreur 0x80040203 : Le fichier de description de rubrique n'existe pas : " + absent +
             "\n"},
        {calcul(absent, kRubriques),
         "erreur 0x80040202 : Le fichier de données comptable n'existe pas : " + absent + "\n"},
        {{"explique", "--donnees", kDonnees, "--rubriques", absent, "CA3GP"},
         "erreur 0x80040203 : Le fichier de description de rubrique n'existe pas : " + absent +
             "\n"},
        {{"rapport", "--donnees", absent, "--rubriques", kRubriques, "-o", resultat()},
         "erreur 0x80040202 : Le fichier de données comptable n'existe pas : " + absent + "\n"},
        {calcul(kDonnees, dossier_.ecrire("casse.xml",
                                          "<RUBRIQUESTVA>\n<IMPRIME CODE=\"CA3\">\n"
                                          "<RUBRIQUE CODE=\"GP\">\n</IMPRIME>\n")),
         "erreur 0xC00CE54C : Erreur de chargement document XML des rubriques (fichier ligne "
         "4) "},
    };
    for (const auto& [arguments, extrait] : cas) {
        SCOPED_TRACE(extrait);
        Execution e = lancer(arguments[0] == "calcul" ? arguments + Textes{"--quiet"} : arguments);
        EXPECT_EQ(e.code, 2);
        EXPECT_EQ(e.sortie, "");
        EXPECT_EQ(e.erreurs.find_first_of("\r\n"), e.erreurs.size() - 1) << e.erreurs;
        EXPECT_EQ(e.erreurs.rfind(extrait, 0), 0u) << e.erreurs;
        EXPECT_FALSE(fs::exists(resultat()));
    }
}

// Wrong usage: the reason and where to find help, two lines on stderr; the
// full usage only when asked, on stdout.
TEST_F(QxtvaTest, WrongUsageExits64WithTheReasonAndHelpGoesToStdout) {
    auto avec = [&](const Textes& options) { return calcul() + options; };
    const std::pair<Textes, std::string> cas[] = {
        {{}, "commande manquante"},
        {{"calculer"}, "commande inconnue « calculer »"},
        {avec({"--verbose"}), "option inconnue --verbose"},
        {{"calcul", "--donnees", kDonnees, "--rubriques", kRubriques}, "--resultat"},
        {avec({"--date-jour"}), "valeur manquante"},
        {avec({"en-trop.xml"}), "en-trop.xml"},
        {avec({"--donnees", kDonnees}), "--donnees"},
        {avec({"--quiet=oui"}), "--quiet"},
        // A wrong instalment or date is quoted back.
        {avec({"--acompte", "5:1"}), "5:1"},
        {avec({"--acompte", "32768:1:2"}), "32768:1:2"},
        {avec({"--acompte", "1:1e3:0"}), "1:1e3:0"},
        {avec({"--date-jour", "2026-02-30"}), "2026-02-30"},
        // Help wins over the missing required options and the others given.
        {{"calcul", "--donnees", "x.xml", "--help"}, "--acompte N:PAYE:RESTANT"},
    };
    for (const auto& [arguments, message] : cas) {
        SCOPED_TRACE(message);
        const bool aide = std::ranges::count(arguments, "--help");
        Execution e = lancer(arguments);
        EXPECT_EQ(e.code, aide ? 0 : 64);
        EXPECT_EQ(aide ? e.erreurs : e.sortie, "");
        const std::string& lue = aide ? e.sortie : e.erreurs;
        EXPECT_NE(lue.find(message), std::string::npos) << lue;
        if (aide) {
            EXPECT_NE(lue.find("Usage : qxtva"), std::string::npos) << lue;
        } else {
            const std::string renvoi =
                arguments.size() < 2 ? "Aide : qxtva --help\n" : "Aide : qxtva calcul --help\n";
            ASSERT_GT(lue.size(), renvoi.size());
            EXPECT_EQ(lue.find('\n'), lue.size() - renvoi.size() - 1) << lue;
            EXPECT_EQ(lue.substr(lue.size() - renvoi.size()), renvoi) << lue;
        }
        EXPECT_FALSE(fs::exists(resultat())) << "nothing is computed";
    }
}

}  // namespace
