#include "rubrics/rubrique.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "platform/clock.h"
#include "platform/error.h"
#include "platform/text_key.h"

namespace qx {
namespace {

Error erreurDe(const std::function<void()>& f) {
    try {
        f();
    } catch (const Error& e) {
        return e;
    }
    return Error(0, "");
}

struct FauxMoteur : RubricEngine {
    bool CalculTermine() const override { return termine; }
    bool termine = false;
};

// Form "CA3" rubric; each dependency is "code" or "code:sens".
std::string rub(const std::string& code, const std::string& attributs = "",
                std::initializer_list<std::string> deps = {}) {
    std::string xml = "<RUBRIQUE CODE='" + code + "' " + attributs + ">";
    for (const std::string& d : deps) {
        size_t p = d.find(':');
        xml += "<DEPENDANCE CODEIMPRIME='CA3' CODERUBRIQUE='" + d.substr(0, p) + "'" +
               (p == std::string::npos ? "" : " SENS='" + d.substr(p + 1) + "'") + "/>";
    }
    return xml + "</RUBRIQUE>";
}

// The rubrics of one form, loaded and linked as the engine's collection does.
struct Formulaire {
    explicit Formulaire(const std::string& rubriques, bool resoudre = true) {
        auto lu = XmlDocument::parseText("<IMPRIME CODE='CA3'>" + rubriques + "</IMPRIME>");
        doc = std::move(std::get<XmlDocument>(lu));
        for (const XmlElement& element : doc.root().children("RUBRIQUE")) {
            auto r = std::make_shared<CRubrique>();
            r->SetCalculTVA(moteur);
            r->ChargerXML("CA3", element);
            parCle[foldKey(r->KeyRubrique())] = r;
            ordre.push_back(r);
        }
        if (resoudre) lier();
    }
    void lier() {
        for (const auto& r : ordre)
            for (const auto& ligne : r->LignesDependance()->NewEnum()) {
                auto it = parCle.find(foldKey(ligne->CodeImprime + ligne->CodeRubrique));
                ligne->SetRubriqueDep(it == parCle.end() ? nullptr : it->second);
            }
    }
    CRubrique& operator[](const std::string& code) { return *parCle.at(foldKey("CA3" + code)); }

    XmlDocument doc;
    std::shared_ptr<FauxMoteur> moteur = std::make_shared<FauxMoteur>();
    std::map<std::string, std::shared_ptr<CRubrique>> parCle;
    std::vector<std::shared_ptr<CRubrique>> ordre;
};

TEST(CRubriqueLoadTest, TypeLengthInitialValueAndLines) {
    struct Cas {
        const char* attributs;
        EnumRubriqueType type;
        int16_t longueur;
        Value valeur;  // compared by kind too
        int32_t erreur;
    };
    const Date jour = fromCivil(2026, 12, 5);
    const Cas cas[] = {{"", EnumRubrType_Nombre, 9, Value(int16_t{0}), 0},
                       {"TYPE='X' LONGUEUR='-1'", EnumRubrType_Nombre, 9, Value(int16_t{0}), 0},
                       {"TYPE='t'", EnumRubrType_Texte, 40, Value(""), 0},
                       {"TYPE='d'", EnumRubrType_Date, 10, Value(jour), 0},
                       {"TYPE='D' LONGUEUR='12'", EnumRubrType_Date, 12, Value(jour), 0},
                       {"LONGUEUR='13.5'", EnumRubrType_Nombre, 14, Value(int16_t{0}), 0},
                       {"LONGUEUR=''", EnumRubrType_Nombre, 9, Value(int16_t{0}), 13},
                       {"LONGUEUR='abc'", EnumRubrType_Nombre, 9, Value(int16_t{0}), 13},
                       {"LONGUEUR='40000'", EnumRubrType_Nombre, 9, Value(int16_t{0}), 6}};
    for (const auto& c : cas) {
        SCOPED_TRACE(c.attributs);
        auto doc = std::get<XmlDocument>(
            XmlDocument::parseText(std::string("<RUBRIQUE CODE='HD' ") + c.attributs + "/>"));
        CRubrique r;
        EXPECT_EQ(erreurDe([&] { r.ChargerXML("CA3", doc.root()); }).number(), c.erreur);
        if (c.erreur) continue;
        EXPECT_EQ(r.TypeRubrique(), c.type);
        EXPECT_EQ(r.Longueur(), c.longueur);
        EXPECT_EQ(r.Valeur().kind(), c.valeur.kind());
        EXPECT_TRUE(r.Valeur() == c.valeur);
        EXPECT_EQ(r.KeyRubrique(), "CA3HD");
    }

    // Only the exact text "-1" gives -1; lines keep document order, direct children only.
    auto doc = std::get<XmlDocument>(XmlDocument::parseText(
        "<RUBRIQUE CONDITION='POSITIF'><LIGNE COMPTE='4457' TYPETAUX='1' CATEGORIEAV=' 9 ' "
        "SENS='-1' TYPECUMUL='-1'/><LIGNE SENS='-01' TYPECUMUL=' -1'/><X><LIGNE/></X>"
        "<DEPENDANCE CODEIMPRIME='CA3' CODERUBRIQUE='HE' SENS='-1'/><DEPENDANCE SENS='+1'/>"
        "<DEPENDANCE SENS='-1 '/></RUBRIQUE>"));
    CRubrique r;
    ASSERT_TRUE(r.ChargerXML("CA3", doc.root()));
    auto comptes = r.LignesRubrique();
    ASSERT_EQ(comptes->Count(), 2);
    EXPECT_EQ(
        comptes->at(1)->Compte + "|" + comptes->at(1)->TypeTaux + "|" + comptes->at(1)->CategorieAV,
        "4457|1| 9 ");
    EXPECT_EQ(comptes->at(1)->Sens * 10 + comptes->at(1)->TypeCumul, -11);
    EXPECT_EQ(comptes->at(2)->Sens * 10 + comptes->at(2)->TypeCumul, 11);
    auto deps = r.LignesDependance();
    ASSERT_EQ(deps->Count(), 3);
    EXPECT_EQ(deps->at(1)->CodeImprime + deps->at(1)->CodeRubrique, "CA3HE");
    EXPECT_EQ(deps->at(1)->Sens + deps->at(2)->Sens + deps->at(3)->Sens, 1);
    EXPECT_EQ(erreurDe([&] { deps->Item(Value("1")); }).number(), err::AppelIncorrect);
    EXPECT_EQ(erreurDe([&] { deps->Remove(Value(int32_t{4})); }).number(), err::HorsSelection);

    // A reload without element resets all but the value before forcing.
    auto moteur = std::make_shared<FauxMoteur>();
    moteur->termine = true;
    r.SetCalculTVA(moteur);
    r.ForceValeur(Value(5.0));
    EXPECT_FALSE(r.ChargerXML("CA3", XmlElement()));
    EXPECT_EQ(r.KeyRubrique() + r.Condition(), "");
    EXPECT_EQ(r.TypeRubrique(), EnumRubrType_Texte);
    EXPECT_FALSE(r.IsForce());
    EXPECT_EQ(r.LignesRubrique()->Count() + r.LignesDependance()->Count(), 0);
    EXPECT_TRUE(r.ValeurInitiale() == Value(0.0));
}

TEST(CRubriqueValueTest, StoresNineDecimalsAndPropagatesSignedDifferences) {
    Formulaire f(rub("A", "", {"B", "D:-1"}) + rub("B", "", {"C:-1"}) + rub("C", "", {"E"}) +
                 rub("D", "", {"E"}) + rub("E") + rub("F", "", {"G", "G", "ZZ", "T"}) + rub("G") +
                 rub("T", "TYPE='T'"));
    f["A"].SetValeur(Value(0.30000000000000004));
    EXPECT_EQ(f["A"].Valeur().toDouble(), 0.3);
    f["A"].SetValeur(Value(1234.5678901234));
    EXPECT_EQ(f["A"].AsXML(), "1234.567890123");
    f["A"].SetAsXML("50");
    // Depth first, each hop with its own sign; two lines to one target pass twice.
    EXPECT_EQ(f["B"].AsDouble(), 50);
    EXPECT_EQ(f["C"].AsDouble(), -50);
    EXPECT_EQ(f["E"].AsDouble(), -100);
    f["F"].AjouterValeur(2.25);
    EXPECT_EQ(f["G"].AsDouble(), 4.5);
    EXPECT_TRUE(f["T"].Valeur() == Value(""));
    // A value that is no number fails and changes nothing; the exchange text reads anything.
    for (const Value& v : {Value("abc"), Value("12 EUR"), Value(std::make_shared<Object>())})
        EXPECT_EQ(erreurDe([&] { f["A"].SetValeur(v); }).number(), err::TypeIncompatible);
    EXPECT_EQ(f["B"].AsDouble(), 50);
    f["A"].SetAsXML("12 EUR");
    EXPECT_EQ(f["B"].AsDouble(), 12);
    // A line removed by the host passes nothing more.
    f["A"].LignesDependance()->Remove(Value(int32_t{1}));
    f["A"].AjouterValeur(1);
    EXPECT_EQ(f["B"].AsDouble(), 12);
    EXPECT_EQ(f["D"].AsDouble(), -13);
}

TEST(CRubriqueValueTest, PositiveConditionPassesOnlyTheClampedChange) {
    for (const char* condition : {"POSITIF", "positif"}) {
        SCOPED_TRACE(condition);
        const bool clamp = std::string(condition) == "POSITIF";
        Formulaire f(rub("A", std::string("CONDITION='") + condition + "'", {"B"}) + rub("B"));
        f["A"].SetValeur(Value(-5.0));
        EXPECT_EQ(f["A"].Valeur().toDouble(), -5.0);
        EXPECT_EQ(f["A"].AsXML(), clamp ? "0" : "-5");
        f["A"].AjouterValeur(3);  // the raw value grows, not the clamped one
        EXPECT_EQ(f["A"].Valeur().toDouble(), -2.0);
        f["A"].SetValeur(Value(3.0));
        EXPECT_EQ(f["B"].AsDouble(), 3);
        EXPECT_EQ(f["A"].AsDouble(), 3);
    }
}

TEST(CRubriqueForceTest, ChangesAfterTheComputationMarkEveryRubricReached) {
    Formulaire f(rub("A", "", {"B"}) + rub("B", "", {"C"}) + rub("C") + rub("T", "TYPE='T'"));
    f["A"].AjouterValeur(10);
    f["T"].SetValeur(Value("x"));
    for (const auto& r : f.ordre) EXPECT_FALSE(r->IsForce());

    f.moteur->termine = true;
    f["B"].SetValeur(Value(10.0));           // equal: nothing happens
    f["C"].SetValeur(Value(10.0000000001));  // differs before rounding only
    EXPECT_FALSE(f["B"].IsForce());
    EXPECT_TRUE(f["C"].IsForce());
    EXPECT_EQ(f["C"].Valeur().toDouble(), 10.0);
    f["A"].ForceValeur(Value(25.0));
    f["A"].ForceValeur(Value(30.0));
    f["B"].ForceValeur(Value(20.0));
    EXPECT_TRUE(f["A"].IsForce() && f["B"].IsForce());
    EXPECT_TRUE(f["A"].ValeurInitiale() == Value(10.0));
    EXPECT_TRUE(f["B"].ValeurInitiale().isEmpty());  // first marked by propagation
    EXPECT_EQ(f["C"].AsDouble(), 20);
    f["T"].ForceValeur(Value("x"));  // equal, marked all the same
    EXPECT_TRUE(f["T"].IsForce());

    Formulaire g(rub("A"));
    g.moteur->termine = true;
    EXPECT_EQ(erreurDe([&] { g["A"].ForceValeur(Value("abc")); }).number(), err::TypeIncompatible);
    EXPECT_FALSE(g["A"].IsForce());
    EXPECT_TRUE(g["A"].ValeurInitiale() == Value(0.0));
    // Without an engine, or once it is gone, the computation is not finished.
    g.moteur.reset();
    EXPECT_EQ(g["A"].CalculTVA(), nullptr);
    g["A"].SetValeur(Value(4.0));
    EXPECT_FALSE(g["A"].IsForce());
}

TEST(CRubriqueRoundTest, WholeUnitsWithAndWithoutDependencies) {
    struct Cas {
        double valeur;
        bool gereDependance;
        double arrondi;
        double cible;  // C, fed through B with two signs -1
        bool force;    // with the computation finished
    };
    // clang-format off
    const Cas cas[] = {{2.5, false, 3, 2.5, false}, {10.4, true, 10, 10, true},
                       {-2.5, true, -3, -3, true}, {7, true, 7, 7, false},
                       {0.4999999996, true, 1, 1, true}};  // stored as 0.5 already
    // clang-format on
    for (const auto& c : cas) {
        SCOPED_TRACE(c.valeur);
        Formulaire f(rub("A", "", {"B:-1"}) + rub("B", "", {"C:-1"}) + rub("C"));
        f["A"].AjouterValeur(c.valeur);
        f.moteur->termine = true;
        f["A"].Arrondir(c.gereDependance);
        EXPECT_EQ(f["A"].Valeur().toDouble(), c.arrondi);
        EXPECT_EQ(f["C"].AsDouble(), c.cible);
        EXPECT_EQ(f["A"].IsForce(), c.force);
        EXPECT_EQ(f["C"].IsForce(), c.force);
    }
    Formulaire f(rub("T", "TYPE='T'"));
    f["T"].SetValeur(Value("2.6"));
    f["T"].Arrondir(true);
    EXPECT_TRUE(f["T"].Valeur() == Value("2.6"));
}

TEST(CRubriqueTextTest, DateExchangeAndDisplayTexts) {
    Formulaire f(rub("D", "TYPE='D'"));
    EXPECT_EQ(f["D"].AsXML(), "");
    // clang-format off
    const std::pair<Value, const char*> cas[] = {
        {Value(fromCivil(2024, 3, 15)), "2024-03-15|15/03/2024"},
        {Value("15/03/2024"), "2024-03-15|15/03/2024"}, {Value(), "|"},
        {Value(2.0), "1900-01-01|"}, {Value("abc"), "!|"}};
    // clang-format on
    for (const auto& [v, attendu] : cas) {
        f["D"].SetValeur(v);
        Error e = erreurDe([&] { f["D"].AsXML(); });
        std::string xml = e.number() == err::TypeIncompatible ? "!" : f["D"].AsXML();
        EXPECT_EQ(xml + "|" + f["D"].AsString(), attendu);
    }
    f["D"].SetAsXML("2024-03-15");
    EXPECT_EQ(f["D"].AsXML(), "2024-03-15");
    EXPECT_EQ(erreurDe([&] { f["D"].SetAsXML("15/03/2024"); }).number(), err::TypeIncompatible);
    EXPECT_EQ(f["D"].AsXML(), "2024-03-15");
    f["D"].SetAsXML("  ");
    EXPECT_TRUE(f["D"].Valeur() == Value(fromCivil(2026, 12, 5)));
    EXPECT_EQ(f["D"].AsXML(), "");
}

TEST(CRubriqueCycleTest, PropagationComingBackRaisesAndUndoesEverything) {
    struct Cas {
        std::string xml;
        const char* depart;
        const char* chemin;
    };
    const Cas cas[] = {
        {rub("A", "", {"A"}) + rub("B"), "A", "CA3A -> CA3A"},
        {rub("A", "", {"B"}) + rub("B", "", {"C:-1"}) + rub("C", "", {"A:-1"}), "A",
         "CA3A -> CA3B -> CA3C -> CA3A"},
        {rub("X", "", {"Y", "A"}) + rub("Y") + rub("A", "", {"B"}) + rub("B", "", {"A"}), "X",
         "CA3A -> CA3B -> CA3A"}};
    for (const auto& c : cas) {
        SCOPED_TRACE(c.chemin);
        Formulaire f(c.xml, false);
        for (size_t i = 0; i < f.ordre.size(); ++i) f.ordre[i]->SetValeur(Value(i + 1.0));
        f.lier();
        f.moteur->termine = true;
        Error e = erreurDe([&] { f[c.depart].AjouterValeur(10); });
        EXPECT_EQ(e.number(), err::AppelIncorrect);
        EXPECT_EQ(e.description(), std::string("Dépendance circulaire : ") + c.chemin);
        EXPECT_EQ(erreurDe([&] { f[c.depart].ForceValeur(Value(5.0)); }).number(), 5);
        for (size_t i = 0; i < f.ordre.size(); ++i) {
            EXPECT_EQ(f.ordre[i]->AsDouble(), i + 1.0);
            EXPECT_FALSE(f.ordre[i]->IsForce());
        }
        // Once the loop is cut, the same rubrics propagate normally again.
        for (const auto& r : f.ordre)
            for (const auto& ligne : r->LignesDependance()->NewEnum())
                if (ligne->CodeRubrique == "A") ligne->SetRubriqueDep(nullptr);
        const double avant = f[c.depart].AsDouble();
        f[c.depart].AjouterValeur(10);
        EXPECT_EQ(f[c.depart].AsDouble(), avant + 10);
    }
}

TEST(CRubriqueCycleTest, LoopsThatCarryNothingEndAndFailuresDeepInsideUndo) {
    Formulaire f(rub("A", "", {"B"}) + rub("B", "CONDITION='POSITIF'", {"A"}) +
                 rub("C", "", {"C"}) + rub("P", "", {"Q", "R"}) + rub("Q") + rub("R"));
    f["B"].SetValeur(Value(-100.0));
    f["A"].AjouterValeur(10);  // dies out at the clamped rubric
    EXPECT_EQ(f["B"].Valeur().toDouble(), -90);
    f["C"].LignesDependance()->Item(Value(int32_t{1}))->Sens = 0;
    f["C"].AjouterValeur(4);
    EXPECT_EQ(f["C"].AsDouble(), 4);

    f["R"].SetValeur(Value(1.7e299));
    EXPECT_EQ(erreurDe([&] { f["P"].AjouterValeur(1e299); }).number(), err::Depassement);
    EXPECT_EQ(f["P"].AsDouble() + f["Q"].AsDouble(), 0);

    std::string chaine;
    for (int i = 0; i < 3000; ++i) chaine += rub(std::to_string(i), "", {std::to_string(i + 1)});
    Formulaire g(chaine);
    EXPECT_EQ(erreurDe([&] { g["0"].AjouterValeur(1); }).number(), 28);
    EXPECT_EQ(g["0"].AsDouble() + g["999"].AsDouble(), 0);
    g["2100"].AjouterValeur(1);
    EXPECT_EQ(g["2999"].AsDouble(), 1);
}

}  // namespace
}  // namespace qx
