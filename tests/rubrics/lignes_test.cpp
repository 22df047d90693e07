#include "rubrics/lignes.h"

#include <gtest/gtest.h>

#include <functional>

#include "platform/error.h"

namespace qx {
namespace {

int32_t erreurDe(const std::function<void()>& f) {
    try {
        f();
    } catch (const Error& e) {
        return e.number();
    }
    return 0;
}

XmlDocument analyser(const std::string& xml) {
    auto resultat = XmlDocument::parseText(xml);
    if (auto* echec = std::get_if<XmlParseFailure>(&resultat))
        throw std::runtime_error("XML de test invalide : " + echec->reason);
    return std::move(std::get<XmlDocument>(resultat));
}

TEST(LignesTest, OnlyTheExactTextMinusOneGivesMinusOne) {
    struct Cas {
        const char* attribut;  // nullptr: absent
        int16_t attendu;
    };
    const Cas cas[] = {{"-1", -1}, {nullptr, 1}, {"1", 1},  {"+1", 1}, {"-01", 1},
                       {" -1", 1}, {"-1 ", 1},   {"-2", 1}, {"", 1},   {"-1.0", 1}};
    for (const auto& c : cas) {
        SCOPED_TRACE(c.attribut ? c.attribut : "(absent)");
        std::string valeur = c.attribut ? std::string("'") + c.attribut + "'" : "";
        std::string sens = c.attribut ? " SENS=" + valeur : "";
        std::string cumul = c.attribut ? " TYPECUMUL=" + valeur : "";
        XmlDocument doc =
            analyser("<RUBRIQUE><LIGNE" + sens + cumul + "/><DEPENDANCE" + sens + "/></RUBRIQUE>");
        CLignesRubrique comptes;
        comptes.ChargerLignes(doc.root());
        CLignesDependance dependances;
        dependances.ChargerLignes(doc.root());
        ASSERT_EQ(comptes.Count(), 1);
        ASSERT_EQ(dependances.Count(), 1);
        EXPECT_EQ(comptes.at(1)->Sens, c.attendu);
        EXPECT_EQ(comptes.at(1)->TypeCumul, c.attendu);
        EXPECT_EQ(dependances.at(1)->Sens, c.attendu);
    }
}

TEST(LignesTest, LinesFollowTheDocumentAndKeepTheirTexts) {
    XmlDocument doc = analyser(
        "<RUBRIQUE CODE='HD'>"
        "<LIGNE COMPTE='44571' TYPETAUX='1' CATEGORIEAV=' 9 '/>"
        "<DEPENDANCE CODEIMPRIME='CA3' CODERUBRIQUE='HE' SENS='-1'/>"
        "<AUTRE><LIGNE COMPTE='nested'/><DEPENDANCE CODEIMPRIME='nested'/></AUTRE>"
        "<LIGNE/>"
        "<DEPENDANCE/>"
        "</RUBRIQUE>");
    CLignesRubrique comptes;
    comptes.ChargerLignes(doc.root());
    ASSERT_EQ(comptes.Count(), 2);
    EXPECT_EQ(comptes.at(1)->Compte, "44571");
    EXPECT_EQ(comptes.at(1)->TypeTaux, "1");
    EXPECT_EQ(comptes.at(1)->CategorieAV, " 9 ");  // nothing is trimmed
    EXPECT_EQ(comptes.at(2)->Compte, "");
    EXPECT_EQ(comptes.at(2)->TypeTaux, "");
    EXPECT_EQ(comptes.at(2)->CategorieAV, "");

    CLignesDependance dependances;
    dependances.ChargerLignes(doc.root());
    ASSERT_EQ(dependances.Count(), 2);
    EXPECT_EQ(dependances.at(1)->CodeImprime, "CA3");
    EXPECT_EQ(dependances.at(1)->CodeRubrique, "HE");
    EXPECT_EQ(dependances.at(1)->Sens, -1);
    EXPECT_EQ(dependances.at(1)->RubriqueDep(), nullptr);
    EXPECT_EQ(dependances.at(2)->CodeImprime, "");
    EXPECT_EQ(dependances.at(2)->CodeRubrique, "");

    // An element without lines gives empty collections; loading appends.
    XmlDocument vide = analyser("<RUBRIQUE/>");
    comptes.ChargerLignes(vide.root());
    EXPECT_EQ(comptes.Count(), 2);
    CLignesRubrique aucune;
    aucune.ChargerLignes(vide.root());
    EXPECT_EQ(aucune.Count(), 0);
}

TEST(LignesTest, PositionsOnlyAndTheCollectionErrors) {
    XmlDocument doc =
        analyser("<RUBRIQUE><LIGNE COMPTE='1'/><LIGNE COMPTE='2'/><LIGNE COMPTE='3'/></RUBRIQUE>");
    CLignesRubrique lignes;
    lignes.ChargerLignes(doc.root());
    struct Cas {
        Value index;
        int32_t erreur;
    };
    const Cas cas[] = {
        {Value(int32_t{0}), err::HorsSelection}, {Value(int32_t{4}), err::HorsSelection},
        {Value(-1.0), err::HorsSelection},       {Value("1"), err::AppelIncorrect},
        {Value("44571"), err::AppelIncorrect},   {Value(), err::AppelIncorrect}};
    for (const auto& c : cas) {
        EXPECT_EQ(erreurDe([&] { lignes.Item(c.index); }), c.erreur);
        EXPECT_EQ(erreurDe([&] { lignes.Remove(c.index); }), c.erreur);
    }
    EXPECT_EQ(lignes.Count(), 3);
    lignes.Remove(Value(int32_t{2}));
    ASSERT_EQ(lignes.Count(), 2);
    EXPECT_EQ(lignes.Item(Value(int16_t{2}))->Compte, "3");
    std::vector<std::string> comptes;
    for (const auto& l : lignes.NewEnum()) comptes.push_back(l->Compte);
    EXPECT_EQ(comptes, (std::vector<std::string>{"1", "3"}));
}

TEST(LireAttributTest, PresentTextOrDefault) {
    XmlDocument doc = analyser("<E A='x' VIDE='' ESPACE=' '/>");
    struct Cas {
        const char* nom;
        const char* attendu;
    };
    const Cas cas[] = {{"A", "x"}, {"VIDE", ""}, {"ESPACE", " "}, {"a", "defaut"}, {"B", "defaut"}};
    for (const auto& c : cas) EXPECT_EQ(LireAttribut(doc.root(), c.nom, "defaut"), c.attendu);
    EXPECT_EQ(LireAttribut(XmlElement(), "A", "defaut"), "defaut");
}

}  // namespace
}  // namespace qx
