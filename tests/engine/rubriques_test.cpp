// Loading the parameter file into the rubric collection: what is found,
// how it is keyed, how dependency lines are resolved, and every failure.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "engine/calcul_tva.h"
#include "engine/engine_test_util.h"
#include "platform/message_box.h"
#include "platform/xml_scanner.h"

namespace qx {
namespace {

using test::DossierTemporaire;
using test::erreurDe;

struct Chargement {
    std::shared_ptr<CCalculTVA> moteur = CCalculTVA::Creer();
    std::shared_ptr<CRubriques> rubriques = moteur->Rubriques();
};

std::vector<std::string> cles(const CRubriques& rubriques) {
    std::vector<std::string> out;
    for (const auto& r : rubriques.NewEnum()) out.push_back(r->KeyRubrique());
    return out;
}

TEST(ChargerFichierTest, FindsFormsAtAnyDepthAndOnlyDirectChildren) {
    DossierTemporaire dossier;
    const std::string chemin = dossier.ecrire("p.xml", R"(<?xml version="1.0"?>
<AUTRE>
  <IMPRIME CODE="CA3">
    <RUBRIQUE CODE="CA" TYPE="n"><LIGNE COMPTE="706"/><X><LIGNE COMPTE="707"/></X></RUBRIQUE>
    <GROUPE><RUBRIQUE CODE="ZZ"/></GROUPE>
    <RUBRIQUE CODE="NOM" TYPE="T" LONGUEUR="12" CONDITION="POSITIF"/>
  </IMPRIME>
  <PROFOND><IMPRIME CODE="CA3A"><RUBRIQUE CODE="DT" TYPE="d"/></IMPRIME></PROFOND>
  <IMPRIME CODE="CA12"><RUBRIQUE/><RUBRIQUE CODE="KA" TYPE="X" LONGUEUR="-1"/></IMPRIME>
</AUTRE>)");
    Chargement c;
    c.rubriques->ChargerFichier(chemin);
    EXPECT_EQ(cles(*c.rubriques),
              (std::vector<std::string>{"CA3CA", "CA3NOM", "CA3ADT", "CA12", "CA12KA"}));

    auto ca = c.rubriques->Item(Value("ca3ca"));
    ASSERT_TRUE(ca);
    EXPECT_EQ(ca->TypeRubrique(), EnumRubrType_Nombre);
    EXPECT_EQ(ca->LignesRubrique()->Count(), 1);  // the nested LIGNE is not a direct child
    EXPECT_EQ(ca->CalculTVA().get(), c.moteur.get());

    struct Attendu {
        const char* cle;
        EnumRubriqueType type;
        int16_t longueur;
    };
    for (const Attendu& a :
         {Attendu{"CA3NOM", EnumRubrType_Texte, 12}, Attendu{"CA3ADT", EnumRubrType_Date, 10},
          Attendu{"CA12", EnumRubrType_Nombre, 9}, Attendu{"CA12KA", EnumRubrType_Nombre, 9}}) {
        auto r = c.rubriques->Item(Value(a.cle));
        ASSERT_TRUE(r) << a.cle;
        EXPECT_EQ(r->TypeRubrique(), a.type) << a.cle;
        EXPECT_EQ(r->Longueur(), a.longueur) << a.cle;
    }
    EXPECT_EQ(c.rubriques->Item(Value("CA3NOM"))->Condition(), "POSITIF");
}

TEST(ChargerFichierTest, ItemNeverRaisesAndIsKeyExistFollowsIt) {
    DossierTemporaire dossier;
    Chargement c;
    c.rubriques->ChargerFichier(dossier.ecrire(
        "p.xml",
        "<R><IMPRIME CODE='CA3'><RUBRIQUE CODE='HD'/><RUBRIQUE CODE='GH'/></IMPRIME></R>"));
    EXPECT_EQ(c.rubriques->Item(Value(int32_t{2}))->KeyRubrique(), "CA3GH");
    EXPECT_EQ(c.rubriques->Item(Value("ca3hd")), c.rubriques->Item(Value(int32_t{1})));
    for (const Value& absent : {Value("CA3XX"), Value(int32_t{0}), Value(int32_t{3}), Value()})
        EXPECT_FALSE(c.rubriques->Item(absent));
    EXPECT_TRUE(c.rubriques->IsKeyExist("Ca3Hd"));
    EXPECT_FALSE(c.rubriques->IsKeyExist("CA3"));
    EXPECT_FALSE(c.rubriques->IsKeyExist(""));
    EXPECT_EQ(erreurDe([&] { c.rubriques->Remove(Value("CA3XX")); }).number(), 5);
    c.rubriques->Remove(Value("CA3HD"));
    EXPECT_EQ(cles(*c.rubriques), std::vector<std::string>{"CA3GH"});
}

TEST(ChargerFichierTest, EmptyFileGivesEmptyCollection) {
    DossierTemporaire dossier;
    Chargement c;
    c.rubriques->ChargerFichier(dossier.ecrire("p.xml", "<RUBRIQUESTVA/>"));
    EXPECT_EQ(c.rubriques->Count(), 0);
}

TEST(ChargerFichierTest, FailuresCarryTheirNumbersAndKeepEarlierRubrics) {
    struct Cas {
        const char* nom;
        const char* contenu;
        int32_t numero;
        std::vector<std::string> restantes;
    };
    const std::vector<Cas> cas = {
        {"imprime sans code",
         "<R><IMPRIME CODE='CA3'><RUBRIQUE CODE='A'/></IMPRIME><IMPRIME><RUBRIQUE CODE='B'/>"
         "</IMPRIME></R>",
         94,
         {"CA3A"}},
        {"cle en double, casse ignoree",
         "<R><IMPRIME CODE='CA3'><RUBRIQUE CODE='HD'/><RUBRIQUE CODE='X'/>"
         "<RUBRIQUE CODE='hd' TYPE='T'/></IMPRIME></R>",
         457,
         {"CA3HD", "CA3X"}},
        {"cles jointes identiques",
         "<R><IMPRIME CODE='CA12'><RUBRIQUE CODE='KA'/></IMPRIME><IMPRIME CODE='CA1'>"
         "<RUBRIQUE CODE='2KA'/></IMPRIME></R>",
         457,
         {"CA12KA"}},
        {"longueur non numerique",
         "<R><IMPRIME CODE='CA3'><RUBRIQUE CODE='A'/><RUBRIQUE CODE='B' LONGUEUR='douze'/>"
         "</IMPRIME></R>",
         13,
         {"CA3A"}},
        {"longueur hors 16 bits",
         "<R><IMPRIME CODE='CA3'><RUBRIQUE CODE='B' LONGUEUR='40000'/></IMPRIME></R>",
         6,
         {}},
    };
    for (const Cas& k : cas) {
        DossierTemporaire dossier;
        Chargement c;
        Error e =
            erreurDe([&] { c.rubriques->ChargerFichier(dossier.ecrire("p.xml", k.contenu)); });
        EXPECT_EQ(e.number(), k.numero) << k.nom;
        EXPECT_FALSE(e.description().empty()) << k.nom;
        EXPECT_EQ(cles(*c.rubriques), k.restantes) << k.nom;
    }
    // The first of two equal keys stays, with its own type.
    DossierTemporaire dossier;
    Chargement c;
    EXPECT_THROW(c.rubriques->ChargerFichier(dossier.ecrire(
                     "p.xml",
                     "<R><IMPRIME CODE='CA3'><RUBRIQUE CODE='HD'/><RUBRIQUE CODE='hd' "
                     "TYPE='T'/></IMPRIME></R>")),
                 Error);
    EXPECT_EQ(c.rubriques->Item(Value("CA3HD"))->TypeRubrique(), EnumRubrType_Nombre);
}

TEST(ChargerFichierTest, ParseErrorNamesItsLine) {
    DossierTemporaire dossier;
    Chargement c;
    const std::string chemin =
        dossier.ecrire("p.xml",
                       "<R>\n<IMPRIME CODE='CA3'>\n<RUBRIQUE CODE='A'/>\n\n\n\n<RUBRIQUE CODE='B' "
                       "CODE='C'/>\n</IMPRIME></R>\n");
    Error e = erreurDe([&] { c.rubriques->ChargerFichier(chemin); });
    EXPECT_EQ(static_cast<uint32_t>(e.number()) & 0xFFFFFF00u, 0xC00CE500u);
    const std::string debut =
        "Erreur de chargement document XML des rubriques (fichier ligne 7) \r";
    ASSERT_EQ(e.description().rfind(debut, 0), 0u) << e.description();
    EXPECT_GT(e.description().size(), debut.size());  // the parser's reason follows
    EXPECT_EQ(c.rubriques->Count(), 0);
}

TEST(ResoudreDependancesTest, LinksTargetsIgnoringCase) {
    DossierTemporaire dossier;
    Chargement c;
    c.rubriques->ChargerFichier(dossier.ecrire("p.xml", R"(<R><IMPRIME CODE="CA3">
      <RUBRIQUE CODE="A">
        <DEPENDANCE CODEIMPRIME="ca3" CODERUBRIQUE="hd"/>
        <DEPENDANCE CODEIMPRIME="CA9" CODERUBRIQUE="HD" SENS="-1"/>
        <DEPENDANCE CODEIMPRIME="CA3" CODERUBRIQUE="HD" SENS="-01"/>
      </RUBRIQUE>
      <RUBRIQUE CODE="HD"/></IMPRIME></R>)"));
    auto lignes = c.rubriques->Item(Value("CA3A"))->LignesDependance();
    ASSERT_EQ(lignes->Count(), 3);
    auto hd = c.rubriques->Item(Value("CA3HD"));
    EXPECT_EQ(lignes->at(1)->RubriqueDep(), hd);
    EXPECT_FALSE(lignes->at(2)->RubriqueDep());
    EXPECT_EQ(lignes->at(2)->Sens, -1);
    EXPECT_EQ(lignes->at(3)->RubriqueDep(), hd);
    EXPECT_EQ(lignes->at(3)->Sens, 1);
}

TEST(ResoudreDependancesTest, UnresolvedLineMessageOnlyInDevelopmentMode) {
    DossierTemporaire dossier;
    const std::string chemin = dossier.ecrire(
        "p.xml",
        "<R><IMPRIME CODE='CA3'><RUBRIQUE CODE='A'><DEPENDANCE CODEIMPRIME='CA9' "
        "CODERUBRIQUE='ZZ'/><DEPENDANCE CODEIMPRIME='CA3' CODERUBRIQUE='A2'/></RUBRIQUE>"
        "<RUBRIQUE CODE='A2'/></IMPRIME></R>");
    std::vector<std::string> messages;
    MessageBoxHandler precedent =
        installerMessageBox([&](const std::string& m) { messages.push_back(m); });

    ::unsetenv("QXTVA_MODE_DEVELOPPEMENT");
    Chargement{}.rubriques->ChargerFichier(chemin);
    EXPECT_TRUE(messages.empty());

    ::setenv("QXTVA_MODE_DEVELOPPEMENT", "1", 1);
    Chargement{}.rubriques->ChargerFichier(chemin);
    ::unsetenv("QXTVA_MODE_DEVELOPPEMENT");
    installerMessageBox(precedent);
#ifdef NDEBUG
    EXPECT_TRUE(messages.empty());
#else
    EXPECT_EQ(messages, std::vector<std::string>{"Les dépendances sur l'imprimé 'CA9' pour la "
                                                 "rubrique 'ZZ' ne sont pas correcte"});
#endif
}

std::string chaine(int nombre, bool boucle) {
    std::string xml = "<R><IMPRIME CODE='C'>";
    for (int i = 0; i < nombre; ++i) {
        xml += "<RUBRIQUE CODE='" + std::to_string(i) + "'>";
        if (i + 1 < nombre || boucle)
            xml += "<DEPENDANCE CODEIMPRIME='C' CODERUBRIQUE='" + std::to_string((i + 1) % nombre) +
                   "'/>";
        xml += "</RUBRIQUE>";
    }
    return xml + "</IMPRIME></R>";
}

TEST(ResoudreDependancesTest, CyclesAreRefusedWithTheirKeys) {
    struct Cas {
        const char* nom;
        std::string contenu;
        std::string description;
    };
    const std::vector<Cas> cas = {
        {"boucle sur elle-meme",
         "<R><IMPRIME CODE='CA3'><RUBRIQUE CODE='A'/><RUBRIQUE CODE='B'>"
         "<DEPENDANCE CODEIMPRIME='CA3' CODERUBRIQUE='b'/></RUBRIQUE></IMPRIME></R>",
         "Dépendance circulaire entre les rubriques CA3B -> CA3B"},
        {"trois rubriques, types melanges",
         "<R><IMPRIME CODE='CA3'><RUBRIQUE CODE='GH' TYPE='T'>"
         "<DEPENDANCE CODEIMPRIME='CA3' CODERUBRIQUE='KA'/></RUBRIQUE>"
         "<RUBRIQUE CODE='X'><DEPENDANCE CODEIMPRIME='CA3' CODERUBRIQUE='GH'/></RUBRIQUE>"
         "</IMPRIME><IMPRIME CODE='CA12'><RUBRIQUE CODE='Y'/></IMPRIME><IMPRIME CODE='CA3'>"
         "<RUBRIQUE CODE='KA' TYPE='D'><DEPENDANCE CODEIMPRIME='CA3' CODERUBRIQUE='X'/>"
         "</RUBRIQUE></IMPRIME></R>",
         "Dépendance circulaire entre les rubriques CA3GH -> CA3KA -> CA3X -> CA3GH"},
        {"longue boucle", chaine(10000, true), ""},
    };
    for (const Cas& k : cas) {
        DossierTemporaire dossier;
        Chargement c;
        Error e =
            erreurDe([&] { c.rubriques->ChargerFichier(dossier.ecrire("p.xml", k.contenu)); });
        EXPECT_EQ(e.number(), 5) << k.nom;
        EXPECT_EQ(e.description().rfind("Dépendance circulaire entre les rubriques ", 0), 0u)
            << k.nom;
        if (!k.description.empty()) {
            EXPECT_EQ(e.description(), k.description) << k.nom;
        }
    }
    // A long chain without a cycle loads, and a change runs down all of it.
    DossierTemporaire dossier;
    Chargement c;
    c.rubriques->ChargerFichier(dossier.ecrire("p.xml", chaine(1500, false)));
    ASSERT_EQ(c.rubriques->Count(), 1500);
    c.rubriques->at(1)->AjouterValeur(2.5);
    EXPECT_EQ(c.rubriques->at(1500)->AsDouble(), 2.5);
}

TEST(ResoudreDependancesTest, DiamondIsNoCycle) {
    DossierTemporaire dossier;
    Chargement c;
    c.rubriques->ChargerFichier(dossier.ecrire("p.xml", R"(<R><IMPRIME CODE="F">
      <RUBRIQUE CODE="A"><DEPENDANCE CODEIMPRIME="F" CODERUBRIQUE="B"/>
                         <DEPENDANCE CODEIMPRIME="F" CODERUBRIQUE="C" SENS="-1"/></RUBRIQUE>
      <RUBRIQUE CODE="B"><DEPENDANCE CODEIMPRIME="F" CODERUBRIQUE="D"/></RUBRIQUE>
      <RUBRIQUE CODE="C"><DEPENDANCE CODEIMPRIME="F" CODERUBRIQUE="D"/></RUBRIQUE>
      <RUBRIQUE CODE="D"/></IMPRIME></R>)"));
    c.rubriques->Item(Value("FA"))->AjouterValeur(10);
    EXPECT_EQ(c.rubriques->Item(Value("FB"))->AsDouble(), 10);
    EXPECT_EQ(c.rubriques->Item(Value("FC"))->AsDouble(), -10);
    EXPECT_EQ(c.rubriques->Item(Value("FD"))->AsDouble(), 0);
}

}  // namespace
}  // namespace qx
