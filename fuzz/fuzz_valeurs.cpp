// The value text conversions, with the properties they promise:
// - the fast reading of amounts agrees with the character walk on every text;
// - a number written in plain decimal form (all amounts of a declaration;
//   the exponent form of huge and tiny values is not read back) and read
//   back is written the same way again;
// - rounding to whole units is idempotent;
// - a date written and read back is the same day.
#include <cmath>

#include "fuzz_entree.h"
#include "rubrics/conventions.h"

namespace {

void verifier(bool condition) {
    if (!condition) __builtin_trap();
}

// The same double, or both NaN.
bool memeNombre(double a, double b) {
    return a == b || (std::isnan(a) && std::isnan(b));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace qx;
    const std::string_view texte = fuzz::texte(data, size);

    bool rapideEchoue = false, parcoursEchoue = false;
    double rapide = 0, parcours = 0;
    try {
        rapide = TexteVersNombre(texte);
    } catch (const Error&) {
        rapideEchoue = true;
    }
    try {
        parcours = detail::TexteVersNombreParcours(texte);
    } catch (const Error&) {
        parcoursEchoue = true;
    }
    verifier(rapideEchoue == parcoursEchoue);
    if (!rapideEchoue) {
        verifier(memeNombre(rapide, parcours));
        const std::string ecrit = NombreVersTexte(rapide);
        if (ecrit.find('E') == std::string::npos)
            verifier(NombreVersTexte(TexteVersNombre(ecrit)) == ecrit);
        fuzz::sansPlantage([&] {
            const double entier = ArrondiEntier(rapide);
            verifier(ArrondiEntier(entier) == entier);
        });
        // Nine decimals are not a fixed point: x * 1e9 / 1e9 may move the
        // last bit again (4499990.497 does), so only the failure is checked.
        fuzz::sansPlantage([&] { ArrondiDecimales(rapide); });
    }

    fuzz::sansPlantage([&] {
        const Date jour = TexteVersDate(texte);
        const std::string ecrit = DateVersTexte(Value(jour));
        // The empty text stands for today, or for no date: nothing to read back.
        if (!ecrit.empty()) verifier(TexteVersDate(ecrit) == jour);
    });
    return 0;
}
