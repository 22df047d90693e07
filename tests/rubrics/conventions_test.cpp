#include "rubrics/conventions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "platform/clock.h"
#include "platform/error.h"
#include "platform/locale.h"

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

// The day the test program fixes as today.
Date jourFixe() {
    return fromCivil(2026, 12, 5);
}
const char* const kInsecable = "\xC2\xA0";

struct Separateurs {
    const char* decimal;
    const char* milliers;
};

// Every row reads the same whatever the local settings say: "," and "."
// are always decimal separators, spaces and no-break spaces always skipped.
TEST(TexteVersNombreTest, ReadsTheAmountsOfEveryLocale) {
    struct Cas {
        std::string texte;
        double attendu;
    };
    const Cas cas[] = {
        {"1 234,56", 1234.56},
        {"-1 234.5", -1234.5},
        {"+12", 12},
        {"12,5 EUR", 12.5},
        {"1.000,50", 1},
        {"5-3", 5},
        {"(100)", 0},
        {".5", 0.5},
        {"--5", 0},
        {"abc", 0},
        {"", 0},
        {std::string("1") + kInsecable + "000", 1000},
        {"1\xE2\x80\xAF"
         "000,5",
         1000.5},  // narrow no-break space
        {"1\xA0"
         "000",
         1000},  // code 160 of an 8-bit text
        {"  -  42", -42},
        {"+-5", 0},
        {"-.25", -0.25},
        {"7.", 7},
        {"-", 0},
        {".", 0},
        {"\t5", 0},
        {"12\t5", 12},
        {"0012,50", 12.5},
        {"12345678901234567890", 12345678901234567890.0},
        {"1 2 3", 123},
        {"3,5,7", 3.5},
        {"1e5", 1},
    };
    const Separateurs locales[] = {
        {".", ""}, {",", " "}, {",", kInsecable}, {",", "."}, {".", ","}};
    for (const auto& l : locales) {
        ScopedSeparators sep(l.decimal, l.milliers);
        for (const auto& c : cas) {
            SCOPED_TRACE(std::string("[") + l.decimal + "|" + l.milliers + "] " + c.texte);
            EXPECT_EQ(TexteVersNombre(c.texte), c.attendu);
        }
    }
}

TEST(TexteVersNombreTest, LocalSeparatorsAreReadAtEachCall) {
    struct Cas {
        Separateurs local;
        const char* texte;
        double attendu;
    };
    const Cas cas[] = {
        {{".", "'"}, "1'234.5", 1234.5},
        {{".", ""}, "1'234.5", 1},
        {{"\xD9\xAB", ""},
         "12\xD9\xAB"
         "5",
         12.5},  // a two-byte decimal separator
        {{".", ""},
         "12\xD9\xAB"
         "5",
         12},
        {{",", "\xE2\x80\x89"},
         "1\xE2\x80\x89"
         "000",
         1000},  // thin space as grouping
        {{",", ""},
         "1\xE2\x80\x89"
         "000",
         1},
        {{",", "\xE2\x80\x89"},
         "1\xE2\x80\x8A"
         "000",
         1},  // another character of the same lead byte
    };
    for (const auto& c : cas) {
        ScopedSeparators sep(c.local.decimal, c.local.milliers);
        SCOPED_TRACE(c.texte);
        EXPECT_EQ(TexteVersNombre(c.texte), c.attendu);
    }
}

TEST(TexteVersNombreTest, MagnitudesBeyondADouble) {
    EXPECT_EQ(erreurDe([] { TexteVersNombre(std::string(400, '9')); }), err::Depassement);
    EXPECT_EQ(TexteVersNombre("0," + std::string(400, '0') + "1"), 0.0);
    EXPECT_EQ(TexteVersNombre("-" + std::string(400, '0') + "5"), -5.0);
}

TEST(ArrondiTest, WholeNumbersHalvesAwayFromZero) {
    struct Cas {
        double x;
        double attendu;
    };
    const Cas cas[] = {
        {2.5, 3},
        {-2.5, -3},
        {1.5, 2},
        {-0.5, -1},
        {0.4999999999999, 0},
        {-0.4999999999999, 0},
        {0.49999999999995, 1},
        {-0.49999999999995, -1},
        {7, 7},
        {-7, -7},
        {10.4, 10},
        {-10.6, -11},
        {4503599627370495.5, 4503599627370496.0},
        {1e300, 1e300},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.x);
        EXPECT_EQ(ArrondiEntier(c.x), c.attendu);
    }
}

TEST(ArrondiTest, NineDecimals) {
    struct Cas {
        double x;
        double attendu;
    };
    const Cas cas[] = {
        {1234.5678901234, 1234.567890123},
        {0.30000000000000004, 0.3},
        {5e-10, 1e-9},
        {-5e-10, -1e-9},
        {4e-10, 0},
        {0.1 + 0.7, 0.8},
        {-1234.5678901235, -1234.567890124},
        {12, 12},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.x);
        EXPECT_EQ(ArrondiDecimales(c.x), c.attendu);
    }
}

TEST(ArrondiTest, NonFiniteValuesOverflow) {
    const double valeurs[] = {std::numeric_limits<double>::infinity(),
                              -std::numeric_limits<double>::infinity(),
                              std::numeric_limits<double>::quiet_NaN()};
    for (double x : valeurs) {
        EXPECT_EQ(erreurDe([x] { ArrondiEntier(x); }), err::Depassement);
        EXPECT_EQ(erreurDe([x] { ArrondiDecimales(x); }), err::Depassement);
    }
    // Finite, but beyond the range once scaled to nine decimals.
    EXPECT_EQ(erreurDe([] { ArrondiDecimales(1e300); }), err::Depassement);
}

TEST(VersDoubleTest, NeverFails) {
    struct Cas {
        Value v;
        double attendu;
    };
    const Cas cas[] = {
        {Value(2.5), 2.5},
        {Value(int16_t{7}), 7},
        {Value(), 0},
        {Value(true), -1},
        {Value(fromCivil(1900, 1, 1)), 2},
        {Value(" 12 "), 12},
        {Value("12abc"), 12},
        {Value("-3.5 kg"), -3.5},
        {Value("1.2.3"), 1.2},
        {Value("abc"), 0},
        {Value(" 5x"), 0},  // the fallback reads from the very first character
        {Value(std::make_shared<Object>()), 0},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.attendu);
        EXPECT_EQ(VersDouble(c.v), c.attendu);
    }
    ScopedSeparators sep(",", " ");
    EXPECT_EQ(VersDouble(Value("1 234,5")), 1234.5);
}

TEST(NombreVersTexteTest, AlwaysWritesAPoint) {
    struct Cas {
        double x;
        const char* attendu;
    };
    const Cas cas[] = {
        {1234.5, "1234.5"},
        {100, "100"},
        {-0.25, "-0.25"},
        {0, "0"},
        {-0.0, "0"},
        {0.1 + 0.2, "0.3"},
        {123456789012.123, "123456789012.123"},
        {1234.567890123, "1234.567890123"},
    };
    const Separateurs locales[] = {{".", ""}, {",", " "}, {",", "."}};
    for (const auto& l : locales) {
        ScopedSeparators sep(l.decimal, l.milliers);
        for (const auto& c : cas) {
            SCOPED_TRACE(c.attendu);
            EXPECT_EQ(NombreVersTexte(c.x), c.attendu);
        }
    }
}

TEST(DateVersTexteTest, TodayAndTheZeroDateWriteNothing) {
    struct Cas {
        Value v;
        const char* attendu;
    };
    const Cas cas[] = {
        {Value(jourFixe()), ""},
        {Value(Date{jourFixe().serial + 0.5}), "2026-12-05"},
        {Value(Date{jourFixe().serial - 1}), "2026-12-04"},
        {Value(Date{0.0}), ""},
        {Value(Date{fromCivil(2024, 3, 15).serial + 0.75}), "2024-03-15"},
        {Value(fromCivil(1899, 12, 31)), "1899-12-31"},
        {Value(fromCivil(705, 1, 2)), "0705-01-02"},
        {Value("2024-03-15"), ""},
        {Value(45000.0), ""},
        {Value(), ""},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.attendu);
        EXPECT_EQ(DateVersTexte(c.v), c.attendu);
    }
}

TEST(TexteVersDateTest, ReadsFixedPositions) {
    struct Cas {
        const char* texte;
        Date attendu;
    };
    const Date mars15 = fromCivil(2024, 3, 15);
    const Cas cas[] = {
        {"2024-03-15", mars15},
        {"2024/03/15", mars15},
        {"2024x03y15 and more", mars15},
        {"2024-03-15T10:00", mars15},
        {"2024\xC3\xA9"
         "03\xC3\xA9"
         "15",
         mars15},                              // positions count characters
        {"2024-03-5", fromCivil(2024, 3, 5)},  // a short last group
        {"2024-03- 5", fromCivil(2024, 3, 5)},
        {"2024-02-29", fromCivil(2024, 2, 29)},
        {"2024-02-30", jourFixe()},
        {"2023-02-29", jourFixe()},
        {"2024-13-05", jourFixe()},  // no exchange of day and month
        {"2024-00-10", jourFixe()},
        {"0024-03-15", jourFixe()},
        {" 2024-03-15", jourFixe()},  // positions are those of the untrimmed text
        {"", jourFixe()},
        {"   ", jourFixe()},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.texte);
        EXPECT_EQ(TexteVersDate(c.texte).serial, c.attendu.serial);
    }
}

TEST(TexteVersDateTest, GroupsThatAreNoWholeNumberMismatch) {
    const char* const textes[] = {"15/03/2024", "2024-03",   "20x4-03-15", "2024-3.-15",
                                  "2024-03-1x", "2024-+-15", "x",          "\t"};
    for (const char* t : textes) {
        SCOPED_TRACE(t);
        EXPECT_EQ(erreurDe([t] { TexteVersDate(t); }), err::TypeIncompatible);
    }
}

TEST(CleRubriqueTest, JoinsTheCodesAsTheyAre) {
    EXPECT_EQ(CleRubrique("CA3", "HD"), "CA3HD");
    EXPECT_EQ(CleRubrique("CA12", "KA"), "CA12KA");
    EXPECT_EQ(CleRubrique("ca3", "hd"), "ca3hd");
    EXPECT_EQ(CleRubrique("CA3", ""), "CA3");
    EXPECT_EQ(CleRubrique("", "HD"), "HD");
}

}  // namespace
}  // namespace qx
