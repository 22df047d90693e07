#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "platform/error.h"
#include "platform/xml_document.h"
#include "platform/xml_scanner.h"

namespace qx {
namespace {

std::string tempFile(const std::string& name, const std::string& content) {
    auto path = std::filesystem::temp_directory_path() / ("qx_platform_" + name);
    std::ofstream(path, std::ios::binary) << content;
    return path.string();
}

struct Recorder : XmlScanner::Handler {
    std::vector<std::string> seen;
    void element(std::string_view name, const XmlScanner& s) override {
        seen.push_back(std::string(name) + "[" + std::string(s.attribut("A")) + "]");
        if (name == "STOP") throw Error(42, "arrêt");
    }
};

TEST(XmlScannerTest, ReportsEveryElementInDocumentOrder) {
    std::string path = tempFile("scan.xml",
                                "<?xml version='1.0' encoding='ISO-8859-1'?>\n"
                                "<R A='r'><X><Y A=' 1 &amp; \xE9'/></X><Y/><Z A=''/></R>");
    XmlScanner scanner;
    scanner.setFichier(path);
    Recorder r;
    scanner.scanner(r);
    EXPECT_EQ(r.seen, (std::vector<std::string>{"R[r]", "X[]", "Y[ 1 & \xC3\xA9]", "Y[]", "Z[]"}));
}

TEST(XmlScannerTest, FailuresCarryNumbersAndStopTheScan) {
    XmlScanner scanner;
    Recorder r;
    scanner.setFichier(tempFile("broken.xml", "<R>\n<A>\n</R>"));
    try {
        scanner.scanner(r);
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(static_cast<uint32_t>(e.number()) & 0xFFFFF000u, 0xC00CE000u);
        EXPECT_NE(e.description().find("(fichier ligne 3) \r"), std::string::npos)
            << e.description();
    }
    scanner.setFichier(tempFile("stop.xml", "<R><STOP/><AFTER/></R>"));
    r.seen.clear();
    try {
        scanner.scanner(r);
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), 42);
    }
    EXPECT_EQ(r.seen.back(), "STOP[]");
    scanner.setFichier(tempFile("empty.xml", ""));
    EXPECT_THROW(scanner.scanner(r), Error);
    scanner.setFichier("/nonexistent/dir/file.xml");
    EXPECT_THROW(scanner.scanner(r), Error);
}

TEST(XmlScannerTest, AttributeNamesMatchWholly) {
    // Names that are prefixes of one another, and a value with an entity.
    std::string path = tempFile("names.xml", "<R AB='2' A='1' ABC='3' B='&lt;4&gt;' E=''/>");
    struct Lookups : XmlScanner::Handler {
        std::vector<std::pair<std::string, std::string>> cases = {
            {"A", "1"}, {"AB", "2"}, {"ABC", "3"}, {"B", "<4>"}, {"ABCD", ""},
            {"", ""},   {"a", ""},   {"E", ""},    {"C", ""},    {std::string("A\0", 2), ""}};
        std::vector<std::string> got;
        void element(std::string_view, const XmlScanner& s) override {
            for (const auto& c : cases) got.emplace_back(s.attribut(c.first));
        }
    } lookups;
    XmlScanner scanner;
    scanner.setFichier(path);
    scanner.scanner(lookups);
    ASSERT_EQ(lookups.got.size(), lookups.cases.size());
    for (size_t i = 0; i < lookups.cases.size(); ++i)
        EXPECT_EQ(lookups.got[i], lookups.cases[i].second)
            << "attribute '" << lookups.cases[i].first << "'";
}

TEST(XmlScannerTest, RepeatedLookupsStayExactAcrossElementsAndScans) {
    // Each element is read with the same name texts, from one reused buffer;
    // names come and go and change places from one element and one file to the next.
    struct Reader : XmlScanner::Handler {
        std::string buffer;
        std::vector<std::string> got;
        void element(std::string_view name, const XmlScanner& s) override {
            std::string line(name);
            for (const char* n : {"A", "B", "AB"}) {
                buffer = n;
                line += " " + std::string(s.attribut(buffer)) + "|" + std::string(s.attribut(n));
            }
            got.push_back(line);
        }
    };
    struct Case {
        std::string xml;
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases = {
        {"<R A='1' B='2'><E AB='3'/><E B='4' A='5'/></R>",
         {"R 1|1 2|2 |", "E | | 3|3", "E 5|5 4|4 |"}},
        {"<R B='x' A='y'><E A='z'/></R>", {"R y|y x|x |", "E z|z | |"}},
        {"<Q AB='p' B='q'/>", {"Q | q|q p|p"}},
    };
    XmlScanner scanner;  // one scanner for every file
    for (size_t i = 0; i < cases.size(); ++i) {
        Reader reader;
        scanner.setFichier(tempFile("lookups" + std::to_string(i) + ".xml", cases[i].xml));
        scanner.scanner(reader);
        EXPECT_EQ(reader.got, cases[i].expected) << cases[i].xml;
    }
}

TEST(XmlScannerTest, LargeFilesAreReadWhateverTheChunkBoundaries) {
    // Several hundred kilobytes, so that elements and values straddle every
    // read boundary; each line carries its own number twice, in a Latin-1 file.
    std::string content = "<?xml version='1.0' encoding='ISO-8859-1'?>\n<D>";
    const int lines = 20000;
    for (int i = 0; i < lines; ++i) {
        std::string n = std::to_string(i);
        content += "<J><LIGNE COMPTE='" + n + "' LIBELLE='\xE9" +
                   std::string(static_cast<size_t>(i % 37), 'x') + "' MONTANT='-" + n +
                   ".5'/></J>\n";
    }
    content += "</D>";
    ASSERT_GT(content.size(), 4u * 256 * 1024);
    struct Checker : XmlScanner::Handler {
        int lignes = 0, others = 0, faults = 0;
        std::vector<std::pair<uint64_t, uint64_t>> progress;
        void element(std::string_view name, const XmlScanner& s) override {
            if (name != "LIGNE") {
                ++others;
                return;
            }
            std::string n = std::to_string(lignes);
            if (s.attribut("COMPTE") != n || s.attribut("MONTANT") != "-" + n + ".5" ||
                s.attribut("LIBELLE") !=
                    "\xC3\xA9" + std::string(static_cast<size_t>(lignes % 37), 'x'))
                ++faults;
            ++lignes;
        }
    } checker;
    XmlScanner scanner;
    scanner.setFichier(tempFile("large.xml", content));
    scanner.setProgression([&](uint64_t read, uint64_t total) {
        checker.progress.push_back({read, total});
    });
    scanner.scanner(checker);
    EXPECT_EQ(checker.lignes, lines);
    EXPECT_EQ(checker.others, lines + 1);
    EXPECT_EQ(checker.faults, 0);
    ASSERT_GE(checker.progress.size(), 2u);
    const uint64_t size = content.size();
    EXPECT_EQ(checker.progress.back().first, size);
    EXPECT_EQ(checker.progress.back().second, size);
    EXPECT_TRUE(std::is_sorted(checker.progress.begin(), checker.progress.end()));
}

TEST(XmlDocumentTest, LoadReportsParserLineAndWalksElements) {
    // The first fault is reported (the mismatched tag), not the end-of-file complaint after it.
    auto bad = XmlDocument::loadFile(tempFile("bad.xml", "<a>\n\n<b>\n</a>\n\n\n"));
    ASSERT_EQ(bad.index(), 1u);
    EXPECT_EQ(std::get<1>(bad).line, 4);
    EXPECT_NE(std::get<1>(bad).reason.find("mismatch"), std::string::npos) << std::get<1>(bad).reason;
    auto missing = XmlDocument::loadFile("/nonexistent/dir/file.xml");
    ASSERT_EQ(missing.index(), 1u);

    auto good = XmlDocument::parseText("\xEF\xBB\xBF<r><i c='1'><i c='2'/></i><j><i/></j></r>");
    ASSERT_EQ(good.index(), 0u);
    auto& doc = std::get<0>(good);
    EXPECT_EQ(doc.elements("i").size(), 3u);
    EXPECT_EQ(doc.root().children("i").size(), 1u);
    EXPECT_EQ(doc.root().children("i")[0].attribute("c").value(), "1");
    EXPECT_FALSE(doc.root().attribute("c").has_value());
}

TEST(XmlDocumentTest, SavesLatin1WithCharacterReferencesForTheRest) {
    XmlDocument doc;
    auto root = doc.createRoot("R");
    root.appendChild("E").setAttribute("V", "\xC3\xA9t\xC3\xA9 \xE2\x82\xAC");  // "été €"
    std::string path = tempFile("latin1.xml", "");
    std::string reason;
    ASSERT_TRUE(doc.saveFile(path, "ISO-8859-1", &reason)) << reason;
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    EXPECT_NE(bytes.find("encoding=\"ISO-8859-1\""), std::string::npos);
    EXPECT_NE(bytes.find("\xE9t\xE9 &#8364;"), std::string::npos) << bytes;
    EXPECT_FALSE(doc.saveFile("/nonexistent/dir/x.xml", "ISO-8859-1", &reason));
}

}  // namespace
}  // namespace qx
