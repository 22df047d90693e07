#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "platform/error.h"
#include "platform/locale.h"
#include "platform/value.h"
#include "support/outils.h"

namespace qx {
namespace {

using test::errorOf;

TEST(ValueTest, TextToDoubleFollowsLocalFormat) {
    // Separators, text, value (NAN: the text is no number).
    // clang-format off
    const std::tuple<const char*, const char*, const char*, double> cases[] = {
        {".", "", "12.5", 12.5}, {".", "", "  -3 ", -3}, {".", "", "+7", 7}, {".", "", "1e3", 1000},
        {".", "", "1E-2", 0.01}, {".", "", "", NAN}, {".", "", "   ", NAN}, {".", "", "12abc", NAN},
        {".", "", "1.2.3", NAN}, {".", "", "-", NAN},
        {",", "\xC2\xA0", "1\xC2\xA0" "234,5", 1234.5}, {",", " ", "1 234,5", 1234.5},
        {",", " ", "1234.5", 1234.5},  // "." still reads as the point
        {",", "\xE2\x80\xAF", "1\xE2\x80\xAF" "000", 1000},
        {",", ".", "1.234,5", 1234.5}, {",", ".", "1,5e2", 150}};
    // clang-format on
    for (const auto& [decimal, thousands, text, expected] : cases) {
        ScopedSeparators sep(decimal, thousands);
        Value v(text);
        if (std::isnan(expected))
            EXPECT_EQ(errorOf([&] { v.toDouble(); }), err::TypeIncompatible) << text;
        else
            EXPECT_DOUBLE_EQ(v.toDouble(), expected) << text;
    }
}

TEST(ValueTest, ConversionsOfEveryKind) {
    EXPECT_EQ(Value().toDouble(), 0.0);
    EXPECT_EQ(Value(int16_t{-4}).toDouble(), -4.0);
    EXPECT_EQ(Value(Currency::fromDouble(1.23456)).toDouble(), 1.2346);
    EXPECT_EQ(Value(true).toDouble(), -1.0);
    EXPECT_EQ(Value().toText(), "");
    EXPECT_EQ(Value(fromCivil(2024, 3, 15)).toText(), "15/03/2024");
    EXPECT_EQ(Value("15/03/2024").toDate(), fromCivil(2024, 3, 15));
    EXPECT_EQ(errorOf([] { Value("demain").toDate(); }), err::TypeIncompatible);
    EXPECT_EQ(errorOf([] { Value(std::make_shared<Object>()).toDouble(); }), err::TypeIncompatible);
    EXPECT_EQ(errorOf([] { Value(1e300).toDate(); }), err::Depassement);
}

TEST(ValueTest, WholeNumbersRoundHalfToEvenAndCheckRange) {
    EXPECT_EQ(Value("12").toInt16(), 12);
    EXPECT_EQ(Value(2.5).toInt16(), 2);
    EXPECT_EQ(Value(3.5).toInt16(), 4);
    EXPECT_EQ(Value(-2.5).toInt16(), -2);
    EXPECT_EQ(errorOf([] { Value("40000").toInt16(); }), err::Depassement);
    EXPECT_EQ(errorOf([] { Value(-32769.0).toInt16(); }), err::Depassement);
    EXPECT_EQ(Value(-32768.0).toInt16(), -32768);
    EXPECT_EQ(errorOf([] { Value("abc").toInt16(); }), err::TypeIncompatible);
    EXPECT_EQ(errorOf([] { Value(std::nan("")).toInt32(); }), err::Depassement);
}

TEST(ValueTest, CurrencyRoundsHalfToEven) {
    EXPECT_EQ(Currency::fromDouble(0.00005).ticks, 0);
    EXPECT_EQ(Currency::fromDouble(-0.00005).ticks, 0);
    EXPECT_EQ(Currency::fromDouble(0.000150001).ticks, 2);
    EXPECT_EQ(Currency::fromDouble(-1234.56789).ticks, -12345679);
    EXPECT_EQ(errorOf([] { Currency::fromDouble(1e300); }), err::Depassement);
}

TEST(ValueTest, EqualityComparesNumbersAcrossKinds) {
    EXPECT_EQ(Value(int32_t{0}), Value(0.0));
    EXPECT_EQ(Value(int16_t{5}), Value(5.0));
    EXPECT_EQ(Value(), Value(0.0));
    EXPECT_EQ(Value(), Value(""));
    EXPECT_NE(Value("5"), Value(5.0));
    EXPECT_NE(Value("a"), Value("A"));
    auto o = std::make_shared<Object>();
    EXPECT_EQ(Value(o), Value(o));
    EXPECT_NE(Value(o), Value(std::make_shared<Object>()));
}

TEST(ValueTest, DoubleTextUsesFifteenDigitsAndLocalSeparator) {
    // clang-format off
    const std::tuple<double, const char*, const char*> cases[] = {
        {1234.5, ".", "1234.5"}, {1234.5, ",", "1234,5"}, {0.1 + 0.2, ".", "0.3"}, {-0.0, ".", "0"},
        {1e15, ".", "1E+15"}, {123456789012345.0, ".", "123456789012345"}, {1e-5, ".", "1E-05"}};
    // clang-format on
    for (const auto& [x, point, text] : cases) EXPECT_EQ(formatDouble(x, point), text) << x;
    ScopedSeparators sep(",", " ");
    EXPECT_EQ(Value(-0.25).toText(), "-0,25");
}

}  // namespace
}  // namespace qx
