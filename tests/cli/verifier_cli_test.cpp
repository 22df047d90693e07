// qxtva verifier's lines and exit codes, calcul --strict and its one-line
// summary, and the command line passing every type and instalment the
// library accepts.
#include <gtest/gtest.h>

#include "support/processus.h"

namespace {

namespace fs = std::filesystem;
using qx::test::Execution;
using Textes = std::vector<std::string>;

const std::string kSamples = QX_SAMPLES_DIR;

class VerifierCliTest : public qx::test::TestQxtva {
protected:
    // VALEUR of a rubric in the result file, "(absente)" when it is not there.
    std::string valeur(const std::string& cle) const {
        for (const std::string& r : qx::test::rubriquesDuResultat(resultat()))
            if (r.starts_with(cle + "="))
                return r.substr(cle.size() + 1, r.size() - cle.size() - 1 - r.ends_with('*'));
        return "(absente)";
    }
};

const std::string kRubriques =
    "<RUBRIQUESTVA>\n<IMPRIME CODE=\"CA3\">\n<RUBRIQUE CODE=\"CA\">\n"
    "<LIGNE COMPTE=\"707\" TYPETAUX=\"9\" CATEGORIEAV=\"9\" SENS=\"-1\"/>\n</RUBRIQUE>\n"
    "<RUBRIQUE CODE=\"HD\"/>\n</IMPRIME>\n</RUBRIQUESTVA>\n";

std::string donnees(const std::string& montant) {
    return "<DONNEESTVA>\n<PARAMS CREDITTVA=\"5\"/>\n<LIGNE COMPTE=\"707\" MONTANT=\"" + montant +
           "\" TYPETAUX=\"20\" CATEGORIEAV=\"V\"/>\n</DONNEESTVA>\n";
}

TEST_F(VerifierCliTest, ExitCodeFollowsTheWorstFinding) {
    const std::string rubriques = dossier_.ecrire("r.xml", kRubriques);
    const std::string sansParams =
        dossier_.ecrire("a.xml",
                        "<DONNEESTVA>\n<LIGNE COMPTE=\"707\" MONTANT=\"-3\" TYPETAUX=\"20\" "
                        "CATEGORIEAV=\"V\"/>\n</DONNEESTVA>\n");
    const std::string casse = dossier_.ecrire("e.xml", donnees("-2.000,40"));
    const std::string propre = dossier_.ecrire("p.xml", donnees("-2 000,40"));
    struct Cas {
        std::string donnees;
        int code;
        std::string sortie;
    };
    const Cas cas[] = {
        {propre, 0, ""},
        {sansParams, 1,
         sansParams + ": avertissement: aucun élément PARAMS : pas de crédit de TVA reporté\n"},
        {casse, 2,
         casse + ":3: erreur: MONTANT « -2.000,40 » est lu -2 : le second séparateur décimal "
                 "arrête la lecture\n"},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.donnees);
        Execution e = lancer({"verifier", "--rubriques", rubriques, "--donnees", c.donnees});
        EXPECT_EQ(e.code, c.code) << e.erreurs;
        EXPECT_EQ(e.sortie, c.sortie);
        EXPECT_EQ(e.erreurs, "");
    }
    // A missing data file: its findings under its name, the number as hosts show it.
    const std::string absentes = (dossier_ / "absentes.xml").string();
    Execution sansDonnees = lancer({"verifier", "--rubriques", rubriques, "--donnees", absentes});
    EXPECT_EQ(sansDonnees.code, 2);
    EXPECT_EQ(sansDonnees.sortie,
              absentes + ": erreur: fichier de données comptable introuvable\n" + absentes +
                  ": erreur: le calcul échoue : erreur 0x80040202 : Le fichier de données "
                  "comptable n'existe pas\n");
    Execution absent = lancer({"verifier", "--rubriques", (dossier_ / "absent.xml").string()});
    EXPECT_EQ(absent.code, 2);
    EXPECT_EQ(absent.sortie, (dossier_ / "absent.xml").string() +
                                 ": erreur: fichier de description des rubriques introuvable\n");
}

// Without --strict the return is computed as ever and one line says there is
// more to see; with it, nothing is computed.
TEST_F(VerifierCliTest, StrictRefusesWhatCalculComputesWithOneLine) {
    const std::string rubriques = dossier_.ecrire("r.xml", kRubriques);
    const std::string casse = dossier_.ecrire("e.xml", donnees("-2.000,40"));
    const Textes calcul = {"calcul",  "--donnees",  casse,      "--rubriques",
                           rubriques, "--resultat", resultat(), "--quiet"};
    Execution e = lancer(calcul);
    EXPECT_EQ(e.code, 0);
    EXPECT_EQ(e.erreurs, "1 erreur ; détail : qxtva verifier --rubriques " + rubriques +
                             " --donnees " + casse + "\n");
    EXPECT_EQ(valeur("CA3CA"), "2");

    fs::remove(resultat());
    Textes strict = calcul;
    strict.push_back("--strict");
    e = lancer(strict);
    EXPECT_EQ(e.code, 2);
    EXPECT_NE(e.erreurs.find(casse + ":3: erreur: MONTANT"), std::string::npos) << e.erreurs;
    EXPECT_NE(e.erreurs.find("calcul refusé (--strict) : 1 erreur"), std::string::npos);
    EXPECT_FALSE(fs::exists(resultat()));
}

// Every type the library takes, the empty one included, and every
// instalment number that fits 16 bits reach it as given, with a warning.
TEST_F(VerifierCliTest, EveryValueTheLibraryAcceptsIsPassedOn) {
    const std::string ca12 = kSamples + "/ca12/";
    Textes base = {"calcul", "--donnees", ca12 + "donnees.xml", "--rubriques"};
    base.insert(base.end(), {ca12 + "rubriques.xml", "--resultat", resultat(), "--quiet"});
    struct Cas {
        Textes options;
        std::string cle, valeur, avertissement;
    };
    const Cas cas[] = {
        // No type: no credit rubric is fed (the sample's credit is 150).
        {{"--type", ""}, "CA12KA", "0", "type de déclaration «  » inconnu"},
        {{"--type", "ca12"}, "CA12KA", "0", "type de déclaration « ca12 » inconnu"},
        {{"--type", "CA12"}, "CA12KA", "150", ""},
        {{"--type", "CA12", "--acompte", "2:-40.5:0"}, "CA12MF", "-41", ""},
        {{"--type", "CA12", "--acompte", "2:100:0", "--acompte", "2:7:0"},
         "CA12MF",
         "7",
         "acompte 2 donné plusieurs fois"},
        {{"--type", "CA12", "--acompte", "-32768:100:0"},
         "CA12MF",
         "0",
         "acompte -32768 ignoré par la bibliothèque"},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.options.back());
        Textes arguments = base;
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        Execution e = lancer(arguments);
        EXPECT_EQ(e.code, 0) << e.erreurs;
        EXPECT_EQ(valeur(c.cle), c.valeur);
        if (c.avertissement.empty())
            EXPECT_EQ(e.erreurs.find("avertissement :"), std::string::npos) << e.erreurs;
        else
            EXPECT_NE(e.erreurs.find("qxtva : avertissement : " + c.avertissement),
                      std::string::npos)
                << e.erreurs;
    }
}

// explique on the sample: the forced box with its reason and its total; an
// unknown key is said and fails the run.
TEST_F(VerifierCliTest, ExpliqueTellsWhereABoxValueCameFrom) {
    const std::string ca3 = kSamples + "/ca3/";
    Execution e = lancer({"explique", "--donnees", ca3 + "donnees.xml", "--rubriques",
                          ca3 + "rubriques.xml", "CA3:GB", "CA3HD"});
    EXPECT_EQ(e.code, 0) << e.erreurs;
    for (const std::string ligne :
         {"CA3GB = 2027",
          "  contrôle : CA3FB 36863 × 5,5 % = 2027,465 → 2027 ; écart 1 ≤ 1 ‰ "
          "de 2027 : forcée de 2028 à 2027",
          "  total 2027", "CA3HD = 312",
          "  crédit reporté CREDITTVA « 312 » : 0 remplacé par 312 : +312"})
        EXPECT_NE(("\n" + e.sortie).find("\n" + ligne + "\n"), std::string::npos) << ligne;
    e = lancer({"explique", "--donnees", ca3 + "donnees.xml", "--rubriques", ca3 + "rubriques.xml",
                "CA3ZZ"});
    EXPECT_EQ(e.code, 2);
    EXPECT_NE(e.erreurs.find("la rubrique CA3ZZ n'est pas"), std::string::npos) << e.erreurs;
}

}  // namespace
