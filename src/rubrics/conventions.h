// How rubric values travel as text, once for the whole library: tolerant
// reading of amounts, writing with "." as decimal separator, dates as
// "yyyy-mm-dd" with today's date standing for no date, rounding to whole
// units (halves away from zero) and to 9 decimals, and the rubric key.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/date.h"
#include "platform/value.h"

namespace qx {

// The form code immediately followed by the rubric code ("CA3" + "HD" = "CA3HD").
std::string CleRubrique(std::string_view codeImprime, std::string_view codeRubrique);

namespace detail {
[[noreturn]] void leverDepassement();
// The character walk of TexteVersNombre without its shortcut for plain
// amounts, which must agree with it on every text; open for tests.
double TexteVersNombreParcours(std::string_view s);
}  // namespace detail

// Whole number, halves away from zero, decided with the threshold 0.4999999999999.
// A non-finite input raises 6. Inline: every change of a number rubric rounds.
[[gnu::always_inline]] inline double ArrondiEntier(double x) {
    // The double nearest to 0.4999999999999: a fractional part above it
    // rounds away from zero like a half.
    constexpr double kSeuilDemi = 0.4999999999999;
    if (!(std::fabs(x) < 0x1p52)) {
        // From 2^52 on every double is a whole number: its fractional part is 0.
        if (!std::isfinite(x)) detail::leverDepassement();
        return x;
    }
    // Truncation through a 64-bit integer is exact in this range and spares
    // a library call; copysign keeps the zero of a negative x negative.
    const double t = std::copysign(static_cast<double>(static_cast<int64_t>(x)), x);
    const double f = x - t;
    if (f < -kSeuilDemi) return t - 1.0;
    if (f > kSeuilDemi) return t + 1.0;
    return t;
}

// Nine decimals: ArrondiEntier(x * 1e9) / 1e9. A non-finite result raises 6.
[[gnu::always_inline]] inline double ArrondiDecimales(double x) {
    // A finite whole number divided by 1e9 stays finite: the one check is
    // that of ArrondiEntier on the scaled value.
    return ArrondiEntier(x * 1e9) / 1e9;
}

// Lenient conversion that never fails: the value as a double, else the
// number at the start of its text, else 0.
double VersDouble(const Value& v);
// At most 15 significant digits, "." as decimal separator whatever the locale.
std::string NombreVersTexte(double x);
// Tolerant reading of an amount ("1 234,56", "12,5 EUR", "(100)" ...): any
// text reads as a number; only a magnitude beyond a double raises 6.
double TexteVersNombre(std::string_view s);
// "yyyy-mm-dd", or the empty text for a non-date, the zero date and today.
std::string DateVersTexte(const Value& v);
// Today's date for a blank text; raises 13 when positions 1-4, 6-7 and
// 9-10 do not hold whole numbers; today's date for an impossible day.
Date TexteVersDate(std::string_view s);

}  // namespace qx
