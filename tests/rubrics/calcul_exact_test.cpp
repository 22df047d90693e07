// The shortcuts of the hot path against the plain operations they replace:
// the same doubles, bit for bit (the sign of a zero included), on generated
// inputs crowded around the edges.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <random>

#include "platform/locale.h"
#include "rubrics/conventions.h"
#include "rubrics/formulaire.h"
#include "rubrics/rubrique_interne.h"

namespace qx::test {
namespace {

constexpr auto bits = [](double x) { return std::bit_cast<uint64_t>(x); };

// The rounding to whole units written plainly: halves go away from zero, and a
// fraction beyond 0.4999999999999 already counts as one.
double entierReference(double x) {
    if (!std::isfinite(x)) throw Error::runtime(err::Depassement);
    const double t = std::trunc(x), f = x - t;
    return f < -0.4999999999999 ? t - 1.0 : f > 0.4999999999999 ? t + 1.0 : t;
}

const auto decimalesReference = [](double x) { return entierReference(x * 1e9) / 1e9; };

// The result's bits, or the error number as a distinct marker.
template <class F, class... A>
std::pair<uint64_t, int32_t> resultat(F f, const A&... a) {
    try {
        return {bits(f(a...)), 0};
    } catch (const Error& e) {
        return {0, e.number()};
    }
}

TEST(ArrondiExactTest, SameBitsAsThePlainTruncation) {
    using L = std::numeric_limits<double>;
    std::vector<double> valeurs;
    for (double x : {0.0, 0.3, L::denorm_min(), L::max(), L::infinity(), L::quiet_NaN()})
        valeurs.insert(valeurs.end(), {x, -x});
    // Around the limits of the integer path and of the doubles' whole numbers,
    // and around halves and the threshold at several magnitudes.
    std::vector<double> centres;
    for (int e : {31, 32, 52, 53, 54, 62, 63, 64}) centres.push_back(std::ldexp(1.0, e));
    for (double k : {0.0, 7.0, 123456789.0, 4503599627370495.0})
        for (double f : {0.5, 0.4999999999999, 0.49999999999995}) centres.push_back(k + f);
    for (double c : centres)
        for (double s : {c, -c})
            for (double x = std::nextafter(std::nextafter(s, 0.0), 0.0), n = 0; n < 5;
                 ++n, x = std::nextafter(x, 2 * s))
                valeurs.push_back(x);
    for (double x : valeurs) {
        EXPECT_EQ(resultat(ArrondiEntier, x), resultat(entierReference, x)) << x;
        EXPECT_EQ(resultat(ArrondiDecimales, x), resultat(decimalesReference, x)) << x;
    }
}

TEST(TexteVersNombreExactTest, PlainAmountsReadAsTheWalkReadsThem) {
    std::mt19937 alea(5122026);
    auto tirage = [&](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(alea); };
    std::vector<std::string> textes = {"-0", ",5", ".", "9999999999999999", "0.000000000000001"};
    // Mostly plain shapes, with now and then a character that sends the
    // text down the walk (a blank, a second separator, a sign inside).
    const std::string rares = " .,+-\240e";
    for (int i = 0; i < 8000; ++i) {
        std::string texte = tirage(4) == 0 ? "-" : tirage(3) == 0 ? "+" : "";
        const size_t entiers = tirage(12), decimales = tirage(3) == 0 ? 0 : tirage(9) + 1;
        for (size_t k = 0; k < entiers; ++k) texte += static_cast<char>('0' + tirage(10));
        if (decimales) texte += tirage(2) ? '.' : ',';
        for (size_t k = 1; k < decimales; ++k) texte += static_cast<char>('0' + tirage(10));
        if (tirage(8) == 0) texte.insert(tirage(texte.size() + 1), 1, rares[tirage(rares.size())]);
        textes.push_back(texte);
    }
    const std::pair<const char*, const char*> locales[] = {{".", ""}, {",", "."}, {",", " "}};
    for (const auto& [decimal, milliers] : locales) {
        ScopedSeparators separateurs(decimal, milliers);
        for (const std::string& t : textes)
            ASSERT_EQ(resultat(TexteVersNombre, t), resultat(detail::TexteVersNombreParcours, t))
                << decimal << "|" << milliers << "| " << t;
    }
}

// A literal model of the number setter: the stored double, its 9-decimal
// reading recomputed at every use, the difference carried on depth first.
struct Modele {
    std::vector<double> valeur;
    std::vector<bool> positif;
    std::vector<std::vector<std::pair<size_t, int>>> dependances;  // target, sens
    explicit Modele(size_t n) : valeur(n), positif(n), dependances(n) {}

    double lu(size_t i) const {
        return decimalesReference(valeur[i] < 0.0 && positif[i] ? 0.0 : valeur[i]);
    }
    void affecter(size_t i, double v) {
        if (v == valeur[i]) return;
        const double ancien = lu(i);
        valeur[i] = decimalesReference(v);
        for (const auto& [cible, sens] : dependances[i])
            affecter(cible, valeur[cible] + sens * (lu(i) - ancien));
    }
};

TEST(PropagationExactTest, RubricsMatchTheLiteralSetterOnRandomChanges) {
    std::mt19937 alea(42);
    auto tirage = [&](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(alea); };
    // Amounts from cents to magnitudes where 9 decimals no longer fit a
    // double exactly, so that every path of the stored reading is taken.
    const double echelles[] = {0.01, 1.0, 1e4, 1e7, 1e10, 1e13, 1e16};
    std::uniform_real_distribution<double> montant(-1.0, 1.0);
    for (size_t essai = 0, nombre = 10; essai < 8; ++essai) {
        Modele m(nombre);
        std::string xml;
        for (size_t i = 0; i < nombre; ++i) {
            // The condition is spelt in capitals; in lower case it is no condition.
            m.positif[i] = tirage(3) == 0;
            std::vector<std::string> deps;
            for (size_t j = i + 1; j < nombre; ++j)  // forward lines only: no cycle
                if (tirage(4) == 0) m.dependances[i].push_back({j, tirage(2) ? 1 : -1});
            for (const auto& [j, sens] : m.dependances[i])
                deps.push_back(std::to_string(j) + ":" + std::to_string(sens));
            xml += rub(std::to_string(i),
                       m.positif[i] ? "CONDITION='POSITIF'" : "CONDITION='positif'", deps);
        }
        Formulaire f(xml);
        f.moteur->termine = true;
        for (int pas = 0; pas < 200; ++pas) {
            const size_t i = tirage(nombre), op = tirage(2);
            const double x = montant(alea) * echelles[tirage(7)];
            op ? RubriqueInterne::AjouterValeur(*f.ordre[i], x) : f.ordre[i]->SetValeur(Value(x));
            m.affecter(i, op ? m.valeur[i] + x : x);
            for (size_t k = 0; k < nombre; ++k)
                ASSERT_EQ(
                    std::pair(bits(f.ordre[k]->Valeur().toDouble()), bits(f.ordre[k]->AsDouble())),
                    std::pair(bits(m.valeur[k]), bits(m.lu(k))))
                    << essai << ", pas " << pas << ", R" << k;
        }
    }
}

}  // namespace
}  // namespace qx::test
