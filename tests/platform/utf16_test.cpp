#include <gtest/gtest.h>

#include "platform/utf16.h"

namespace qx {
namespace {

TEST(Utf16Test, EveryUtf16TextComesBackUnchanged) {
    const std::pair<std::u16string, std::string> cas[] = {
        {u"", ""},
        {u"Soci\u00e9t\u00e9 \u20ac", "Soci\xC3\xA9t\xC3\xA9 \xE2\x82\xAC"},
        {u"\U0001F600", "\xF0\x9F\x98\x80"},  // outside the Basic Multilingual Plane
        {std::u16string(1, u'\0') + u"x", std::string(1, '\0') + "x"},
        // Lone surrogates keep a three-byte form of their own.
        {std::u16string{0xD83D, u'a'},
         "\xED\xA0\xBD"
         "a"},
        {std::u16string{0xDE00}, "\xED\xB8\x80"},
        // A low surrogate before a high one is no pair.
        {std::u16string{0xDE00, 0xD83D}, "\xED\xB8\x80\xED\xA0\xBD"},
    };
    for (const auto& [utf16, utf8] : cas) {
        EXPECT_EQ(utf8FromUtf16(utf16), utf8);
        EXPECT_EQ(utf16FromUtf8(utf8), utf16);
    }
}

TEST(Utf16Test, BytesThatAreNoUtf8BecomeOneReplacementEach) {
    const std::pair<std::string, std::u16string> cas[] = {
        {"caf\xE9", u"caf\uFFFD"},                          // a windows-1252 byte
        {"\xC0\xAF", u"\uFFFD\uFFFD"},                      // overlong slash
        {"\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},            // overlong, three bytes
        {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // beyond U+10FFFF
        {"\xE2\x82", u"\uFFFD\uFFFD"},                      // cut short
    };
    for (const auto& [utf8, utf16] : cas) EXPECT_EQ(utf16FromUtf8(utf8), utf16);
}

}  // namespace
}  // namespace qx
