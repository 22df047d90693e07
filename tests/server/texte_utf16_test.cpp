// Host texts (UTF-16) to the library's UTF-8 and back: nothing is lost,
// whatever a host's string holds.
#include "server/com/texte_utf16.h"

#include <gtest/gtest.h>

namespace qx::com {
namespace {

TEST(TexteUtf16, AllerRetourSansPerte) {
    struct Cas {
        const char* nom;
        std::u16string hote;
        std::string utf8;
    };
    const Cas cas[] = {
        {"ascii", u"CA3HD", "CA3HD"},
        {"accents", u"Soci\u00e9t\u00e9 G\u00e9n\u00e9rale",
         "Soci\xc3\xa9t\xc3\xa9 G\xc3\xa9n\xc3\xa9rale"},
        {"euro", u"12 \u20ac", "12 \xe2\x82\xac"},
        {"hors du plan de base", u"\U0001F600\U00010348", "\xf0\x9f\x98\x80\xf0\x90\x8d\x88"},
        {"nul au milieu", std::u16string(u"a\0b", 3), std::string("a\0b", 3)},
        {"vide", u"", ""},
        // A host's string may hold a lone surrogate: it comes back as it was.
        {"demi-paire haute seule", std::u16string(1, char16_t(0xD83D)) + u"x", "\xed\xa0\xbdx"},
        {"demi-paire basse seule", std::u16string(1, char16_t(0xDE00)), "\xed\xb8\x80"},
    };
    for (const Cas& c : cas) {
        EXPECT_EQ(versUtf8(c.hote), c.utf8) << c.nom;
        EXPECT_EQ(versUtf16(c.utf8), c.hote) << c.nom;
    }
}

TEST(TexteUtf16, OctetsQuiNeSontPasDeUtf8) {
    struct Cas {
        const char* nom;
        std::string octets;
        std::u16string attendu;
    };
    const Cas cas[] = {
        {"latin-1 seul", "caf\xe9", u"caf\uFFFD"},
        {"suite coupee", "\xe2\x82", u"\uFFFD\uFFFD"},
        {"forme trop longue", "\xc0\xaf", u"\uFFFD\uFFFD"},
        {"au-dela de U+10FFFF", "\xf4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
    };
    for (const Cas& c : cas) EXPECT_EQ(versUtf16(c.octets), c.attendu) << c.nom;
}

}  // namespace
}  // namespace qx::com
