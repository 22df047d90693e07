#include "rubrics/rubrique.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "platform/clock.h"
#include "platform/error.h"
#include "platform/locale.h"
#include "platform/text_key.h"
#include "rubrics/conventions.h"

namespace qx {
namespace {

// The day the test program fixes as today.
Date jourFixe() {
    return fromCivil(2026, 12, 5);
}

Error erreurDe(const std::function<void()>& f) {
    try {
        f();
    } catch (const Error& e) {
        return e;
    }
    return Error(0, "");
}

class FauxMoteur : public RubricEngine {
  public:
    bool CalculTermine() const override { return termine; }
    bool termine = false;
};

XmlDocument analyser(const std::string& xml) {
    auto resultat = XmlDocument::parseText(xml);
    if (auto* echec = std::get_if<XmlParseFailure>(&resultat))
        throw std::runtime_error("XML de test invalide : " + echec->reason);
    return std::move(std::get<XmlDocument>(resultat));
}

// The rubrics of a small parameter text, loaded and linked the way the
// engine's collection does it, with a fake engine.
struct Formulaire {
    explicit Formulaire(const std::string& imprimes, bool resoudre = true)
        : doc(analyser("<R>" + imprimes + "</R>")) {
        for (const XmlElement& imprime : doc.elements("IMPRIME")) {
            const std::string code = *imprime.attribute("CODE");
            for (const XmlElement& element : imprime.children("RUBRIQUE")) {
                auto r = std::make_shared<CRubrique>();
                r->SetCalculTVA(moteur);
                r->ChargerXML(code, element);
                parCle[foldKey(r->KeyRubrique())] = r;
                ordre.push_back(r);
            }
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

// One form "CA3" whose rubrics are given as code, attributes and the
// dependencies "code:sens" (sens "-1", "1" or "" for absent).
std::string rubrique(const std::string& code, const std::string& attributs = "",
                     std::initializer_list<std::string> dependances = {}) {
    std::string xml = "<RUBRIQUE CODE='" + code + "' " + attributs + ">";
    for (const std::string& d : dependances) {
        size_t deuxPoints = d.find(':');
        std::string cible = d.substr(0, deuxPoints);
        std::string sens = deuxPoints == std::string::npos ? "" : d.substr(deuxPoints + 1);
        xml += "<DEPENDANCE CODEIMPRIME='CA3' CODERUBRIQUE='" + cible + "'" +
               (sens.empty() ? "" : " SENS='" + sens + "'") + "/>";
    }
    return xml + "</RUBRIQUE>";
}

std::string ca3(const std::string& rubriques) {
    return "<IMPRIME CODE='CA3'>" + rubriques + "</IMPRIME>";
}

TEST(CRubriqueLoadTest, TypeLengthAndInitialValue) {
    struct Cas {
        const char* attributs;
        EnumRubriqueType type;
        int16_t longueur;
        Value valeur;
        ValueKind genre;
    };
    const Cas cas[] = {
        {"", EnumRubrType_Nombre, 9, Value(0.0), ValueKind::Integer16},
        {"TYPE='N'", EnumRubrType_Nombre, 9, Value(0.0), ValueKind::Integer16},
        {"TYPE='X'", EnumRubrType_Nombre, 9, Value(0.0), ValueKind::Integer16},
        {"TYPE=''", EnumRubrType_Nombre, 9, Value(0.0), ValueKind::Integer16},
        {"TYPE='t'", EnumRubrType_Texte, 40, Value(""), ValueKind::Text},
        {"TYPE='d'", EnumRubrType_Date, 10, Value(jourFixe()), ValueKind::Date},
        {"TYPE='D' LONGUEUR='-1'", EnumRubrType_Date, 10, Value(jourFixe()), ValueKind::Date},
        {"TYPE='T' LONGUEUR='12'", EnumRubrType_Texte, 12, Value(""), ValueKind::Text},
        {"TYPE='D' LONGUEUR='12'", EnumRubrType_Date, 12, Value(jourFixe()), ValueKind::Date},
        {"LONGUEUR='12.5'", EnumRubrType_Nombre, 12, Value(0.0), ValueKind::Integer16},
        {"LONGUEUR='13.5'", EnumRubrType_Nombre, 14, Value(0.0), ValueKind::Integer16},
        {"LONGUEUR=' 0 '", EnumRubrType_Nombre, 0, Value(0.0), ValueKind::Integer16},
        {"LONGUEUR='-32768'", EnumRubrType_Nombre, -32768, Value(0.0), ValueKind::Integer16},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.attributs);
        Formulaire f(ca3(rubrique("HD", c.attributs)));
        CRubrique& r = f["HD"];
        EXPECT_EQ(r.TypeRubrique(), c.type);
        EXPECT_EQ(r.Longueur(), c.longueur);
        EXPECT_EQ(r.Valeur().kind(), c.genre);
        EXPECT_TRUE(r.Valeur() == c.valeur);
        EXPECT_EQ(r.CodeImprime(), "CA3");
        EXPECT_EQ(r.CodeRubrique(), "HD");
        EXPECT_EQ(r.KeyRubrique(), "CA3HD");
        EXPECT_FALSE(r.IsForce());
        EXPECT_TRUE(r.ValeurInitiale().isEmpty());
    }
}

TEST(CRubriqueLoadTest, LengthThatIsNoSixteenBitNumberFailsTheLoad) {
    struct Cas {
        const char* longueur;
        int32_t erreur;
    };
    const Cas cas[] = {{"abc", err::TypeIncompatible},
                       {"", err::TypeIncompatible},
                       {"40000", err::Depassement},
                       {"-32769", err::Depassement}};
    for (const auto& c : cas) {
        SCOPED_TRACE(c.longueur);
        XmlDocument doc =
            analyser(std::string("<RUBRIQUE CODE='X' LONGUEUR='") + c.longueur + "'/>");
        CRubrique r;
        EXPECT_EQ(erreurDe([&] { r.ChargerXML("CA3", doc.root()); }).number(), c.erreur);
    }
}

TEST(CRubriqueLoadTest, ReloadStartsFromTheNeutralState) {
    XmlDocument doc = analyser(
        "<R><RUBRIQUE CODE='A' CONDITION='POSITIF'><LIGNE COMPTE='4457'/>"
        "<DEPENDANCE CODEIMPRIME='CA3' CODERUBRIQUE='B'/></RUBRIQUE></R>");
    auto moteur = std::make_shared<FauxMoteur>();
    moteur->termine = true;
    CRubrique r;
    r.SetCalculTVA(moteur);
    ASSERT_TRUE(r.ChargerXML("CA3", doc.root().children("RUBRIQUE")[0]));
    EXPECT_EQ(r.Condition(), "POSITIF");
    EXPECT_EQ(r.LignesRubrique()->Count(), 1);
    r.ForceValeur(Value(5.0));
    ASSERT_TRUE(r.IsForce());

    EXPECT_FALSE(r.ChargerXML("CA12", XmlElement()));
    EXPECT_EQ(r.KeyRubrique(), "");
    EXPECT_EQ(r.TypeRubrique(), EnumRubrType_Texte);
    EXPECT_TRUE(r.Valeur().isEmpty());
    EXPECT_EQ(r.Longueur(), 0);
    EXPECT_EQ(r.Condition(), "");
    EXPECT_FALSE(r.IsForce());
    EXPECT_EQ(r.LignesRubrique()->Count(), 0);
    EXPECT_EQ(r.LignesDependance()->Count(), 0);
    // The value from before the first forcing and the engine survive a reset.
    EXPECT_TRUE(r.ValeurInitiale() == Value(0.0));
    EXPECT_EQ(r.CalculTVA(), moteur);
}

TEST(CRubriqueValueTest, NumberRubricStoresNineDecimals) {
    struct Cas {
        Value v;
        double stocke;
        const char* texte;
    };
    const Cas cas[] = {
        {Value(0.30000000000000004), 0.3, "0.3"},
        {Value(1234.5678901234), 1234.567890123, "1234.567890123"},
        {Value(int32_t{-7}), -7, "-7"},
        {Value("12.5"), 12.5, "12.5"},
        {Value(Currency::fromDouble(3.25)), 3.25, "3.25"},
        {Value(true), -1, "-1"},
        {Value(), 0, "0"},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.texte);
        Formulaire f(ca3(rubrique("A")));
        f["A"].SetValeur(c.v);
        EXPECT_EQ(f["A"].Valeur().kind(), c.v.isEmpty() ? ValueKind::Integer16 : ValueKind::Double);
        EXPECT_EQ(f["A"].Valeur().toDouble(), c.stocke);
        EXPECT_EQ(f["A"].AsXML(), c.texte);
        EXPECT_EQ(f["A"].AsString(), c.texte);
    }
}

TEST(CRubriqueValueTest, ValueThatIsNoNumberLeavesEverythingAsItWas) {
    Formulaire f(ca3(rubrique("A", "", {"B"}) + rubrique("B")));
    f["A"].SetValeur(Value(4.0));
    const Value mauvaises[] = {Value("abc"), Value("12 EUR"), Value(std::make_shared<Object>())};
    for (const Value& v : mauvaises) {
        EXPECT_EQ(erreurDe([&] { f["A"].SetValeur(v); }).number(), err::TypeIncompatible);
        EXPECT_EQ(f["A"].AsDouble(), 4.0);
        EXPECT_EQ(f["B"].AsDouble(), 4.0);
    }
    // The exchange text of a number rubric reads any text.
    f["A"].SetAsXML("12 EUR");
    EXPECT_EQ(f["B"].AsDouble(), 12.0);
    f["A"].SetAsXML("abc");
    EXPECT_EQ(f["B"].AsDouble(), 0.0);
}

TEST(CRubriqueValueTest, PositiveConditionPassesOnlyTheClampedChange) {
    struct Cas {
        const char* condition;
        double lu;          // AsDouble after -5
        double cibleApres;  // B after -5 then 3
    };
    const Cas cas[] = {{"POSITIF", 0, 3}, {"positif", -5, 3}, {"", -5, 3}};
    for (const auto& c : cas) {
        SCOPED_TRACE(c.condition);
        Formulaire f(ca3(rubrique("A", std::string("CONDITION='") + c.condition + "'", {"B"}) +
                         rubrique("B")));
        f["A"].SetValeur(Value(-5.0));
        EXPECT_EQ(f["A"].Valeur().toDouble(), -5.0);
        EXPECT_EQ(f["A"].AsDouble(), c.lu);
        EXPECT_EQ(f["A"].AsXML(), NombreVersTexte(c.lu));
        EXPECT_EQ(f["B"].AsDouble(), c.lu);
        f["A"].SetValeur(Value(3.0));
        EXPECT_EQ(f["B"].AsDouble(), c.cibleApres);
    }
    // Adding works on the raw value, not on the clamped one.
    Formulaire f(ca3(rubrique("A", "CONDITION='POSITIF'", {"B"}) + rubrique("B")));
    f["A"].SetValeur(Value(-5.0));
    f["A"].AjouterValeur(3);
    EXPECT_EQ(f["A"].Valeur().toDouble(), -2.0);
    EXPECT_EQ(f["B"].AsDouble(), 0.0);
    f["A"].AjouterValeur(4.5);
    EXPECT_EQ(f["B"].AsDouble(), 2.5);
}

TEST(CRubriqueValueTest, DifferencesFlowSignedAndDepthFirst) {
    Formulaire f(ca3(rubrique("A", "", {"B", "D:-1"}) + rubrique("B", "", {"C:-1"}) +
                     rubrique("C", "", {"E"}) + rubrique("D", "", {"E"}) + rubrique("E") +
                     rubrique("F", "", {"G", "G", "ZZ", "E:-1"}) + rubrique("G") +
                     rubrique("T", "TYPE='T'") + rubrique("H", "", {"T", "I"}) +
                     rubrique("I", "TYPE='D'")));
    f["A"].AjouterValeur(50);
    EXPECT_EQ(f["B"].AsDouble(), 50);
    EXPECT_EQ(f["C"].AsDouble(), -50);
    EXPECT_EQ(f["D"].AsDouble(), -50);
    EXPECT_EQ(f["E"].AsDouble(), -100);
    // Two lines to one target pass the difference twice; a line without a
    // target passes nothing and stops nothing.
    f["F"].AjouterValeur(2.25);
    EXPECT_EQ(f["G"].AsDouble(), 4.5);
    EXPECT_EQ(f["E"].AsDouble(), -102.25);
    // Text and date rubrics ignore what reaches them.
    f["H"].AjouterValeur(8);
    EXPECT_TRUE(f["T"].Valeur() == Value(""));
    EXPECT_TRUE(f["I"].Valeur() == Value(jourFixe()));
    f["T"].AjouterValeur(8);
    EXPECT_TRUE(f["T"].Valeur() == Value(""));
}

TEST(CRubriqueValueTest, LinesChangedByTheHostAreFollowed) {
    Formulaire f(ca3(rubrique("A", "", {"B", "C"}) + rubrique("B") + rubrique("C")));
    f["A"].AjouterValeur(10);
    f["A"].LignesDependance()->Remove(Value(int32_t{1}));
    f["A"].LignesDependance()->Item(Value(int32_t{1}))->Sens = 3;
    f["A"].AjouterValeur(1);
    EXPECT_EQ(f["B"].AsDouble(), 10);  // amounts already passed stay
    EXPECT_EQ(f["C"].AsDouble(), 13);
    // A target that is gone is skipped.
    f.parCle.erase(foldKey("CA3C"));
    auto c = f.ordre.back();
    f.ordre.pop_back();
    c.reset();
    EXPECT_EQ(f["A"].LignesDependance()->Item(Value(int32_t{1}))->RubriqueDep(), nullptr);
    f["A"].AjouterValeur(1);
    EXPECT_EQ(f["A"].AsDouble(), 12);
}

TEST(CRubriqueForceTest, ChangesAfterTheComputationMarkTheRubrics) {
    Formulaire f(ca3(rubrique("A", "", {"B"}) + rubrique("B", "", {"C"}) + rubrique("C") +
                     rubrique("T", "TYPE='T'")));
    f["A"].AjouterValeur(10);
    f["T"].SetValeur(Value("x"));
    for (const auto& r : f.ordre) EXPECT_FALSE(r->IsForce());

    f.moteur->termine = true;
    f["B"].SetValeur(Value(10.0));  // equal: nothing happens
    EXPECT_FALSE(f["B"].IsForce());
    f["A"].ForceValeur(Value(25.0));
    EXPECT_TRUE(f["A"].IsForce());
    EXPECT_TRUE(f["B"].IsForce());
    EXPECT_TRUE(f["C"].IsForce());
    EXPECT_EQ(f["C"].AsDouble(), 25);
    EXPECT_TRUE(f["A"].ValeurInitiale() == Value(10.0));
    EXPECT_TRUE(f["B"].ValeurInitiale().isEmpty());
    // A later forcing keeps the value from before the first one, also for a
    // rubric first marked by propagation.
    f["A"].ForceValeur(Value(30.0));
    f["B"].ForceValeur(Value(1.0));
    EXPECT_TRUE(f["A"].ValeurInitiale() == Value(10.0));
    EXPECT_TRUE(f["B"].ValeurInitiale().isEmpty());
    // Text rubrics are marked too.
    f["T"].SetValeur(Value("y"));
    EXPECT_TRUE(f["T"].IsForce());
}

TEST(CRubriqueForceTest, EqualityIsTestedBeforeRounding) {
    Formulaire f(ca3(rubrique("A", "", {"B"}) + rubrique("B")));
    f["A"].SetValeur(Value(1.0));
    f.moteur->termine = true;
    f["A"].SetValeur(Value(1.0));
    EXPECT_FALSE(f["A"].IsForce());
    f["A"].SetValeur(Value(1.0000000001));
    EXPECT_TRUE(f["A"].IsForce());
    EXPECT_EQ(f["A"].Valeur().toDouble(), 1.0);
    EXPECT_FALSE(f["B"].IsForce());
    EXPECT_EQ(f["B"].AsDouble(), 1.0);
    // Forcing the value a rubric already holds marks it all the same.
    f["B"].ForceValeur(Value(1.0));
    EXPECT_TRUE(f["B"].IsForce());
    EXPECT_TRUE(f["B"].ValeurInitiale() == Value(1.0));
}

TEST(CRubriqueForceTest, FailedForcingKeepsTheMarkAsItWas) {
    Formulaire f(ca3(rubrique("A")));
    f["A"].SetValeur(Value(2.0));
    f.moteur->termine = true;
    EXPECT_EQ(erreurDe([&] { f["A"].ForceValeur(Value("abc")); }).number(), err::TypeIncompatible);
    EXPECT_FALSE(f["A"].IsForce());
    EXPECT_TRUE(f["A"].ValeurInitiale() == Value(2.0));
    EXPECT_EQ(f["A"].AsDouble(), 2.0);
}

TEST(CRubriqueForceTest, WithoutAnEngineTheComputationIsNotFinished) {
    Formulaire f(ca3(rubrique("A")));
    f.moteur->termine = true;
    f["A"].SetCalculTVA(nullptr);
    f["A"].SetValeur(Value(3.0));
    EXPECT_FALSE(f["A"].IsForce());
    EXPECT_EQ(f["A"].CalculTVA(), nullptr);

    f["A"].SetCalculTVA(f.moteur);
    f.moteur.reset();  // the engine is gone: the back reference kept nothing alive
    EXPECT_EQ(f["A"].CalculTVA(), nullptr);
    f["A"].SetValeur(Value(4.0));
    EXPECT_FALSE(f["A"].IsForce());
}

TEST(CRubriqueRoundTest, WholeUnitsWithAndWithoutDependencies) {
    struct Cas {
        double valeur;
        bool gereDependance;
        double arrondi;
        double cible;  // B, which received the value through its line
        bool force;    // with the computation finished
    };
    const Cas cas[] = {
        {2.5, false, 3, 2.5, false},
        {10.4, true, 10, 10, true},
        {-2.5, true, -3, -3, true},
        {10.4, false, 10, 10.4, false},
        {7, true, 7, 7, false},
        {0.499999999, true, 0, 0, true},
        {0.4999999996, false, 1, 0.5, false},  // stored as 0.5 already
        {-0.5, false, -1, -0.5, false},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.valeur);
        Formulaire f(
            ca3(rubrique("A", "", {"B:-1"}) + rubrique("B", "", {"C:-1"}) + rubrique("C")));
        f["A"].AjouterValeur(c.valeur);
        f.moteur->termine = true;
        f["A"].Arrondir(c.gereDependance);
        EXPECT_EQ(f["A"].Valeur().kind(), ValueKind::Double);
        EXPECT_EQ(f["A"].Valeur().toDouble(), c.arrondi);
        EXPECT_EQ(f["B"].AsDouble(), -c.cible);
        EXPECT_EQ(f["C"].AsDouble(), c.cible);
        EXPECT_EQ(f["A"].IsForce(), c.force);
        EXPECT_EQ(f["C"].IsForce(), c.force);
    }
    // Rounding reads the stored value leniently and leaves other types alone.
    Formulaire f(ca3(rubrique("T", "TYPE='T'") + rubrique("D", "TYPE='D'")));
    f["T"].SetValeur(Value("2.6"));
    f["T"].Arrondir(true);
    f["D"].Arrondir(false);
    EXPECT_TRUE(f["T"].Valeur() == Value("2.6"));
    EXPECT_TRUE(f["D"].Valeur() == Value(jourFixe()));
}

TEST(CRubriqueTextTest, TextAndDateRubricsStoreValuesUnchanged) {
    Formulaire f(ca3(rubrique("T", "TYPE='T'") + rubrique("D", "TYPE='D'")));
    f["T"].SetValeur(Value(int32_t{5}));
    EXPECT_EQ(f["T"].Valeur().kind(), ValueKind::Integer32);
    EXPECT_EQ(f["T"].AsString(), "5");
    EXPECT_EQ(f["T"].AsDouble(), 0.0);
    f["T"].SetAsXML("Société à responsabilité limitée, raison sociale longue de plus de 40");
    EXPECT_EQ(f["T"].AsXML(),
              "Société à responsabilité limitée, raison sociale longue de plus de 40");

    struct Cas {
        Value v;
        const char* xml;  // "!" when the exchange text mismatches
        const char* affichage;
    };
    const Cas cas[] = {
        {Value(jourFixe()), "", "05/12/2026"},
        {Value(fromCivil(2024, 3, 15)), "2024-03-15", "15/03/2024"},
        {Value(Date{fromCivil(2024, 3, 15).serial + 0.5}), "2024-03-15", "15/03/2024"},
        {Value("2024-03-15"), "2024-03-15", "15/03/2024"},
        {Value("15/03/2024"), "2024-03-15", "15/03/2024"},
        {Value(), "", ""},
        {Value("abc"), "!", ""},
        {Value(2.0), "1900-01-01", ""},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.affichage);
        f["D"].SetValeur(c.v);
        if (std::string(c.xml) == "!")
            EXPECT_EQ(erreurDe([&] { f["D"].AsXML(); }).number(), err::TypeIncompatible);
        else
            EXPECT_EQ(f["D"].AsXML(), c.xml);
        EXPECT_EQ(f["D"].AsString(), c.affichage);
        EXPECT_EQ(f["D"].AsDouble(), 0.0);
    }
}

TEST(CRubriqueTextTest, DateExchangeTextRoundTrips) {
    Formulaire f(ca3(rubrique("D", "TYPE='D'")));
    EXPECT_EQ(f["D"].AsXML(), "");
    f["D"].SetAsXML("2024-03-15");
    EXPECT_EQ(f["D"].AsXML(), "2024-03-15");
    EXPECT_EQ(erreurDe([&] { f["D"].SetAsXML("15/03/2024"); }).number(), err::TypeIncompatible);
    EXPECT_EQ(f["D"].AsXML(), "2024-03-15");
    f["D"].SetAsXML("2024-02-30");
    EXPECT_TRUE(f["D"].Valeur() == Value(jourFixe()));
    f["D"].SetAsXML("2024-03-15");
    f["D"].SetAsXML("  ");
    EXPECT_TRUE(f["D"].Valeur() == Value(jourFixe()));
    EXPECT_EQ(f["D"].AsXML(), "");
}

TEST(CRubriqueTextTest, NumberExchangeTextFollowsLocalSettings) {
    Formulaire f(ca3(rubrique("A")));
    ScopedSeparators sep(",", "\xC2\xA0");
    f["A"].SetAsXML(
        "1\xC2\xA0"
        "234,56");
    EXPECT_EQ(f["A"].AsDouble(), 1234.56);
    EXPECT_EQ(f["A"].AsXML(), "1234.56");
    f["A"].SetValeur(Value("-0,25"));
    EXPECT_EQ(f["A"].AsString(), "-0.25");
}

struct CasCycle {
    const char* nom;
    std::string xml;
    const char* depart;
    const char* chemin;
};

TEST(CRubriqueCycleTest, PropagationComingBackRaisesAndUndoesTheChange) {
    const CasCycle cas[] = {
        {"boucle", ca3(rubrique("A", "", {"A"}) + rubrique("B")), "A", "CA3A -> CA3A"},
        {"trois",
         ca3(rubrique("A", "", {"B"}) + rubrique("B", "", {"C:-1"}) + rubrique("C", "", {"A:-1"})),
         "A", "CA3A -> CA3B -> CA3C -> CA3A"},
        {"en aval",
         ca3(rubrique("X", "", {"Y", "A"}) + rubrique("Y") + rubrique("A", "", {"B"}) +
             rubrique("B", "", {"A"})),
         "X", "CA3A -> CA3B -> CA3A"},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.nom);
        // Distinct values, given before the lines are linked.
        Formulaire f(c.xml, false);
        for (size_t i = 0; i < f.ordre.size(); ++i)
            f.ordre[i]->SetValeur(Value(static_cast<double>(i + 1)));
        f.lier();
        f.moteur->termine = true;
        const double depart = f[c.depart].AsDouble();
        Error e = erreurDe([&] { f[c.depart].AjouterValeur(10); });
        EXPECT_EQ(e.number(), err::AppelIncorrect);
        EXPECT_EQ(e.description(), std::string("Dépendance circulaire : ") + c.chemin);
        e = erreurDe([&] { f[c.depart].ForceValeur(Value(5.0)); });
        EXPECT_EQ(e.number(), err::AppelIncorrect);
        for (size_t i = 0; i < f.ordre.size(); ++i) {
            SCOPED_TRACE(f.ordre[i]->KeyRubrique());
            EXPECT_EQ(f.ordre[i]->Valeur().toDouble(), static_cast<double>(i + 1));
            EXPECT_FALSE(f.ordre[i]->IsForce());
        }
        // Once the loop is cut, the same rubrics propagate normally again.
        for (const auto& r : f.ordre)
            for (const auto& ligne : r->LignesDependance()->NewEnum())
                if (ligne->CodeRubrique == "A") ligne->SetRubriqueDep(nullptr);
        f[c.depart].AjouterValeur(10);
        EXPECT_EQ(f[c.depart].AsDouble(), depart + 10);
        EXPECT_TRUE(f[c.depart].IsForce());
    }
}

TEST(CRubriqueCycleTest, LoopThatCarriesNothingEnds) {
    // The difference dies out on the way back, as the literal walk would
    // find: a clamped rubric and a line of factor 0.
    Formulaire f(ca3(rubrique("A", "", {"B"}) + rubrique("B", "CONDITION='POSITIF'", {"A"}) +
                     rubrique("C", "", {"C"})));
    f["B"].SetValeur(Value(-100.0));
    f["A"].AjouterValeur(10);
    EXPECT_EQ(f["A"].AsDouble(), 10);
    EXPECT_EQ(f["B"].Valeur().toDouble(), -90);
    f["C"].LignesDependance()->Item(Value(int32_t{1}))->Sens = 0;
    f["C"].AjouterValeur(4);
    EXPECT_EQ(f["C"].AsDouble(), 4);
}

TEST(CRubriqueCycleTest, OverflowDeepInAPropagationUndoesEveryChange) {
    Formulaire f(ca3(rubrique("A", "", {"B", "C"}) + rubrique("B") + rubrique("C")));
    f["C"].SetValeur(Value(1.7e299));
    EXPECT_EQ(erreurDe([&] { f["A"].AjouterValeur(1e299); }).number(), err::Depassement);
    EXPECT_EQ(f["A"].AsDouble(), 0);
    EXPECT_EQ(f["B"].AsDouble(), 0);
    EXPECT_EQ(f["C"].AsDouble(), 1.7e299);
}

TEST(CRubriqueCycleTest, OverlongChainsStopBeforeTheStack) {
    for (int longueur : {500, 3000}) {
        SCOPED_TRACE(longueur);
        std::string xml;
        for (int i = 0; i < longueur; ++i)
            xml += rubrique("R" + std::to_string(i), "", {"R" + std::to_string(i + 1)});
        Formulaire f(ca3(xml));
        CRubrique& fin = f["R" + std::to_string(longueur - 1)];
        int32_t erreur = erreurDe([&] { f["R0"].AjouterValeur(1); }).number();
        if (longueur < 1000) {
            EXPECT_EQ(erreur, 0);
            EXPECT_EQ(fin.AsDouble(), 1);
        } else {
            EXPECT_EQ(erreur, 28);
            EXPECT_EQ(fin.AsDouble(), 0);
            EXPECT_EQ(f["R0"].AsDouble(), 0);
        }
    }
}

}  // namespace
}  // namespace qx
