#include "rubrics/rubrique.h"

#include <gtest/gtest.h>

#include <tuple>

#include "platform/clock.h"
#include "rubrics/formulaire.h"
#include "rubrics/rubrique_interne.h"

namespace qx::test {
namespace {

TEST(CRubriqueLoadTest, TypeLengthInitialValueAndLines) {
    // Attributes, "type/length", initial value (compared by kind too), error.
    const Value zero(int16_t{0}), jour(fromCivil(2026, 12, 5));
    // clang-format off
    const std::tuple<const char*, const char*, Value, int32_t> cas[] = {
        {"TYPE='X' LONGUEUR='-1'", "0/9", zero, 0}, {"TYPE='t'", "1/40", Value(""), 0},
        {"TYPE='D' LONGUEUR='13.5'", "2/14", jour, 0}, {"LONGUEUR=''", "", zero, 13},
        {"LONGUEUR='40000'", "", zero, 6}};
    // clang-format on
    for (const auto& [attributs, attendu, valeur, erreur] : cas) {
        SCOPED_TRACE(attributs);
        auto doc = std::get<XmlDocument>(
            XmlDocument::parseText(std::string("<RUBRIQUE CODE='HD' ") + attributs + "/>"));
        CRubrique r;
        ASSERT_EQ(errorOf([&] { RubriqueInterne::ChargerXML(r, "CA3", doc.root()); }), erreur);
        if (erreur) continue;
        EXPECT_EQ(
            std::to_string(RubriqueInterne::TypeRubrique(r)) + "/" + std::to_string(r.Longueur()),
            attendu);
        EXPECT_TRUE(r.Valeur().kind() == valeur.kind() && r.Valeur() == valeur);
    }

    // Only the exact text "-1" gives -1; lines keep document order, direct children only.
    Formulaire f(
        "<RUBRIQUE CONDITION='POSITIF'><LIGNE COMPTE='4457' TYPETAUX='1' CATEGORIEAV=' 9 ' "
        "SENS='-1' TYPECUMUL='-1'/><LIGNE SENS='-01' TYPECUMUL=' -1'/><X><LIGNE/></X>"
        "<DEPENDANCE CODEIMPRIME='CA3' CODERUBRIQUE='HE' SENS='-1'/><DEPENDANCE SENS='+1'/>"
        "<DEPENDANCE SENS='-1 '/></RUBRIQUE>");
    CRubrique& r = *f.ordre.at(0);
    std::string lu;
    for (const auto& l : r.LignesRubrique()->NewEnum())
        lu += l->Compte + "|" + l->TypeTaux + "|" + l->CategorieAV + "|" + std::to_string(l->Sens) +
              "|" + std::to_string(l->TypeCumul) + " ";
    for (const auto& d : r.LignesDependance()->NewEnum())
        lu += d->CodeImprime + d->CodeRubrique + "|" + std::to_string(d->Sens) + " ";
    EXPECT_EQ(lu, "4457|1| 9 |-1|-1 |||1|1 CA3HE|-1 |1 |1 ");
}

TEST(CRubriqueValueTest, RefusesNonNumbersAndPassesOnEachLine) {
    // Two lines to one target pass twice; an unresolved line or a text target takes nothing.
    Formulaire f(rub("A", "", {"B", "B", "ZZ", "T"}) + rub("B") + rub("T", "TYPE='T'"));
    f["A"].SetAsXML("12 EUR");  // the exchange text reads anything
    // A value that is no number fails and changes nothing.
    for (const Value& v : {Value("abc"), Value("12 EUR"), Value(std::make_shared<Object>())})
        EXPECT_EQ(errorOf([&] { f["A"].SetValeur(v); }), err::TypeIncompatible);
    EXPECT_EQ(f.lus(), "A=12 B=24 T=");
    // A line removed by the host passes nothing more.
    f["A"].LignesDependance()->Remove(Value(int32_t{1}));
    RubriqueInterne::AjouterValeur(f["A"], 1.5);
    EXPECT_EQ(f.lus(), "A=13.5 B=25.5 T=");
}

TEST(CRubriqueForceTest, ChangesAfterTheComputationMarkEveryRubricReached) {
    Formulaire f(rub("A", "", {"B"}) + rub("B", "", {"C"}) + rub("C") + rub("D") +
                 rub("T", "TYPE='T'"));
    RubriqueInterne::AjouterValeur(f["A"], 10);
    f["T"].SetValeur(Value("x"));
    f.moteur->termine = true;
    f["B"].SetValeur(Value(10.0));           // equal: nothing happens
    f["C"].SetValeur(Value(10.0000000001));  // differs before rounding only
    EXPECT_EQ(f.lus(), "A=10 B=10 C=10! D=0 T=x");
    f["A"].ForceValeur(Value(25.0));
    f["A"].ForceValeur(Value(30.0));
    f["B"].ForceValeur(Value(20.0));
    f["T"].ForceValeur(Value("x"));  // equal, marked all the same
    EXPECT_EQ(f.lus(), "A=30! B=20! C=20! D=0 T=x!");
    EXPECT_TRUE(f["A"].ValeurInitiale() == Value(10.0) && f["D"].ValeurInitiale() == Value(0.0));
    EXPECT_TRUE(f["B"].ValeurInitiale().isEmpty());  // first marked by propagation
}

TEST(CRubriqueRoundTest, WholeUnitsWithAndWithoutDependencies) {
    // Value added to A, with dependencies, then every rubric; B and C are fed
    // through signs -1.
    // clang-format off
    const std::tuple<double, bool, const char*> cas[] = {
        {2.5, false, "A=3 B=-2.5 C=2.5"}, {10.4, true, "A=10! B=-10! C=10!"},
        {-2.5, true, "A=-3! B=3! C=-3!"}, {7, true, "A=7 B=-7 C=7"},
        {0.4999999996, true, "A=1! B=-1! C=1!"}};  // stored as 0.5 already
    // clang-format on
    for (const auto& [valeur, gereDependance, attendu] : cas) {
        Formulaire f(rub("A", "", {"B:-1"}) + rub("B", "", {"C:-1"}) + rub("C"));
        RubriqueInterne::AjouterValeur(f["A"], valeur);
        f.moteur->termine = true;
        f["A"].Arrondir(gereDependance);
        EXPECT_EQ(f.lus(), attendu);
    }
}

TEST(CRubriqueCycleTest, PropagationComingBackRaisesAndUndoesEverything) {
    Formulaire f(rub("A", "", {"B"}) + rub("B", "CONDITION='POSITIF'", {"C:-1"}) +
                 rub("C", "", {"A:-1"}));
    f.moteur->termine = true;
    EXPECT_EQ(descriptionOf([&] { RubriqueInterne::AjouterValeur(f["A"], 10); }),
              "Dépendance circulaire : CA3A -> CA3B -> CA3C -> CA3A");
    EXPECT_EQ(errorOf([&] { f["B"].ForceValeur(Value(5.0)); }), err::AppelIncorrect);
    // Every rubric holds the whole number 0 of the load again, unmarked.
    for (const auto& r : f.ordre)
        EXPECT_TRUE(r->Valeur().kind() == ValueKind::Integer16 && !r->IsForce());
    // The same loop ends once it carries nothing: B, below zero, reads 0 before and after.
    f["B"].SetValeur(Value(-100.0));
    RubriqueInterne::AjouterValeur(f["A"], 10);
    EXPECT_EQ(f.lus() + " " + f["B"].Valeur().toText(), "A=10! B=0! C=0 -90");
    // A failure deep inside undoes the changes made before it.
    Formulaire g(rub("P", "", {"Q", "R"}) + rub("Q") + rub("R"));
    g["Q"].SetValeur(Value(3.0));
    g["R"].SetValeur(Value(1.7e299));
    EXPECT_EQ(errorOf([&] { RubriqueInterne::AjouterValeur(g["P"], 1e299); }), err::Depassement);
    EXPECT_EQ(g.lus(), "P=0 Q=3 R=1.7E+299");

    std::string chaine;
    for (int i = 0; i < 3000; ++i) chaine += rub(std::to_string(i), "", {std::to_string(i + 1)});
    Formulaire h(chaine);
    EXPECT_EQ(errorOf([&] { RubriqueInterne::AjouterValeur(h["0"], 1); }), 28);
    EXPECT_EQ(h["0"].AsDouble() + h["999"].AsDouble(), 0);
    RubriqueInterne::AjouterValeur(h["2100"], 1);
    EXPECT_EQ(h["2999"].AsDouble(), 1);
}

}  // namespace
}  // namespace qx::test
