#include <gtest/gtest.h>

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
        EXPECT_NE(e.description().find("(fichier ligne 3) \r"), std::string::npos) << e.description();
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

TEST(XmlDocumentTest, LoadReportsParserLineAndWalksElements) {
    auto bad = XmlDocument::loadFile(tempFile("bad.xml", "<a>\n\n<b>\n</a>"));
    ASSERT_EQ(bad.index(), 1u);
    EXPECT_EQ(std::get<1>(bad).line, 4);
    EXPECT_FALSE(std::get<1>(bad).reason.empty());

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
