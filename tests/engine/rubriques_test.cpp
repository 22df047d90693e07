// Loading the parameter file into the rubric collection: what is found, how
// it is keyed, how dependency lines are resolved, and every failure.
#include <gtest/gtest.h>

#include <cstring>

#include "engine/calcul_interne.h"
#include "engine/engine_test_util.h"

namespace qx {
namespace {

using namespace test;

// Rubrics 0..n-1 of form C, each feeding the next.
std::string chaine(int n) {
    std::string xml = "<R><IMPRIME CODE='C'>";
    for (int i = 0; i < n; ++i)
        xml += "<RUBRIQUE CODE='" + std::to_string(i) + "'><DEPENDANCE CODEIMPRIME='C'" +
               " CODERUBRIQUE='" + std::to_string(i + 1) + "'/></RUBRIQUE>";
    return xml + "<RUBRIQUE CODE='" + std::to_string(n) + "'/></IMPRIME></R>";
}

constexpr uint32_t kParseur = 1;  // any number of the XML parser's

TEST(ChargerFichierTest, FailuresCarryTheirNumbersAndKeepEarlierRubrics) {
    // Parameters, number (0: they load), start of the description, rubrics
    // kept (null: not compared).
    const std::tuple<std::string, uint32_t, const char*, const char*> cas[] = {
        {"<R><IMPRIME CODE='CA3'><RUBRIQUE CODE='A'/></IMPRIME><IMPRIME><RUBRIQUE CODE='B'/>"
         "</IMPRIME></R>",
         94, "Utilisation incorrecte de Null", "CA3A=0"},
        {"<R><IMPRIME CODE='CA3'><RUBRIQUE CODE='HD'/><RUBRIQUE CODE='X'/>"
         "<RUBRIQUE CODE='hd' TYPE='T'/></IMPRIME></R>",
         457, "Cette clé est déjà associée à un élément de cette collection", "CA3HD=0 CA3X=0"},
        // A parse failure wins over the failures before it and adds nothing.
        {"<R><IMPRIME CODE='A'><RUBRIQUE CODE='1'/><RUBRIQUE CODE='2' LONGUEUR='x'/><IMPRIME/>"
         "</IMPRIME>\n<RUBRIQUE></R>",
         kParseur, "Erreur de chargement document XML des rubriques (fichier ligne 2) \r", ""},
        // A nested form comes after all of the outer form's rubrics: a failure
        // there keeps the outer ones, even those the file holds after it...
        {"<R><IMPRIME CODE='A'><RUBRIQUE CODE='1'/><IMPRIME CODE='B'><RUBRIQUE CODE='1'/>"
         "<RUBRIQUE CODE='2' LONGUEUR='x'/></IMPRIME><RUBRIQUE CODE='2'/></IMPRIME></R>",
         13, "Incompatibilité de type", "A1=0 A2=0 B1=0"},
        // ...and a failure in the outer form wins over one the file holds before it.
        {"<R><IMPRIME CODE='A'><RUBRIQUE CODE='1'/><IMPRIME CODE='B'><RUBRIQUE CODE='1'/>"
         "<RUBRIQUE CODE='2' LONGUEUR='x'/></IMPRIME><RUBRIQUE CODE='2' LONGUEUR='40000'/>"
         "</IMPRIME></R>",
         6, "Dépassement de capacité", "A1=0"},
        // Cycles, whatever the case of the target, the types of the rubrics
        // and the form elements they are spread over; a diamond is none.
        {"<R><IMPRIME CODE='CA3'><RUBRIQUE CODE='GH' TYPE='T'>"
         "<DEPENDANCE CODEIMPRIME='CA3' CODERUBRIQUE='ka'/></RUBRIQUE>"
         "<RUBRIQUE CODE='X'><DEPENDANCE CODEIMPRIME='CA3' CODERUBRIQUE='GH'/></RUBRIQUE>"
         "</IMPRIME><IMPRIME CODE='CA3'><RUBRIQUE CODE='KA' TYPE='D'>"
         "<DEPENDANCE CODEIMPRIME='CA3' CODERUBRIQUE='X'/></RUBRIQUE></IMPRIME></R>",
         5, "Dépendance circulaire entre les rubriques CA3GH -> CA3KA -> CA3X -> CA3GH", nullptr},
        {"<R><IMPRIME CODE='F'><RUBRIQUE CODE='A'><DEPENDANCE CODEIMPRIME='F' CODERUBRIQUE='B'/>"
         "<DEPENDANCE CODEIMPRIME='F' CODERUBRIQUE='C'/></RUBRIQUE><RUBRIQUE CODE='B'>"
         "<DEPENDANCE CODEIMPRIME='F' CODERUBRIQUE='D'/></RUBRIQUE><RUBRIQUE CODE='C'>"
         "<DEPENDANCE CODEIMPRIME='F' CODERUBRIQUE='D'/></RUBRIQUE><RUBRIQUE CODE='D'/>"
         "</IMPRIME></R>",
         0, "", "FA=0 FB=0 FC=0 FD=0"},
        // A change may travel 1000 steps: one more is refused at load, not mid-pass.
        {chaine(1000), 0, "", nullptr},
        {chaine(1001), 5,
         "Chaîne de dépendances trop longue à partir de la rubrique C0 : plus de 1000 étapes",
         nullptr},
    };
    for (const auto& [contenu, numero, description, restantes] : cas) {
        DossierTemporaire d;
        auto moteur = CCalculTVA::Creer();
        Error e = erreurDe([&] {
            CalculInterne::ChargerFichier(*moteur->Rubriques(), d.ecrire("p.xml", contenu));
        });
        const uint32_t n = static_cast<uint32_t>(e.number());
        EXPECT_EQ(numero == kParseur ? n & 0xFFFFFF00u : n,
                  numero == kParseur ? 0xC00CE500u : numero)
            << description;
        EXPECT_EQ(e.description().substr(0, std::strlen(description)), description);
        EXPECT_TRUE(numero != kParseur || e.description().size() > std::strlen(description));
        EXPECT_EQ(restantes ? resume(*moteur->Rubriques()) : "", restantes ? restantes : "")
            << description;
    }
}

TEST(ChargerFichierTest, NestedFormsComeAfterTheRubricsOfTheFormAroundThem) {
    // Parameters, then each rubric as key:lines:targets of its dependency lines.
    const std::pair<const char*, const char*> cas[] = {
        {"<R><IMPRIME CODE='A'><RUBRIQUE CODE='1'><DEPENDANCE CODEIMPRIME='B' CODERUBRIQUE='1'/>"
         "</RUBRIQUE><IMPRIME CODE='B'><RUBRIQUE CODE='1'/></IMPRIME><RUBRIQUE CODE='2'/>"
         "</IMPRIME><IMPRIME CODE='C'><RUBRIQUE CODE='1'/></IMPRIME></R>",
         "A1:0:B1 A2:0: B1:0: C1:0:"},
        // A form inside a rubric; the rubric's lines on either side of it count.
        {"<IMPRIME CODE='A'><RUBRIQUE CODE='1'><LIGNE/><IMPRIME CODE='B'><RUBRIQUE CODE='2'>"
         "<LIGNE/></RUBRIQUE></IMPRIME><LIGNE/></RUBRIQUE></IMPRIME>",
         "A1:2: B2:1:"},
        // Forms are found at any depth; a rubric that is no direct child of a
        // form is ignored, not the forms inside it; a rubric without a code is kept.
        {"<R><RUBRIQUE CODE='X'><IMPRIME CODE='Z'><RUBRIQUE CODE='1'/></IMPRIME></RUBRIQUE><G>"
         "<IMPRIME CODE='Y'><G><RUBRIQUE CODE='0'/></G><RUBRIQUE CODE='2'/></IMPRIME></G>"
         "<IMPRIME CODE='W'><RUBRIQUE/></IMPRIME></R>",
         "Z1:0: Y2:0: W:0:"},
    };
    for (const auto& [contenu, attendu] : cas) {
        DossierTemporaire d;
        std::string vu;
        auto moteur = charger(d, contenu);
        for (const auto& r : moteur->Rubriques()->NewEnum()) {
            EXPECT_TRUE(r->CalculTVA() == moteur &&
                        moteur->Rubriques()->Item(Value(r->KeyRubrique())) == r);
            vu += (vu.empty() ? "" : " ") + r->KeyRubrique() + ":" +
                  std::to_string(r->LignesRubrique()->Count()) + ":";
            for (const auto& ligne : r->LignesDependance()->NewEnum())
                vu += ligne->RubriqueDep() ? ligne->RubriqueDep()->KeyRubrique() : "-";
        }
        EXPECT_EQ(vu, attendu) << contenu;
    }
}

}  // namespace
}  // namespace qx
