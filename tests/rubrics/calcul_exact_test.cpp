// The shortcuts of the hot path against the plain operations they replace:
// the same doubles, bit for bit (the sign of a zero included), on many
// generated inputs.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "platform/error.h"
#include "platform/locale.h"
#include "platform/xml_document.h"
#include "rubrics/conventions.h"
#include "rubrics/rubrique.h"

namespace qx {
namespace {

uint64_t bits(double x) {
    return std::bit_cast<uint64_t>(x);
}

// The rounding to whole units written plainly, with the library's truncation.
double entierReference(double x) {
    if (!std::isfinite(x)) throw Error::runtime(err::Depassement);
    const double t = std::trunc(x);
    const double f = x - t;
    if (f < -0.4999999999999) return t - 1.0;
    if (f > 0.4999999999999) return t + 1.0;
    return t;
}

double decimalesReference(double x) {
    const double r = entierReference(x * 1e9) / 1e9;
    if (!std::isfinite(r)) throw Error::runtime(err::Depassement);
    return r;
}

// The result's bits, or the error number as a distinct marker.
template <class F>
std::pair<uint64_t, int32_t> resultat(F f) {
    try {
        return {bits(f()), 0};
    } catch (const Error& e) {
        return {0, e.number()};
    }
}

TEST(ArrondiExactTest, SameBitsAsThePlainTruncation) {
    std::vector<double> valeurs = {0.0,
                                   -0.0,
                                   0.3,
                                   -0.3,
                                   0.5,
                                   -0.5,
                                   2.5,
                                   -2.5,
                                   0.4999999999999,
                                   -0.4999999999999,
                                   0.49999999999995,
                                   -0.49999999999995,
                                   std::numeric_limits<double>::denorm_min(),
                                   -std::numeric_limits<double>::denorm_min(),
                                   std::numeric_limits<double>::max(),
                                   -std::numeric_limits<double>::max(),
                                   std::numeric_limits<double>::infinity(),
                                   -std::numeric_limits<double>::infinity(),
                                   std::numeric_limits<double>::quiet_NaN()};
    // Around the limits of the integer path and of the doubles' whole numbers.
    for (int e : {31, 32, 51, 52, 53, 54, 61, 62, 63, 64, 70})
        for (double base : {std::ldexp(1.0, e), -std::ldexp(1.0, e)})
            for (double x = std::nextafter(std::nextafter(base, 0.0), 0.0), n = 0; n < 5;
                 ++n, x = std::nextafter(x, 2 * base))
                valeurs.push_back(x);
    // Halves and the threshold's neighbours at several magnitudes.
    for (double k : {0.0, 1.0, 7.0, 1e6, 123456789.0, 4503599627370495.0})
        for (double s : {1.0, -1.0})
            for (double f : {0.5, 0.4999999999999, 0.49999999999995})
                for (double x = s * (k + f), n = 0; n < 3; ++n) {
                    valeurs.push_back(x);
                    x = std::nextafter(x, s * 1e300);
                }
    std::mt19937_64 alea(20261205);
    std::uniform_real_distribution<double> mantisse(1.0, 2.0);
    std::uniform_int_distribution<int> exposant(-40, 80);
    for (int i = 0; i < 20000; ++i) {
        const double x = std::ldexp(mantisse(alea), exposant(alea));
        valeurs.push_back(i % 2 ? -x : x);
    }
    for (double x : valeurs) {
        EXPECT_EQ(resultat([x] { return ArrondiEntier(x); }),
                  resultat([x] { return entierReference(x); }))
            << x;
        EXPECT_EQ(resultat([x] { return ArrondiDecimales(x); }),
                  resultat([x] { return decimalesReference(x); }))
            << x;
    }
}

TEST(TexteVersNombreExactTest, PlainAmountsReadAsTheWalkReadsThem) {
    std::mt19937 alea(5122026);
    auto tirage = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(alea); };
    std::vector<std::string> textes = {"0",
                                       "-0",
                                       "+0",
                                       "-0.0",
                                       "0,",
                                       "12.",
                                       ",5",
                                       "-,5",
                                       "999999999999999",
                                       "9999999999999999",
                                       "0.000000000000001",
                                       "-123456789012.345",
                                       "1.7976931348623157",
                                       "4503599627370497",
                                       "+",
                                       "-",
                                       "."};
    // Mostly plain shapes, with now and then a character that sends the
    // text down the walk (a blank, a second separator, a sign inside).
    const std::string rares =
        " .,+-\xA0"
        "e";
    for (int i = 0; i < 50000; ++i) {
        std::string texte;
        switch (tirage(4)) {
            case 0:
                texte += '-';
                break;
            case 1:
                texte += '+';
                break;
            default:
                break;
        }
        const int entiers = tirage(12);
        const int decimales = tirage(3) == 0 ? -1 : tirage(9);
        for (int k = 0; k < entiers; ++k) texte += static_cast<char>('0' + tirage(10));
        if (decimales >= 0) {
            texte += tirage(2) ? '.' : ',';
            for (int k = 0; k < decimales; ++k) texte += static_cast<char>('0' + tirage(10));
        }
        if (tirage(8) == 0 && !texte.empty())
            texte.insert(static_cast<size_t>(tirage(static_cast<int>(texte.size()))), 1,
                         rares[static_cast<size_t>(tirage(static_cast<int>(rares.size())))]);
        textes.push_back(texte);
    }
    const std::pair<const char*, const char*> locales[] = {{".", ""}, {",", "."}, {",", " "}};
    for (const auto& [decimal, milliers] : locales) {
        ScopedSeparators separateurs(decimal, milliers);
        for (const std::string& t : textes)
            ASSERT_EQ(resultat([&] { return TexteVersNombre(t); }),
                      resultat([&] { return detail::TexteVersNombreParcours(t); }))
                << decimal << "|" << milliers << "| " << t;
    }
}

struct MoteurTermine : RubricEngine {
    bool CalculTermine() const override { return termine; }
    bool termine = false;
};

// A literal model of the number setter: the stored double, its 9-decimal
// reading recomputed at every use, the difference carried on depth first.
struct Modele {
    struct Rubrique {
        double valeur = 0.0;
        bool positif = false;
        std::vector<std::pair<int, int>> dependances;  // target, sens
    };
    std::vector<Rubrique> rubriques;

    double lu(int i) const {
        const Rubrique& r = rubriques[static_cast<size_t>(i)];
        return decimalesReference(r.valeur < 0.0 && r.positif ? 0.0 : r.valeur);
    }
    void affecter(int i, double v) {
        Rubrique& r = rubriques[static_cast<size_t>(i)];
        if (v == r.valeur) return;
        const double ancien = lu(i);
        r.valeur = decimalesReference(v);
        if (r.dependances.empty()) return;
        const double difference = lu(i) - ancien;
        if (difference == 0.0) return;
        for (const auto& [cible, sens] : r.dependances)
            affecter(cible, rubriques[static_cast<size_t>(cible)].valeur + sens * difference);
    }
};

TEST(PropagationExactTest, RubricsMatchTheLiteralSetterOnRandomChanges) {
    std::mt19937 alea(42);
    auto tirage = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(alea); };
    // Amounts from cents to magnitudes where 9 decimals no longer fit a
    // double exactly, so that every path of the stored reading is taken.
    const double echelles[] = {0.01, 1.0, 1e4, 1e7, 1e10, 1e13, 1e16};
    for (int essai = 0; essai < 20; ++essai) {
        SCOPED_TRACE(essai);
        const int nombre = 12;
        Modele modele;
        modele.rubriques.resize(nombre);
        std::string xml = "<IMPRIME CODE='CA3'>";
        for (int i = 0; i < nombre; ++i) {
            auto& r = modele.rubriques[static_cast<size_t>(i)];
            r.positif = tirage(3) == 0;
            xml += "<RUBRIQUE CODE='R" + std::to_string(i) + "'" +
                   (r.positif ? " CONDITION='POSITIF'" : "") + ">";
            // Forward lines only: the network has no cycle.
            for (int j = i + 1; j < nombre; ++j) {
                if (tirage(4) != 0) continue;
                const int sens = tirage(2) ? 1 : -1;
                r.dependances.push_back({j, sens});
                xml += "<DEPENDANCE CODEIMPRIME='CA3' CODERUBRIQUE='R" + std::to_string(j) +
                       "' SENS='" + std::to_string(sens) + "'/>";
            }
            xml += "</RUBRIQUE>";
        }
        auto lu = XmlDocument::parseText(xml + "</IMPRIME>");
        XmlDocument doc = std::move(std::get<XmlDocument>(lu));
        auto moteur = std::make_shared<MoteurTermine>();
        std::vector<std::shared_ptr<CRubrique>> rubriques;
        for (const XmlElement& element : doc.root().children("RUBRIQUE")) {
            rubriques.push_back(std::make_shared<CRubrique>());
            rubriques.back()->SetCalculTVA(moteur);
            rubriques.back()->ChargerXML("CA3", element);
        }
        for (int i = 0; i < nombre; ++i) {
            const auto& m = modele.rubriques[static_cast<size_t>(i)];
            for (size_t k = 0; k < m.dependances.size(); ++k)
                rubriques[static_cast<size_t>(i)]
                    ->LignesDependance()
                    ->at(static_cast<int32_t>(k + 1))
                    ->SetRubriqueDep(rubriques[static_cast<size_t>(m.dependances[k].first)]);
        }
        std::uniform_real_distribution<double> montant(-1.0, 1.0);
        for (int pas = 0; pas < 300; ++pas) {
            const int i = tirage(nombre);
            const double m = montant(alea) * echelles[tirage(7)];
            CRubrique& r = *rubriques[static_cast<size_t>(i)];
            switch (tirage(4)) {
                case 0:
                    r.SetValeur(Value(m));
                    modele.affecter(i, m);
                    break;
                case 1: {
                    // The second rounding pass: stored as is, nothing passed on.
                    r.Arrondir(false);
                    auto& v = modele.rubriques[static_cast<size_t>(i)].valeur;
                    v = entierReference(v);
                    break;
                }
                default:
                    r.AjouterValeur(m);
                    modele.affecter(i, modele.rubriques[static_cast<size_t>(i)].valeur + m);
                    break;
            }
            for (int k = 0; k < nombre; ++k) {
                const CRubrique& x = *rubriques[static_cast<size_t>(k)];
                ASSERT_EQ(bits(x.Valeur().toDouble()),
                          bits(modele.rubriques[static_cast<size_t>(k)].valeur))
                    << "pas " << pas << ", R" << k;
                ASSERT_EQ(bits(x.AsDouble()), bits(modele.lu(k))) << "pas " << pas << ", R" << k;
            }
        }
    }
}

TEST(PropagationExactTest, UndoneChangeKeepsItsReadingAndOverflowStillRaises) {
    auto lu = XmlDocument::parseText(
        "<IMPRIME CODE='CA3'><RUBRIQUE CODE='A'><DEPENDANCE CODEIMPRIME='CA3' CODERUBRIQUE='B'/>"
        "</RUBRIQUE><RUBRIQUE CODE='B' CONDITION='POSITIF'><DEPENDANCE CODEIMPRIME='CA3' "
        "CODERUBRIQUE='A'/></RUBRIQUE><RUBRIQUE CODE='C'/></IMPRIME>");
    XmlDocument doc = std::move(std::get<XmlDocument>(lu));
    std::vector<std::shared_ptr<CRubrique>> r;
    for (const XmlElement& element : doc.root().children("RUBRIQUE")) {
        r.push_back(std::make_shared<CRubrique>());
        r.back()->ChargerXML("CA3", element);
    }
    r[0]->LignesDependance()->at(1)->SetRubriqueDep(r[1]);
    r[1]->LignesDependance()->at(1)->SetRubriqueDep(r[0]);
    // A cycle: the change fails and both rubrics read what they read before,
    // the whole number 0 of the load included.
    EXPECT_EQ(resultat([&] {
                  r[0]->AjouterValeur(12345678.123456789);
                  return 0.0;
              }).second,
              err::AppelIncorrect);
    for (int i : {0, 1}) {
        EXPECT_EQ(r[static_cast<size_t>(i)]->Valeur().kind(), ValueKind::Integer16) << i;
        EXPECT_EQ(bits(r[static_cast<size_t>(i)]->AsDouble()), bits(0.0)) << i;
    }
    // Beyond what 9 decimals can scale, the value is refused and kept.
    r[2]->SetValeur(Value(5.0));
    EXPECT_EQ(resultat([&] {
                  r[2]->SetValeur(Value(1e300));
                  return 0.0;
              }).second,
              err::Depassement);
    EXPECT_EQ(r[2]->AsDouble(), 5.0);
    EXPECT_EQ(r[2]->AsXML(), "5");
}

}  // namespace
}  // namespace qx
