// The checks of parameter and data files on a table of broken files, each
// with the line and the message expected; the samples come out clean; a
// total that does not add up after rounding is reported, and the
// computation's own figures are those of a plain Init.
#include <gtest/gtest.h>

#include "checks/verification.h"
#include "engine/calcul_tva.h"
#include "engine/declaration_courante.h"
#include "engine/engine_test_util.h"

namespace qx {
namespace {

using test::DossierTemporaire;

// Parameter body from line 3, the credit rubric after it; data body from line 2.
std::string Parametres(const std::string& corps) {
    return "<RUBRIQUESTVA>\n<IMPRIME CODE=\"CA3\">\n" + corps +
           "<RUBRIQUE CODE=\"HD\"/>\n</IMPRIME>\n</RUBRIQUESTVA>\n";
}
std::string Donnees(const std::string& corps) {
    return "<DONNEESTVA>\n" + corps + "</DONNEESTVA>\n";
}

const std::string kCA =
    "<RUBRIQUE CODE=\"CA\">\n<LIGNE COMPTE=\"707\" TYPETAUX=\"20\" "
    "CATEGORIEAV=\"V\" SENS=\"-1\"/>\n</RUBRIQUE>\n";
const std::string kParams = "<PARAMS CREDITTVA=\"0\"/>\n";
const std::string kPCA = Parametres(kCA);
// The rubric CA with one account line (line 4); data of one line (line 2).
std::string ligneCA(const std::string& attributs) {
    return Parametres("<RUBRIQUE CODE=\"CA\">\n<LIGNE " + attributs + "/>\n</RUBRIQUE>\n");
}
std::string ligne(const std::string& attributs) {
    return Donnees("<LIGNE " + attributs + "/>\n");
}

struct Cas {
    std::string parametres, donnees;
    char fichier;  // 'R' parameter file, 'D' data file
    int ligne;
    Gravite gravite;
    std::string extrait;
    std::string type = "CA3";
};

class VerificationTest : public ::testing::Test {
protected:
    void TearDown() override { DefinirTypeDeclaration(""); }
    DossierTemporaire dossier_;
};

TEST_F(VerificationTest, EachBrokenFileIsReportedAtItsLine) {
    const auto E = Gravite::Erreur, A = Gravite::Avertissement, N = Gravite::Remarque;
    const Cas cas[] = {
        // Parameter file.
        {Parametres("<RUBRIQUE CODE=\"CA\">\n<LIGNEE COMPTE=\"707\"/>\n</RUBRIQUE>\n"), "", 'R', 4,
         A, "élément LIGNEE inconnu, ignoré : vouliez-vous dire LIGNE ?"},
        {Parametres("<RUBRIQUE CODE=\"CA\" LONGEUR=\"3\"/>\n"), "", 'R', 3, A,
         "attribut LONGEUR inconnu sur RUBRIQUE, ignoré : vouliez-vous dire LONGUEUR ?"},
        {ligneCA("TYPETAUX=\"9\" CATEGORIEAV=\"9\""), "", 'R', 4, E,
         "LIGNE sans COMPTE dans CA3CA : elle prend tous les comptes"},
        {ligneCA("COMPTE=\"\" TYPETAUX=\"9\" CATEGORIEAV=\"9\""), "", 'R', 4, E,
         "LIGNE avec un COMPTE vide"},
        {ligneCA("COMPTE=\"7\" TYPETAUX=\"9\" CATEGORIEAV=\"9\" SENS=\"-01\""), "", 'R', 4, E,
         "SENS « -01 » est lu comme 1"},
        {ligneCA("COMPTE=\"7\" TYPETAUX=\"9\" CATEGORIEAV=\"9\" TYPECUMUL=\"2\""), "", 'R', 4, A,
         "TYPECUMUL « 2 » est lu comme 1"},
        {Parametres("<RUBRIQUE CODE=\"CA\">\n<DEPENDANCE CODEIMPRIME=\"CA3\" "
                    "CODERUBRIQUE=\"HE\"/>\n</RUBRIQUE>\n"),
         "", 'R', 4, E,
         "DEPENDANCE de CA3CA vers CA3HE (CODEIMPRIME « CA3 », CODERUBRIQUE « HE ») : aucune "
         "rubrique de cette clé, les montants sont perdus : vouliez-vous dire CA3HD ?"},
        {Parametres("<RUBRIQUE CODE=\"A\">\n<DEPENDANCE CODEIMPRIME=\"CA3\" CODERUBRIQUE=\"B\"/>\n"
                    "</RUBRIQUE>\n<RUBRIQUE CODE=\"B\">\n<DEPENDANCE CODEIMPRIME=\"CA3\" "
                    "CODERUBRIQUE=\"a\"/>\n</RUBRIQUE>\n"),
         "", 'R', 7, E, "dépendance circulaire CA3A -> CA3B -> CA3A"},
        {Parametres("<RUBRIQUE CODE=\"CA\"/>\n<RUBRIQUE CODE=\"ca\"/>\n"), "", 'R', 4, E,
         "la rubrique CA3ca est déjà définie ligne 3 : le chargement du paramétrage échoue "
         "(erreur 457)"},
        {ligneCA("COMPTE=\"70\" TYPETAUX=\"9\" CATEGORIEAV=\"9\"/>\n<LIGNE COMPTE=\"707\" "
                 "TYPETAUX=\"20\" CATEGORIEAV=\"V\""),
         "", 'R', 5, A, "que la ligne 4 (COMPTE « 70 ») prend déjà : ils sont comptés deux fois"},
        {Parametres("<RUBRIQUE CODE=\"CA\" TYPE=\"T\">\n<LIGNE COMPTE=\"7\" TYPETAUX=\"9\" "
                    "CATEGORIEAV=\"9\"/>\n</RUBRIQUE>\n"),
         "", 'R', 4, A, "la rubrique CA3CA est de type texte : ses lignes de compte"},
        {Parametres("<RUBRIQUE CODE=\"GB\"/>\n"), "", 'R', 3, A,
         "contrôle base × taux à 5,5 % : CA3GB est définie mais CA3FB est absente"},
        {Parametres("<RUBRIQUE CODE=\"CA\" LONGUEUR=\"abc\"/>\n"), "", 'R', 3, E,
         "LONGUEUR « abc » : le chargement du paramétrage échoue (erreur 13"},
        {Parametres("<RUBRIQUE CODE=\"CA\" CONDITION=\"positif\"/>\n"), "", 'R', 3, A,
         "CONDITION « positif » sans effet"},
        {Parametres("<IMPRIME>\n"), "", 'R', 3, E, "IMPRIME sans CODE"},
        {Parametres("<RUBRIQUE CODE=\"CA\">\n"), "", 'R', 5, E, "XML mal formé"},
        {kPCA, Donnees(kParams), 'R', 4, N,
         "TYPETAUX « 20 » (1 ligne) : aucune ligne du fichier de données ne le porte"},
        {kPCA, Donnees(kParams), 'R', 0, E,
         "la rubrique de crédit CA12KA de la déclaration CA12 est absente : le calcul échoue",
         "CA12"},
        // Data file.
        {kPCA, Donnees("<LIGNEE COMPTE=\"707\" MONTANT=\"-10\"/>\n"), 'D', 2, A,
         "élément LIGNEE inconnu, ignoré : vouliez-vous dire LIGNE ?"},
        {kPCA, ligne("COMPTE=\"707\" MONTNAT=\"-10\" TYPETAUX=\"20\" CATEGORIEAV=\"V\""), 'D', 2, A,
         "attribut MONTNAT inconnu sur LIGNE, ignoré : vouliez-vous dire MONTANT ?"},
        {kPCA, ligne("COMPTE=\"707\" MONTNAT=\"-10\" TYPETAUX=\"20\" CATEGORIEAV=\"V\""), 'D', 2, A,
         "LIGNE sans MONTANT : elle n'ajoute rien"},
        {kPCA, ligne("MONTANT=\"-10\" TYPETAUX=\"20\" CATEGORIEAV=\"V\""), 'D', 2, A,
         "LIGNE sans COMPTE"},
        {kPCA, ligne("COMPTE=\"707\" MONTANT=\"-10\" TYPETAUX=\"20\" CATEGORIEAV=\"v\""), 'D', 2, A,
         "CATEGORIEAV « v » : aucune ligne de compte ne prend cette catégorie, les montants sont "
         "perdus (1 ligne, total -10) : vouliez-vous dire V ?"},
        {kPCA,
         Donnees("\n<LIGNE COMPTE=\"707\" MONTANT=\"-10\" TYPETAUX=\"196\" CATEGORIEAV=\"V\"/>\n"
                 "<LIGNE COMPTE=\"707\" MONTANT=\"-5,5\" TYPETAUX=\"196\" CATEGORIEAV=\"V\"/>\n"),
         'D', 3, A,
         "TYPETAUX « 196 » : aucune ligne de compte ne prend ce type de taux, les "
         "montants sont perdus (2 lignes, total -15,5)"},
        {kPCA, ligne("COMPTE=\"445 711\" MONTANT=\"-2\" TYPETAUX=\"20\" CATEGORIEAV=\"V\""), 'D', 2,
         A, "COMPTE « 445 711 » contient une espace"},
        {kPCA, ligne("COMPTE=\"445711\" MONTANT=\"-2\" TYPETAUX=\"20\" CATEGORIEAV=\"V\""), 'D', 2,
         A,
         "COMPTE « 445711 » : compte de TVA dont les montants n'alimentent aucune rubrique (1 "
         "ligne, total -2)"},
        {kPCA, ligne("COMPTE=\"707\" MONTANT=\"-2.000,40\""), 'D', 2, E,
         "MONTANT « -2.000,40 » est lu -2 : le second séparateur décimal arrête la lecture"},
        {kPCA, ligne("COMPTE=\"707\" MONTANT=\"2000.00-\""), 'D', 2, E,
         "MONTANT « 2000.00- » est lu 2000 : le signe en fin de montant est ignoré"},
        {kPCA, ligne("COMPTE=\"707\" MONTANT=\"(2000.00)\""), 'D', 2, E,
         "MONTANT « (2000.00) » est lu 0 : les parenthèses ne se lisent pas"},
        {kPCA, ligne("COMPTE=\"707\" MONTANT=\"1e3\""), 'D', 2, E,
         "MONTANT « 1e3 » est lu 1 : l'exposant « e3 » est ignoré"},
        {kPCA, ligne("COMPTE=\"707\" MONTANT=\"12 abc\""), 'D', 2, E,
         "la lecture s'arrête au caractère « a »"},
        {kPCA, Donnees(kParams + kParams), 'D', 3, A, "PARAMS déjà donné ligne 2"},
        {kPCA, Donnees(""), 'D', 0, A, "aucun élément PARAMS"},
        {kPCA, Donnees("<PARAMS CREDITTVA=\"1.000,5\"/>\n"), 'D', 2, E,
         "CREDITTVA « 1.000,5 » est lu 1"},
        {kPCA, Donnees("<PARAMS CREDITTVA=\"0\" DATEDEBUT=\"2026-02-30\"/>\n"), 'D', 2, A,
         "DATEDEBUT « 2026-02-30 » n'est pas une date AAAA-MM-JJ valide"},
        {kPCA,
         Donnees("<PARAMS CREDITTVA=\"0\" DATEDEBUT=\"2026-11-01\" DATEFIN=\"2026-10-31\"/>\n"),
         'D', 2, A, "période à l'envers : DATEFIN 2026-10-31 précède DATEDEBUT 2026-11-01"},
        {kPCA, Donnees("<LIGNE COMPTE=\"707\" MONTANT=\"-10\"\n"), 'D', 3, E, "XML mal formé"},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.extrait);
        DefinirTypeDeclaration(c.type);
        const std::string rubriques = dossier_.ecrire("r.xml", c.parametres);
        const std::string donnees = c.donnees.empty() ? "" : dossier_.ecrire("d.xml", c.donnees);
        const Verification v = VerifierFichiers(rubriques, donnees);
        const std::string fichier = c.fichier == 'R' ? rubriques : donnees;
        std::string lus;
        bool trouve = false;
        for (const Constat& constat : v.constats) {
            lus += TexteConstat(constat) + "\n";
            trouve |= constat.fichier == fichier && constat.ligne == c.ligne &&
                      constat.gravite == c.gravite &&
                      constat.message.find(c.extrait) != std::string::npos;
        }
        EXPECT_TRUE(trouve) << lus;
    }
}

// Nothing but remarks on the samples, and a clean amount with its currency.
TEST_F(VerificationTest, SamplesAndCleanAmountsGiveNoWarning) {
    const std::string samples = QX_SAMPLES_DIR;
    for (const std::string annee : {"ca3", "ca12"}) {
        SCOPED_TRACE(annee);
        DefinirTypeDeclaration(annee == "ca3" ? "CA3" : "CA12");
        const Verification v = Verifier(samples + "/" + annee + "/donnees.xml",
                                        samples + "/" + annee + "/rubriques.xml");
        EXPECT_EQ(v.nombre(Gravite::Erreur) + v.nombre(Gravite::Avertissement), 0)
            << (v.constats.empty() ? "" : TexteConstat(v.constats.front()));
    }
    DefinirTypeDeclaration("CA3");
    const Verification v = VerifierFichiers(
        dossier_.ecrire("r.xml", kPCA),
        dossier_.ecrire("d.xml", Donnees(kParams + "<LIGNE COMPTE=\"707\" MONTANT=\"-1 234,5 EUR\" "
                                                   "TYPETAUX=\"20\" CATEGORIEAV=\"V\"/>\n")));
    EXPECT_TRUE(v.constats.empty()) << TexteConstat(v.constats.front());
}

// P and Q are rounded before the later rubrics that feed them round and carry
// their own difference in: the second pass rounds P, Q and T apart, and
// T = P - Q no longer holds. Reported, not corrected; the box too short for
// its value as well.
TEST_F(VerificationTest, TotalThatDoesNotAddUpIsReportedNotChanged) {
    DefinirTypeDeclaration("CA3A");
    const std::string rubriques = dossier_.ecrire(
        "r.xml",
        "<RUBRIQUESTVA><IMPRIME CODE=\"X\">\n"
        "<RUBRIQUE CODE=\"P\"><LIGNE COMPTE=\"9999\" TYPETAUX=\"9\" CATEGORIEAV=\"9\"/>"
        "<DEPENDANCE CODEIMPRIME=\"X\" CODERUBRIQUE=\"T\"/></RUBRIQUE>\n"
        "<RUBRIQUE CODE=\"Q\"><LIGNE COMPTE=\"9999\" TYPETAUX=\"9\" CATEGORIEAV=\"9\"/>"
        "<DEPENDANCE CODEIMPRIME=\"X\" CODERUBRIQUE=\"T\" SENS=\"-1\"/></RUBRIQUE>\n"
        "<RUBRIQUE CODE=\"T\" LONGUEUR=\"3\"/>\n"
        "<RUBRIQUE CODE=\"Y1\"><LIGNE COMPTE=\"701\" TYPETAUX=\"9\" CATEGORIEAV=\"9\"/>"
        "<DEPENDANCE CODEIMPRIME=\"X\" CODERUBRIQUE=\"P\"/></RUBRIQUE>\n"
        "<RUBRIQUE CODE=\"Y2\"><LIGNE COMPTE=\"702\" TYPETAUX=\"9\" CATEGORIEAV=\"9\"/>"
        "<DEPENDANCE CODEIMPRIME=\"X\" CODERUBRIQUE=\"Q\"/></RUBRIQUE>\n"
        "</IMPRIME></RUBRIQUESTVA>\n");
    const std::string donnees = dossier_.ecrire(
        "d.xml", Donnees("<LIGNE COMPTE=\"701\" MONTANT=\"2275.4\"/><LIGNE COMPTE=\"702\" "
                         "MONTANT=\"750.6\"/>\n"));
    const Verification v = Verifier(donnees, rubriques);
    std::string lus;
    for (const Constat& c : v.constats) lus += TexteConstat(c) + "\n";
    for (const char* constat : {"XT vaut 1523 alors que XP (2275) − XQ (751) = 1524",
                                "la valeur « 1523 » de XT a 4 caractères pour une LONGUEUR de 3"})
        EXPECT_NE(lus.find(rubriques + ":4: avertissement: " + constat), std::string::npos) << lus;

    auto calcul = CCalculTVA::Creer();
    calcul->Init(donnees, rubriques, "");
    EXPECT_EQ(calcul->Rubriques()->Item(Value("XT"))->AsDouble(), 1523);
}

}  // namespace
}  // namespace qx
