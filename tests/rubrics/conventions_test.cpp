#include "rubrics/conventions.h"

#include <gtest/gtest.h>

#include <tuple>

#include "platform/locale.h"
#include "support/outils.h"

namespace qx::test {
namespace {

TEST(TexteVersNombreTest, SameAmountsWhateverTheLocalSettingsAndHugeOnes) {
    // clang-format off
    const std::pair<std::string, double> cas[] = {
        {"1 234,56", 1234.56}, {"-1 234.5", -1234.5}, {"12,5 EUR", 12.5}, {"1.000,50", 1},
        {"--5", 0}, {"1\xE2\x80\xAF" "000,5", 1000.5}, {"1\xA0" "000", 1000}, {"  -  42", -42},
        {"\t5", 0}, {"3,5,7", 3.5}, {"1e5", 1}};
    const std::pair<const char*, const char*> locales[] = {
        {".", ""}, {",", "\xC2\xA0"}, {",", "."}, {".", ","}};
    // Texts read with these settings only: separators of several bytes among them.
    const std::tuple<const char*, const char*, const char*, double> propres[] = {
        {"\xD9\xAB", "'", "1'2\xD9\xAB" "5", 12.5},
        {",", "\xE2\x80\x89", "1\xE2\x80\x89" "000\xE2\x80\x8A" "5", 1000}};  // hair space: not it
    // clang-format on
    for (const auto& [decimal, milliers] : locales) {
        ScopedSeparators sep(decimal, milliers);
        for (const auto& [texte, attendu] : cas)
            EXPECT_EQ(TexteVersNombre(texte), attendu)
                << decimal << "|" << milliers << "| " << texte;
    }
    for (const auto& [decimal, milliers, texte, attendu] : propres) {
        ScopedSeparators sep(decimal, milliers);
        EXPECT_EQ(TexteVersNombre(texte), attendu) << texte;
    }
    EXPECT_EQ(errorOf([] { TexteVersNombre(std::string(400, '9')); }), err::Depassement);
    EXPECT_EQ(TexteVersNombre("0," + std::string(400, '0') + "1"), 0.0);
}

TEST(TexteVersNombreTest, SeparatorCacheKeepsThePassSettingsAndRestoresThem) {
    {
        ScopedSeparators hote(",", "'");
        ScopedSeparatorCache passe;  // the host's settings, fixed for the pass
        {
            ScopedSeparators dedans(".", "_");  // fixed during the pass: it wins
            ScopedSeparatorCache emboite;
            EXPECT_EQ(TexteVersNombre("1_234.5"), 1234.5);
        }
        EXPECT_EQ(TexteVersNombre("1'234,5 EUR"), 1234.5);
    }
    // Nothing stays fixed once every scope has ended: back to the tests' C locale.
    ScopedSeparatorCache passe;
    EXPECT_EQ(TexteVersNombre("1'234"), 1);
}

TEST(ConversionTest, LenientNumbersAndPointTexts) {
    // What the value itself reads is read the same; past that, the longest number in front.
    ScopedSeparators sep(",", " ");
    const std::pair<Value, double> doubles[] = {
        {Value(true), -1},     {Value("1 234,5"), 1234.5}, {Value("12abc"), 12},
        {Value("1.2.3"), 1.2}, {Value(" 5x"), 0},          {Value(std::make_shared<Object>()), 0}};
    for (const auto& [v, attendu] : doubles) EXPECT_EQ(VersDouble(v), attendu) << attendu;
    EXPECT_EQ(NombreVersTexte(-1234.5), "-1234.5");
}

TEST(DateTest, TodayStandsForNoDate) {
    const Date jour = fromCivil(2026, 12, 5), mars15 = fromCivil(2024, 3, 15);
    // clang-format off
    const std::pair<Value, const char*> ecrites[] = {
        {Value(jour), ""}, {Value(Date{jour.serial + 0.5}), "2026-12-05"}, {Value(Date{0.0}), ""},
        {Value(fromCivil(705, 1, 2)), "0705-01-02"}, {Value("2024-03-15"), ""}};
    const std::pair<const char*, Date> lues[] = {
        {"2024x03y15 et la suite", mars15}, {"2024\xC3\xA9" "03\xC3\xA9" "15", mars15},
        {"2024-02-29", fromCivil(2024, 2, 29)}, {"2023-02-29", jour}, {" 2024-03-15", jour},
        {"   ", jour}};
    // clang-format on
    for (const auto& [v, attendu] : ecrites) EXPECT_EQ(DateVersTexte(v), attendu) << attendu;
    for (const auto& [texte, attendu] : lues)
        EXPECT_EQ(TexteVersDate(texte).serial, attendu.serial) << texte;
    for (const char* texte : {"15/03/2024", "2024-03", "20x4-03-15", "\t"})
        EXPECT_EQ(errorOf([texte] { TexteVersDate(texte); }), err::TypeIncompatible) << texte;
}

}  // namespace
}  // namespace qx::test
