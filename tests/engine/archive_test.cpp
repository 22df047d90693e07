// The result file: content, encoding, replacement and failures.
#include "engine/engine_test_util.h"

namespace qx {
namespace {

using namespace test;

std::shared_ptr<CCalculTVA> calculer(const DossierTemporaire& d, const std::string& rubriques,
                                     const std::string& donnees, const std::string& resultat) {
    auto moteur = CCalculTVA::Creer();
    moteur->Init(d.ecrire("d.xml", donnees), d.ecrire("p.xml", rubriques), resultat);
    return moteur;
}

// One result element, as the file spells it.
std::string element(const std::string& imprime, const std::string& code, const std::string& valeur,
                    bool force) {
    return "<RUBRIQUE CODEIMPRIME=\"" + imprime + "\" CODERUBRIQUE=\"" + code + "\" VALEUR=\"" +
           valeur + "\" FORCE=\"" + (force ? "1" : "0") + "\"/>";
}

TEST(ArchiveTest, WritesEveryRubricInOrderInLatin1) {
    DossierTemporaire d;
    const std::string resultat = chemin(d, "resultat.xml"),
                      entete = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n";
    auto moteur = calculer(d,
                           "<R><IMPRIME CODE='CA3'><RUBRIQUE CODE='FP'><LIGNE COMPTE='70'/>"
                           "</RUBRIQUE><RUBRIQUE CODE='NOM' TYPE='T'/><RUBRIQUE CODE='DT' "
                           "TYPE='D'/></IMPRIME><IMPRIME CODE='CA3A'><RUBRIQUE CODE='X1'/>"
                           "</IMPRIME></R>",
                           "<D><LIGNE COMPTE='706' MONTANT='12 345,6'/></D>", resultat);
    auto rubriques = moteur->Rubriques();
    rubriques->Item(Value("CA3NOM"))->SetAsXML("Société \"A&B\" <€>");
    rubriques->Item(Value("CA3DT"))->SetAsXML("2026-11-30");
    rubriques->Item(Value("CA3AX1"))->SetValeur(Value(-0.25));
    ASSERT_TRUE(moteur->Archive());
    const std::string fin = element("CA3", "DT", "2026-11-30", true) +
                            element("CA3A", "X1", "-0.25", true) + "</RESULTATTVA>\n";
    EXPECT_EQ(lireFichier(resultat),
              entete + "<RESULTATTVA>" + element("CA3", "FP", "12346", false) +
                  element("CA3", "NOM", "Soci\xE9t\xE9 &quot;A&amp;B&quot; &lt;&#8364;&gt;", true) +
                  fin);

    // Each call replaces the file with the values of that moment.
    rubriques->Remove(Value("CA3NOM"));
    rubriques->Remove(Value(int32_t{1}));
    ASSERT_TRUE(moteur->Archive());
    EXPECT_EQ(lireFichier(resultat), entete + "<RESULTATTVA>" + fin);
}

TEST(ArchiveTest, FailuresKeepTheOldFileAndNeverTouchTheFilesRead) {
    DossierTemporaire d;
    const std::string rubriques =
        "<R><IMPRIME CODE='CA3'><RUBRIQUE CODE='DT' TYPE='D'/></IMPRIME></R>";
    const std::string donnees = chemin(d, "d.xml"), parametres = chemin(d, "p.xml");
    const std::pair<std::string, std::string> cas[] = {
        {donnees, "c'est le fichier lu « " + donnees + " »"},
        {d.chemin().string() + "/./p.xml", "c'est le fichier lu « " + parametres + " »"},
    };
    for (const auto& [sortie, raison] : cas) {
        auto moteur = calculer(d, rubriques, "<D/>", sortie);
        const Error e = erreurDe([&] { moteur->Archive(); });
        EXPECT_EQ(std::to_string(e.number()) + " " + e.description(),
                  "75 Impossible d'écrire le fichier « " + sortie + " » : " + raison);
        EXPECT_EQ(lireFichier(donnees), "<D/>");
        EXPECT_EQ(lireFichier(parametres), rubriques);
    }
    // A date rubric holding a text that is no date has no exchange text: the
    // call fails before writing and the old file stays.
    const std::string fichier = d.ecrire("fichier", "x");
    auto moteur = calculer(d, rubriques, "<D/>", fichier);
    moteur->Rubriques()->Item(Value("CA3DT"))->SetValeur(Value("pas une date"));
    EXPECT_EQ(erreurDe([&] { moteur->Archive(); }).number(), 13);
    EXPECT_EQ(lireFichier(fichier), "x");
}

}  // namespace
}  // namespace qx
