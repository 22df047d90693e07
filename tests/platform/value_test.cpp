#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <tuple>

#include "platform/error.h"
#include "platform/locale.h"
#include "platform/value.h"
#include "support/outils.h"

namespace qx {
namespace {

using test::errorOf;

TEST(ValueTest, TextsAndDoublesFollowLocalFormat) {
    // Separators, text, value (NAN: the text is no number).
    // clang-format off
    const std::tuple<const char*, const char*, const char*, double> cases[] = {
        {".", "", "  -3 ", -3}, {".", "", "1E-2", 0.01}, {".", "", "   ", NAN},
        {".", "", "1.2.3", NAN}, {",", "\xC2\xA0", "1\xC2\xA0" "234,5", 1234.5},
        {",", " ", "1234.5", 1234.5},  // "." still reads as the point
        {",", ".", "1.234,5", 1234.5}};
    // Fifteen significant digits, exponents past them, no sign on a zero.
    const std::pair<double, const char*> textes[] = {{0.1 + 0.2, "0.3"}, {-0.0, "0"},
        {1e15, "1E+15"}, {123456789012345.0, "123456789012345"}, {1e-5, "1E-05"}};
    // clang-format on
    for (const auto& [decimal, thousands, text, expected] : cases) {
        ScopedSeparators sep(decimal, thousands);
        Value v(text);
        if (std::isnan(expected))
            EXPECT_EQ(errorOf([&] { v.toDouble(); }), err::TypeIncompatible) << text;
        else
            EXPECT_DOUBLE_EQ(v.toDouble(), expected) << text;
    }
    for (const auto& [x, text] : textes) EXPECT_EQ(formatDouble(x, "."), text) << x;
    ScopedSeparators sep(",", " ");
    EXPECT_EQ(Value(-1234.25).toText(), "-1234,25");
}

TEST(ValueTest, ConversionsRoundHalfToEvenAndCheckRange) {
    // clang-format off
    // Value, as a double, as a 16-bit whole number.
    const std::tuple<Value, double, int16_t> nombres[] = {
        {Value(), 0, 0}, {Value(true), -1, -1}, {Value("12"), 12, 12},
        {Value(Currency::fromDouble(-1234.56789)), -1234.5679, -1235}, {Value(2.5), 2.5, 2},
        {Value(3.5), 3.5, 4}, {Value(-32768.0), -32768, -32768},
        {Value(Currency::fromDouble(0.00005)), 0, 0}};
    const std::pair<std::function<void()>, int32_t> erreurs[] = {
        {[] { Value("demain").toDate(); }, err::TypeIncompatible},
        {[] { Value(1e300).toDate(); }, err::Depassement},
        {[] { Value(std::make_shared<Object>()).toDouble(); }, err::TypeIncompatible},
        {[] { Value(-32769.0).toInt16(); }, err::Depassement},
        {[] { Value(std::nan("")).toInt32(); }, err::Depassement},
        {[] { Currency::fromDouble(1e300); }, err::Depassement}};
    // clang-format on
    for (const auto& [v, reel, entier] : nombres)
        EXPECT_TRUE(v.toDouble() == reel && v.toInt16() == entier) << reel;
    for (size_t i = 0; i < std::size(erreurs); ++i)
        EXPECT_EQ(errorOf(erreurs[i].first), erreurs[i].second) << "cas " << i;
}

TEST(ValueTest, EqualityComparesNumbersAcrossKinds) {
    auto o = std::make_shared<Object>();
    // clang-format off
    const std::tuple<Value, Value, bool> paires[] = {
        {Value(int16_t{5}), Value(5.0), true}, {Value(), Value(""), true},
        {Value("5"), Value(5.0), false}, {Value(), Value(0.0), true},
        {Value("a"), Value("A"), false}, {Value(o), Value(o), true},
        {Value(o), Value(std::make_shared<Object>()), false}};
    // clang-format on
    for (int i = 0; const auto& [a, b, egales] : paires) EXPECT_EQ(a == b, egales) << i++;
}

TEST(ValueTest, HostKindsConvertOrFailWithTheirNumbers) {
    // What each conversion of Null and of a missing argument raises: Null
    // wherever a value is needed is 94, a missing argument is no value (13).
    const std::function<void(const Value&)> conversions[] = {
        [](const Value& v) { v.toDouble(); },   [](const Value& v) { v.toText(); },
        [](const Value& v) { v.toInt16(); },    [](const Value& v) { v.toInt32(); },
        [](const Value& v) { v.toCurrency(); }, [](const Value& v) { v.toDate(); },
        [](const Value& v) { v.toBool(); }};
    for (size_t i = 0; i < std::size(conversions); ++i) {
        EXPECT_EQ(errorOf([&] { conversions[i](Value::null()); }), err::NullIncorrect) << i;
        EXPECT_EQ(errorOf([&] { conversions[i](Value::missing()); }), err::TypeIncompatible) << i;
        // Nothing where a value is needed is an unset object; a real object the wrong type.
        EXPECT_EQ(errorOf([&] { conversions[i](Value(ObjectRef())); }), err::ObjetNonDefini) << i;
        EXPECT_EQ(errorOf([&] { conversions[i](Value(std::make_shared<Object>())); }),
                  err::TypeIncompatible)
            << i;
    }
    EXPECT_TRUE(Value::null().isNull() && !Value::null().isEmpty() && !Value::null().isNumber());
    EXPECT_TRUE(Value::missing().isMissing() && !Value::missing().isNull());
    // Neither equals anything, not even itself: a host's Null compares as no value.
    for (const Value& v : {Value(), Value(0.0), Value(""), Value::null(), Value::missing()}) {
        EXPECT_FALSE(Value::null() == v);
        EXPECT_FALSE(Value::missing() == v);
    }
}

TEST(ValueTest, CurrencyAndDateKeepTheirRange) {
    // clang-format off
    const std::tuple<Value, int64_t> montants[] = {
        {Value(1.23456), 12346}, {Value(0.03125), 312}, {Value("-2,5"), -25000},
        {Value(int16_t{-32768}), -327680000}, {Value(Currency{7}), 7}, {Value(true), -10000}};
    const std::function<void()> depassements[] = {
        [] { Value(9.3e14).toCurrency(); }, [] { Value(-9.3e14).toCurrency(); },
        [] { Value(Currency{INT64_MAX}).toInt32(); }, [] { Value(32767.5).toInt16(); },
        [] { Value(2958466.0).toDate(); }, [] { Value(-657435.0).toDate(); }};
    // clang-format on
    ScopedSeparators sep(",", " ");
    for (const auto& [v, ticks] : montants) EXPECT_EQ(v.toCurrency().ticks, ticks) << v.toText();
    for (size_t i = 0; i < std::size(depassements); ++i)
        EXPECT_EQ(errorOf(depassements[i]), err::Depassement) << "cas " << i;
    EXPECT_EQ(Value(Date{2958465.5}).toDate().serial, 2958465.5);
    EXPECT_EQ(Value(Currency{-5}).toInt16(), 0);
}

TEST(ObjectTest, WrapperSlotBelongsToOneObject) {
    Object o, affectee;
    int wrapper = 0;
    o.setHostWrapper(&wrapper);
    // A copy is another object, which a host must not see as the first one.
    Object copie(o);
    affectee = o;
    EXPECT_TRUE(o.hostWrapper() == &wrapper && !copie.hostWrapper() && !affectee.hostWrapper());
}

}  // namespace
}  // namespace qx
