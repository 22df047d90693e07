// The result file: content, encoding, replacement and failures.
#include <gtest/gtest.h>

#include "engine/engine_test_util.h"
#include "platform/thread_state.h"

namespace qx {
namespace {

using namespace test;

const std::string kEntete = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n";

std::shared_ptr<CCalculTVA> calculer(const DossierTemporaire& d, const std::string& rubriques,
                                     const std::string& donnees, const std::string& resultat) {
    DefinirTypeDeclaration("CA3");
    auto moteur = CCalculTVA::Creer();
    moteur->Init(ecrire(d, "d.xml", donnees), ecrire(d, "p.xml", rubriques), resultat);
    DefinirTypeDeclaration("");
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
    const std::string resultat = chemin(d, "resultat.xml");
    auto moteur = calculer(d, R"(<R><IMPRIME CODE="CA3">
        <RUBRIQUE CODE="FP"><LIGNE COMPTE="70"/></RUBRIQUE>
        <RUBRIQUE CODE="GP"><LIGNE COMPTE="4457"/></RUBRIQUE>
        <RUBRIQUE CODE="NOM" TYPE="T"/><RUBRIQUE CODE="DT" TYPE="D"/>
        </IMPRIME><IMPRIME CODE="CA3A"><RUBRIQUE CODE="X1"/></IMPRIME></R>)",
                           R"(<D><LIGNE COMPTE="706" MONTANT="12 345,6"/>
                              <LIGNE COMPTE="4457" MONTANT="2468"/></D>)",
                           resultat);
    auto rubriques = moteur->Rubriques();
    rubriques->Item(Value("CA3NOM"))->SetAsXML("Société \"A&B\" <€>");
    rubriques->Item(Value("CA3DT"))->SetAsXML("2026-11-30");
    rubriques->Item(Value("CA3AX1"))->SetValeur(Value(-0.25));
    ASSERT_TRUE(moteur->Archive());
    // 12346 x 0.2 = 2469.2: the check forced GP from 2468 to 2469.
    const std::string gp = element("CA3", "GP", "2469", true),
                      fin = element("CA3", "DT", "2026-11-30", true) +
                            element("CA3A", "X1", "-0.25", true) + "</RESULTATTVA>\n";
    EXPECT_EQ(lireFichier(resultat),
              kEntete + "<RESULTATTVA>" + element("CA3", "FP", "12346", false) + gp +
                  element("CA3", "NOM", "Soci\xE9t\xE9 &quot;A&amp;B&quot; &lt;&#8364;&gt;", true) +
                  fin);

    // A second call replaces the file with the values of that moment.
    rubriques->Remove(Value("CA3NOM"));
    rubriques->Remove(Value(int32_t{1}));
    ASSERT_TRUE(moteur->Archive());
    EXPECT_EQ(lireFichier(resultat), kEntete + "<RESULTATTVA>" + gp + fin);

    // No rubric: an empty root.
    moteur = calculer(d, "<RUBRIQUESTVA/>", "<D/>", resultat);
    ASSERT_TRUE(moteur->Archive());
    EXPECT_EQ(lireFichier(resultat), kEntete + "<RESULTATTVA/>\n");
}

TEST(ArchiveTest, FailuresAreRaisedWithThePath) {
    DossierTemporaire d;
    const std::string fichier = ecrire(d, "fichier", "x");
    for (const std::string& sortie :
         {std::string(), chemin(d, "absent/r.xml"), d.chemin().string(), fichier + "/r.xml"}) {
        auto moteur = calculer(d, "<R><IMPRIME CODE='CA3'><RUBRIQUE CODE='A'/></IMPRIME></R>",
                               "<D/>", sortie);
        const Error e = erreurDe([&] { moteur->Archive(); });
        const std::string debut =
            "Impossible d'enregistrer le fichier résultat '" + sortie + "' : ";
        EXPECT_EQ(std::to_string(e.number()) + " " + e.description().substr(0, debut.size()),
                  "75 " + debut);
    }
    // Before any Init the result path is empty.
    EXPECT_EQ(erreurDe([] { CCalculTVA::Creer()->Archive(); }).number(), 75);

    // The old file goes first, even when the new one then fails: a date
    // rubric holding a text that is no date has no exchange text.
    auto moteur = calculer(d, "<R><IMPRIME CODE='CA3'><RUBRIQUE CODE='DT' TYPE='D'/></IMPRIME></R>",
                           "<D/>", fichier);
    moteur->Rubriques()->Item(Value("CA3DT"))->SetValeur(Value("pas une date"));
    EXPECT_EQ(erreurDe([&] { moteur->Archive(); }).number(), 13);
    EXPECT_FALSE(std::filesystem::exists(fichier));
}

}  // namespace
}  // namespace qx
