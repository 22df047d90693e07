// The result file: content, encoding, replacement and failures.
#include <gtest/gtest.h>

#include "engine/calcul_tva.h"
#include "engine/engine_test_util.h"
#include "platform/thread_state.h"

namespace qx {
namespace {

using test::DossierTemporaire;
using test::erreurDe;
using test::lireFichier;

const char* const kEntete = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n";

class ArchiveTest : public ::testing::Test {
  protected:
    void SetUp() override {
        DefinirTypeDeclaration("CA3");
        Acomptes() = TableAcomptes{};
    }
    void TearDown() override { DefinirTypeDeclaration(""); }

    std::shared_ptr<CCalculTVA> calculer(const std::string& rubriques, const std::string& donnees,
                                         const std::string& resultat) {
        auto moteur = CCalculTVA::Creer();
        moteur->Init(dossier.ecrire("d.xml", donnees), dossier.ecrire("p.xml", rubriques),
                     resultat);
        return moteur;
    }
    DossierTemporaire dossier;
};

TEST_F(ArchiveTest, WritesEveryRubricInOrderInLatin1) {
    const std::string resultat = dossier.chemin("resultat.xml");
    auto moteur = calculer(R"(<R><IMPRIME CODE="CA3">
        <RUBRIQUE CODE="FP"><LIGNE COMPTE="70"/></RUBRIQUE>
        <RUBRIQUE CODE="GP"><LIGNE COMPTE="4457"/></RUBRIQUE>
        <RUBRIQUE CODE="NOM" TYPE="T"/>
        <RUBRIQUE CODE="DT" TYPE="D"/>
        </IMPRIME><IMPRIME CODE="CA3A"><RUBRIQUE CODE="X1"/></IMPRIME></R>)",
                           R"(<D><LIGNE COMPTE="706" MONTANT="12 345,6"/>
                              <LIGNE COMPTE="4457" MONTANT="2468"/></D>)",
                           resultat);
    auto rubriques = moteur->Rubriques();
    rubriques->Item(Value("CA3NOM"))->SetAsXML("Société \"A&B\" <€>");
    rubriques->Item(Value("CA3DT"))->SetAsXML("2026-11-30");
    rubriques->Item(Value("CA3AX1"))->SetValeur(Value(-0.25));
    std::string avant = lireFichier(resultat);
    EXPECT_TRUE(avant.empty());
    ASSERT_TRUE(moteur->Archive());
    // 12346 x 0.2 = 2469.2: the check forced GP from 2468 to 2469.
    const std::string attendu =
        std::string(kEntete) +
        "<RESULTATTVA>"
        "<RUBRIQUE CODEIMPRIME=\"CA3\" CODERUBRIQUE=\"FP\" VALEUR=\"12346\" FORCE=\"0\"/>"
        "<RUBRIQUE CODEIMPRIME=\"CA3\" CODERUBRIQUE=\"GP\" VALEUR=\"2469\" FORCE=\"1\"/>"
        "<RUBRIQUE CODEIMPRIME=\"CA3\" CODERUBRIQUE=\"NOM\" VALEUR=\"Soci\xE9t\xE9 "
        "&quot;A&amp;B&quot; "
        "&lt;&#8364;&gt;\" FORCE=\"1\"/>"
        "<RUBRIQUE CODEIMPRIME=\"CA3\" CODERUBRIQUE=\"DT\" VALEUR=\"2026-11-30\" FORCE=\"1\"/>"
        "<RUBRIQUE CODEIMPRIME=\"CA3A\" CODERUBRIQUE=\"X1\" VALEUR=\"-0.25\" FORCE=\"1\"/>"
        "</RESULTATTVA>\n";
    EXPECT_EQ(lireFichier(resultat), attendu);

    // A second call replaces the file with the values of that moment.
    rubriques->Remove(Value("CA3NOM"));
    rubriques->Remove(Value(int32_t{1}));
    ASSERT_TRUE(moteur->Archive());
    EXPECT_EQ(lireFichier(resultat),
              std::string(kEntete) +
                  "<RESULTATTVA>"
                  "<RUBRIQUE CODEIMPRIME=\"CA3\" CODERUBRIQUE=\"GP\" VALEUR=\"2469\" FORCE=\"1\"/>"
                  "<RUBRIQUE CODEIMPRIME=\"CA3\" CODERUBRIQUE=\"DT\" VALEUR=\"2026-11-30\" "
                  "FORCE=\"1\"/>"
                  "<RUBRIQUE CODEIMPRIME=\"CA3A\" CODERUBRIQUE=\"X1\" VALEUR=\"-0.25\" "
                  "FORCE=\"1\"/>"
                  "</RESULTATTVA>\n");
}

TEST_F(ArchiveTest, NoRubricGivesAnEmptyRoot) {
    const std::string resultat = dossier.ecrire("resultat.xml", "ancien contenu");
    auto moteur = calculer("<RUBRIQUESTVA/>", "<DONNEESTVA/>", resultat);
    ASSERT_TRUE(moteur->Archive());
    EXPECT_EQ(lireFichier(resultat), std::string(kEntete) + "<RESULTATTVA/>\n");
}

TEST_F(ArchiveTest, FailuresAreRaisedWithThePath) {
    dossier.ecrire("fichier", "x");
    struct Cas {
        const char* nom;
        std::string chemin;
    };
    const std::vector<Cas> cas = {
        {"chemin vide", ""},
        {"dossier absent", dossier.chemin("absent/resultat.xml")},
        {"un dossier", dossier.racine().string()},
        {"sous un fichier", dossier.chemin("fichier") + "/resultat.xml"},
    };
    for (const Cas& k : cas) {
        auto moteur =
            calculer("<R><IMPRIME CODE='CA3'><RUBRIQUE CODE='A'/></IMPRIME></R>", "<D/>", k.chemin);
        Error e = erreurDe([&] { moteur->Archive(); });
        EXPECT_EQ(e.number(), 75) << k.nom;
        EXPECT_EQ(e.description().rfind(
                      "Impossible d'enregistrer le fichier résultat '" + k.chemin + "' : ", 0),
                  0u)
            << k.nom << ": " << e.description();
    }
    // Before any Init the result path is empty.
    EXPECT_EQ(erreurDe([] { CCalculTVA::Creer()->Archive(); }).number(), 75);
}

TEST_F(ArchiveTest, OldFileIsDeletedEvenWhenTheNewOneFails) {
    const std::string resultat = dossier.ecrire("resultat.xml", "ancien");
    auto moteur = calculer("<R><IMPRIME CODE='CA3'><RUBRIQUE CODE='DT' TYPE='D'/></IMPRIME></R>",
                           "<D/>", resultat);
    // A date rubric holding a text that is no date has no exchange text.
    moteur->Rubriques()->Item(Value("CA3DT"))->SetValeur(Value("pas une date"));
    Error e = erreurDe([&] { moteur->Archive(); });
    EXPECT_EQ(e.number(), 13);
    EXPECT_FALSE(std::filesystem::exists(resultat));
}

}  // namespace
}  // namespace qx
