// Files declared in the single-byte encodings of Windows read the same on
// every system: the library brings its own converters for them.
#include <gtest/gtest.h>

#include <tuple>
#include <variant>

#include "platform/xml_document.h"
#include "platform/xml_scanner.h"
#include "support/outils.h"

namespace qx::test {
namespace {

struct Valeurs : XmlScanner::Handler {
    std::string texte;
    void element(std::string_view, const XmlScanner& s) override { texte += s.attribut("V"); }
};

std::string declare(const char* encodage, std::string_view octets) {
    return std::string("<?xml version=\"1.0\" encoding=\"") + encodage + "\"?>\n<R V=\"" +
           std::string(octets) + "\"/>";
}

TEST(XmlEncodingsTest, SingleByteFilesReadAsUnicodeByDocumentAndScanner) {
    // Declared encoding (any case), bytes, the same text in UTF-8.
    const std::tuple<const char*, std::string, std::string> cas[] = {
        {"windows-1252", "\x80 \x8C\x9C \x8A\x9A \x8E\x9E \x9F \x85 \x93x\x94 \xE9",
         "€ Œœ Šš Žž Ÿ … “x” é"},
        {"Windows-1252", "\x80", "€"},
        {"ISO-8859-15", "\xA4 \xBC\xBD \xA6\xA8 \xB4\xB8 \xBE \xE9\xFF", "€ Œœ Šš Žž Ÿ éÿ"},
        {"iso-8859-15", "\xA4", "€"},
        // The eight signs that differ still read as Latin-1 declares them.
        {"ISO-8859-1", "\xA4\xBC", "¤¼"},
    };
    DossierTemporaire dossier;
    XmlScanner scanner;
    for (const auto& [encodage, octets, attendu] : cas) {
        const std::string chemin = dossier.ecrire("f.xml", declare(encodage, octets));
        XmlDocument::LoadResult charge = XmlDocument::loadFile(chemin);
        ASSERT_TRUE(std::holds_alternative<XmlDocument>(charge)) << encodage;
        EXPECT_EQ(std::get<XmlDocument>(charge).root().attribute("V"), attendu) << encodage;
        Valeurs valeurs;
        scanner.setFichier(chemin);
        scanner.scanner(valeurs);
        EXPECT_EQ(valeurs.texte, attendu) << encodage;
    }
}

TEST(XmlEncodingsTest, BytesWindowsLeavesUndefinedAreRefused) {
    for (const char* octet : {"\x81", "\x8D", "\x8F", "\x90", "\x9D"}) {
        XmlDocument::LoadResult charge = XmlDocument::parseText(declare("windows-1252", octet));
        EXPECT_TRUE(std::holds_alternative<XmlParseFailure>(charge)) << int(octet[0] & 0xFF);
    }
}

TEST(XmlEncodingsTest, WritingKeepsWhatTheEncodingHoldsAndReferencesTheRest) {
    XmlDocument document;
    document.createRoot("R").setAttribute("V", "€Œž → é");
    EXPECT_EQ(document.toText(false, false, "windows-1252"),
              "<R V=\"\x80\x8C\x9E &#8594; \xE9\"/>\n");
    EXPECT_EQ(document.toText(false, false, "ISO-8859-15"),
              "<R V=\"\xA4\xBC\xB8 &#8594; \xE9\"/>\n");
    // And back: the written text reads as the original.
    for (const char* encodage : {"windows-1252", "ISO-8859-15"}) {
        XmlDocument::LoadResult relu =
            XmlDocument::parseText(document.toText(false, true, encodage));
        ASSERT_TRUE(std::holds_alternative<XmlDocument>(relu)) << encodage;
        EXPECT_EQ(std::get<XmlDocument>(relu).root().attribute("V"), "€Œž → é") << encodage;
    }
}

}  // namespace
}  // namespace qx::test
