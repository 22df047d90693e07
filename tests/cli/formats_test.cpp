// The form view and the outputs for spreadsheets and programs, read back
// with Python's own csv and json parsers (strict: a bad quote, a missing
// byte-order mark, invalid UTF-8 or a NaN fails the reading): the values
// are those of the result file, zero boxes only with --tout, ticked boxes
// as "X", values before forcing, decimal commas and quoted fields.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <sstream>

#include "support/processus.h"

namespace {

namespace fs = std::filesystem;
using qx::test::Execution;
using Textes = std::vector<std::string>;
using Ligne = std::map<std::string, std::string>;  // column -> cell, as read back

const std::string kSamples = QX_SAMPLES_DIR;

Textes operator+(Textes a, const Textes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Each row as "column=cell" separated by tabs; CSV columns by their titles.
constexpr const char* kLecteurCsv = R"(
import csv, io, sys
octets = open(sys.argv[1], 'rb').read()
if not octets.startswith(b'\xef\xbb\xbf'):
    sys.exit('pas de marque UTF-8 en tête')
texte = octets[3:].decode('utf-8')
lignes = list(csv.reader(io.StringIO(texte, newline=''), delimiter=';', strict=True))
for l in lignes[1:]:
    if len(l) != len(lignes[0]):
        sys.exit('nombre de champs')
    print('\t'.join(t + '=' + v for t, v in zip(lignes[0], l)))
)";

// The document's own members first (schema, version, header), then each row.
constexpr const char* kLecteurJson = R"(
import json, sys
def refuser(constante):
    raise ValueError(constante)
d = json.load(open(sys.argv[1], encoding='utf-8'), parse_constant=refuser)
def texte(v):
    if v is None: return 'null'
    if v is True: return 'true'
    if v is False: return 'false'
    if isinstance(v, (int, float)): return repr(v)
    if isinstance(v, str): return v
    raise ValueError(v)
print('\t'.join(k + '=' + texte(v) for k, v in d.items() if k != 'lignes'))
for r in d['lignes']:
    print('\t'.join(k + '=' + texte(v) for k, v in r.items()))
)";

class FormatsTest : public qx::test::TestQxtva {
protected:
    // qxtva's output read back by Python: the rows, and for JSON the
    // document's members in `entete`.
    std::vector<Ligne> relire(const std::string& format, const std::string& sortie,
                              Ligne* entete = nullptr) const {
        const std::string fichier = dossier_.ecrire("sortie." + format, sortie);
        Execution e = qx::test::lancer(
            "python3", {"-c", format == "csv" ? kLecteurCsv : kLecteurJson, fichier},
            dossier_ / "python");
        EXPECT_EQ(e.code, 0) << e.erreurs << "\n" << sortie;
        std::vector<Ligne> lignes;
        std::istringstream flux(e.sortie);
        for (std::string texte; std::getline(flux, texte);) {
            Ligne ligne;
            std::istringstream champs(texte);
            for (std::string champ; std::getline(champs, champ, '\t');) {
                const size_t egal = champ.find('=');
                ligne[champ.substr(0, egal)] = champ.substr(egal + 1);
            }
            lignes.push_back(std::move(ligne));
        }
        if (format == "json" && !lignes.empty()) {
            if (entete) *entete = lignes.front();
            lignes.erase(lignes.begin());
        }
        return lignes;
    }
    Execution qxtva(const Textes& arguments) const {
        Execution e = lancer(arguments);
        EXPECT_EQ(e.code, 0) << e.erreurs;
        return e;
    }
    static Textes calcul(const std::string& echantillon, const std::string& resultat) {
        const std::string d = kSamples + "/" + echantillon + "/";
        return {"calcul",     "--donnees", d + "donnees.xml", "--rubriques", d + "rubriques.xml",
                "--resultat", resultat,    "--date-jour",     "2026-12-05"};
    }

    void SetUp() override { fs::create_directories(dossier_ / "python"); }
    const fs::path boite_ = dossier_ / "envoi";
    qx::test::VariableTemporaire outbox_{"ARDILO_OUTBOX", boite_.c_str()};
};

struct Rubrique {
    std::string valeur;
    bool forcee = false;
};

// Every rubric of a result file by key ("CA3GB").
std::map<std::string, Rubrique> rubriquesLues(const std::string& chemin) {
    std::map<std::string, Rubrique> rubriques;
    for (std::string r : qx::test::rubriquesDuResultat(chemin)) {
        const bool forcee = r.ends_with('*');
        if (forcee) r.pop_back();
        const size_t egal = r.find('=');
        rubriques[r.substr(0, egal)] = {r.substr(egal + 1), forcee};
    }
    return rubriques;
}

bool aZero(const std::string& valeur) {
    return valeur.empty() || valeur == "0";
}

// Both samples in both formats, with and without --tout: one row per box of
// the result file (the zero ones only with --tout, a forced one always),
// with its value, its number, its mark and its value before forcing.
TEST_F(FormatsTest, CalculRowsAreTheResultFileBoxes) {
    struct Cas {
        std::string echantillon;
        Textes options;
        std::map<std::string, std::string> avant;  // forced boxes' values before forcing
        std::string debut;
    };
    const Cas cas[] = {
        {"ca3", {}, {{"CA3GB", "2028"}, {"CA3KE", "585"}, {"CA3GH", "4077"}}, "2026-11-01"},
        {"ca12",
         {"--type", "CA12", "--acompte", "1:780:0", "--acompte", "2:780:0", "--acompte", "3:780:0",
          "--acompte", "4:0:780"},
         {},
         "2025-01-01"},
    };
    for (const Cas& c : cas)
        for (const std::string format : {"csv", "json"})
            for (const bool tout : {false, true}) {
                SCOPED_TRACE(c.echantillon + " " + format + (tout ? " --tout" : ""));
                Textes arguments = calcul(c.echantillon, resultat());
                arguments.insert(arguments.end(), c.options.begin(), c.options.end());
                arguments.insert(arguments.end(), {"--format", format});
                if (tout) arguments.push_back("--tout");
                Ligne entete;
                const auto lignes = relire(format, qxtva(arguments).sortie, &entete);
                const auto attendues = rubriquesLues(resultat());

                std::set<std::string> vues;
                for (const Ligne& l : lignes) {
                    const bool csv = format == "csv";
                    const std::string cle =
                        csv ? l.at("Imprimé") + l.at("Code") : l.at("formulaire") + l.at("code");
                    SCOPED_TRACE(cle);
                    ASSERT_TRUE(attendues.count(cle));
                    const Rubrique& r = attendues.at(cle);
                    vues.insert(cle);
                    if (csv) {
                        EXPECT_EQ(l.at("Valeur"), r.valeur);  // whole numbers: no comma
                        EXPECT_EQ(l.at("Forcée"), r.forcee ? "oui" : "");
                    } else {
                        EXPECT_EQ(l.at("valeur"), r.valeur);
                        EXPECT_EQ(l.at("nombre"), r.valeur.empty() ? "null" : r.valeur);
                        EXPECT_EQ(l.at("forcee"), r.forcee ? "true" : "false");
                    }
                    const std::string avant = csv ? l.at("Avant forçage") : l.at("avant_forcage");
                    if (!r.forcee) {
                        EXPECT_EQ(avant, csv ? "" : "null");
                    } else if (c.avant.count(cle)) {
                        EXPECT_EQ(avant, c.avant.at(cle));
                    }
                }
                for (const auto& [cle, r] : attendues)
                    EXPECT_EQ(vues.count(cle), tout || r.forcee || !aZero(r.valeur) ? 1u : 0u)
                        << cle;
                if (format == "json") {
                    EXPECT_EQ(entete["schema"], "qxtva.rubriques");
                    EXPECT_EQ(entete["version"], "1");
                    EXPECT_EQ(entete["debut"], c.debut);
                }
            }
}

// The table a person reads: line numbers, labels, ticked boxes as "X", zero
// boxes counted in the last line; the annex after the return in a pivot.
TEST_F(FormatsTest, FormViewOfAComputationAndOfStoredDeclarations) {
    for (const std::string annee : {"ca3", "ca12"}) {
        const std::string d = kSamples + "/" + annee + "/";
        ASSERT_EQ(lancer({"declarer", "--dossier", d + "dossier.xml", "--donnees",
                          d + "donnees.xml", "--rubriques", d + "rubriques.xml", "--resultat",
                          chemin(annee + ".xml"), "--date-jour", "2026-12-05"})
                      .code,
                  0);
    }
    const std::string ca3 = (boite_ / "ARD-20261205-0001.xml").string();
    const std::string ca12 = (boite_ / "ARD-20261205-0002.xml").string();
    struct Cas {
        Textes arguments;
        Textes presentes, absentes;
    };
    const Cas cas[] = {
        {calcul("ca3", resultat()),
         {"CA3      32     KE       584  *                 585  Total à payer (lignes 28 + 29 "
          "- AB)",
          "CA3A     59     KJ       150                         Taxe sur la diffusion"},
         {"CA3      E2     DB "}},
        {calcul("ca3", resultat()) + Textes{"--tout"},
         {"CA3      E2     DB         0                         Autres opérations non "
          "imposables",
          "35 rubriques, 6 forcées (*)\n"},
         {"non affichée"}},
        {{"pivot", ca3},
         {"CA3      09     GB      2027  France métropolitaine - Taux réduit 5,5 % : taxe due",
          "CA3A     59     KJ       150  Taxe sur la diffusion", "23 rubriques\n"},
         {"Forcée"}},
        {{"pivot", ca3, "--type", "CA3A"}, {"CA3A     59     KJ"}, {"CA3  "}},
        {{"pivot", ca12},
         {"CA12     58     TA         X  Acomptes (cochez",
          "CA12     58     UC      2025  Acomptes - Octobre : Année"},
         {}},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.arguments.back());
        const std::string sortie = qxtva(c.arguments).sortie;
        for (const std::string& l : c.presentes) EXPECT_NE(sortie.find(l), std::string::npos) << l;
        for (const std::string& l : c.absentes) EXPECT_EQ(sortie.find(l), std::string::npos) << l;
    }
    // A ticked box read back: its text, no number; the header from the declaration.
    Ligne entete;
    const auto lignes = relire("json", qxtva({"pivot", ca12, "--format", "json"}).sortie, &entete);
    const auto ta = std::find_if(lignes.begin(), lignes.end(),
                                 [](const Ligne& l) { return l.at("code") == "TA"; });
    ASSERT_NE(ta, lignes.end());
    EXPECT_EQ(ta->at("valeur"), "X");
    EXPECT_EQ(ta->at("nombre"), "null");
    EXPECT_EQ(entete["fin"], "2025-12-31");
    EXPECT_EQ(entete["siret"].size(), 14u);
    const auto csv = relire("csv", qxtva({"pivot", ca12, "--format", "csv"}).sortie);
    EXPECT_TRUE(std::any_of(csv.begin(), csv.end(), [](const Ligne& l) {
        return l.at("Code") == "TA" && l.at("Valeur") == "X";
    }));
}

// Fields that need quoting (";" and quotes in a label, a path, an
// explanation) and decimals (a comma in the CSV, a number in the JSON) come
// back exactly as they were.
TEST_F(FormatsTest, QuotedFieldsAndDecimalsComeBackIntact) {
    // A label with quotes: the box of the "orphelins" on the annex.
    const std::string rubriques =
        dossier_.ecrire("r;\"1\".xml",
                        "<RUBRIQUESTVA><IMPRIME CODE=\"CA3A\"><RUBRIQUE CODE=\"SJ\">"
                        "<LIGNE COMPTE=\"707\" TYPETAUX=\"9\" CATEGORIEAV=\"9\" SENS=\"-1\"/>"
                        "</RUBRIQUE></IMPRIME></RUBRIQUESTVA>");
    // No PARAMS: the parameter file has no credit box.
    const std::string donnees =
        dossier_.ecrire("d;\"2\".xml",
                        "<DONNEESTVA>\n<LIGNE COMPTE=\"707\" "
                        "MONTANT=\"-1234,56\" TYPETAUX=\"20\" CATEGORIEAV=\"V\"/></DONNEESTVA>");
    const std::string orphelins =
        "Sommes constatées par les clubs de jeux au titre des \"orphelins\"";
    const Textes calculer = {"calcul",  "--donnees",  donnees,    "--rubriques",
                             rubriques, "--resultat", resultat(), "--format"};
    const Textes expliquer = {"explique", "--donnees", donnees,   "--rubriques",
                              rubriques,  "CA3ASJ",    "--format"};
    const Textes verifier = {"verifier",  "--rubriques", rubriques,
                             "--donnees", donnees,       "--format"};
    struct Cas {
        Textes arguments;
        std::string format, colonne, valeur;
    };
    const Cas cas[] = {
        {calculer + Textes{"csv"}, "csv", "Intitulé", orphelins},
        {calculer + Textes{"json"}, "json", "intitule", orphelins},
        {expliquer + Textes{"csv"}, "csv", "Montant lu", "-1234,56"},
        {expliquer + Textes{"json"}, "json", "montant_lu", "-1234.56"},
        {expliquer + Textes{"csv"}, "csv", "Montant écrit", "-1234,56"},
        {verifier + Textes{"csv"}, "csv", "Fichier", donnees},
        {verifier + Textes{"json"}, "json", "fichier", donnees},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.arguments[0] + " " + c.format + " " + c.colonne);
        const Execution e = lancer(c.arguments);
        ASSERT_LT(e.code, 2) << e.erreurs;
        const auto lignes = relire(c.format, e.sortie);
        EXPECT_TRUE(std::any_of(lignes.begin(), lignes.end(), [&](const Ligne& l) {
            return l.count(c.colonne) && l.at(c.colonne) == c.valeur;
        })) << e.sortie;
    }
    // The quotes doubled inside a quoted field, as spreadsheets write them.
    EXPECT_NE(qxtva(calculer + Textes{"csv"}).sortie.find("des \"\"orphelins\"\"\""),
              std::string::npos);
}

// Every command takes the three formats; the JSON names its schema; a wrong
// format is wrong usage.
TEST_F(FormatsTest, EveryCommandWritesEachFormat) {
    const std::string d = kSamples + "/ca3/";
    ASSERT_EQ(lancer({"declarer", "--dossier", d + "dossier.xml", "--donnees", d + "donnees.xml",
                      "--rubriques", d + "rubriques.xml", "--resultat", chemin("r.xml"),
                      "--date-jour", "2026-12-05"})
                  .code,
              0);
    const std::string pivot = (boite_ / "ARD-20261205-0001.xml").string();
    qx::test::ecrireFichier(dossier_ / "m.csv", d + "donnees.xml;" + d + "rubriques.xml;l.xml\n");
    struct Cas {
        Textes arguments;
        std::string schema, colonne, valeur;  // a cell of the first row
    };
    const Cas cas[] = {
        {{"pivot", pivot}, "qxtva.rubriques", "code", "CA"},
        {{"reglements", pivot}, "qxtva.reglements", "montant", "584"},
        {{"verifier", "--rubriques", d + "rubriques.xml", "--donnees", d + "donnees.xml"},
         "qxtva.constats",
         "gravite",
         "remarque"},
        {{"explique", "--donnees", d + "donnees.xml", "--rubriques", d + "rubriques.xml", "CA3KE"},
         "qxtva.explication",
         "cle",
         "CA3KE"},
        {{"lot", "--manifeste", chemin("m.csv")}, "qxtva.lot", "du", "584"},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.arguments[0]);
        Ligne entete;
        const auto lignes =
            relire("json", lancer(c.arguments + Textes{"--format", "json"}).sortie, &entete);
        EXPECT_EQ(entete["schema"], c.schema);
        ASSERT_FALSE(lignes.empty());
        EXPECT_EQ(lignes[0].at(c.colonne), c.valeur);
        const auto csv = relire("csv", lancer(c.arguments + Textes{"--format", "csv"}).sortie);
        EXPECT_EQ(csv.size(), lignes.size());
        EXPECT_EQ(lancer(c.arguments + Textes{"--format", "xml"}).code, 64);
    }
}

}  // namespace
