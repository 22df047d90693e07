#include <gtest/gtest.h>

#include <tuple>

#include "platform/xml_document.h"
#include "platform/xml_scanner.h"
#include "platform/xml_subtree_reader.h"
#include "support/outils.h"

namespace qx::test {
namespace {

std::string fichier(const std::string& nom, const std::string& contenu) {
    static DossierTemporaire dossier;
    return dossier.ecrire(nom, contenu);
}

// Writes each element with the attributes asked for, each looked up from its
// own text and from one reused buffer; raises at "STOP".
struct Lecteur : XmlScanner::Handler {
    std::vector<std::string> noms, vus;
    std::string buffer;
    void element(std::string_view name, const XmlScanner& s) override {
        if (name == "STOP") throw Error(42, "arrêt");
        std::string ligne(name);
        for (const std::string& n : noms) {
            buffer = n;
            ligne += " " + std::string(s.attribut(buffer)) + "|" + std::string(s.attribut(n));
        }
        vus.push_back(ligne);
    }
};

TEST(XmlScannerTest, ReportsEveryElementInOrderWithItsAttributes) {
    // Latin-1 and entities; names that are prefixes of one another; names that
    // come and go and change places from one element to the next.
    const std::tuple<std::string, std::vector<std::string>, std::vector<std::string>> cases[] = {
        {"<?xml version='1.0' encoding='ISO-8859-1'?>\n<R A='r'><X><Y A=' 1 &amp; "
         "\xE9'/></X><Y/></R>",
         {"A"},
         {"R r|r", "X |", "Y  1 & \xC3\xA9| 1 & \xC3\xA9", "Y |"}},
        {"<R AB='2' A='1' ABC='3' B='&lt;4&gt;' E=''/>",
         {"A", "AB", "ABC", "B", "ABCD", "", "a", "E", "C", std::string("A\0", 2)},
         {"R 1|1 2|2 3|3 <4>|<4> | | | | | |"}},
        {"<R A='1' B='2'><E AB='3'/><E B='4' A='5'/></R>",
         {"A", "B", "AB"},
         {"R 1|1 2|2 |", "E | | 3|3", "E 5|5 4|4 |"}}};
    XmlScanner scanner;  // one scanner for every file
    int i = 0;
    for (const auto& [xml, noms, attendu] : cases) {
        Lecteur lecteur;
        lecteur.noms = noms;
        scanner.setFichier(fichier("lookups" + std::to_string(++i) + ".xml", xml));
        scanner.scanner(lecteur);
        EXPECT_EQ(lecteur.vus, attendu) << xml;
    }
}

TEST(XmlScannerTest, FailuresStopTheScan) {
    // File, number (with the parser's: its top bits), what the description holds.
    const std::tuple<std::string, uint32_t, std::string> echecs[] = {
        {fichier("broken.xml", "<R>\n<A>\n</R>"), 0xC00CE000u, "(fichier ligne 3) \r"},
        {fichier("stop.xml", "<R><STOP/><AFTER/></R>"), 42, "arrêt"}};
    XmlScanner scanner;
    Lecteur lecteur;
    for (const auto& [chemin, numero, texte] : echecs) {
        scanner.setFichier(chemin);
        const Error e = erreurDe([&] { scanner.scanner(lecteur); });
        EXPECT_EQ(static_cast<uint32_t>(e.number()) & (numero > 0xFFFF ? 0xFFFFF000u : ~0u),
                  numero);
        EXPECT_NE(e.description().find(texte), std::string::npos) << e.description();
    }
    EXPECT_EQ(lecteur.vus, (std::vector<std::string>{"R", "A", "R"}));  // no AFTER
}

// Writes each start (with the "k" attribute) and each end (with the children
// the element still holds); keeps the elements named K; raises at STOP.
struct SubtreeRecorder : XmlSubtreeReader::Handler {
    std::string seen;
    bool start(std::string_view name, const XmlElement& e) override {
        if (name == "STOP") throw Error(42, "arrêt");
        seen += "<" + std::string(name) + e.attribute("k").value_or("");
        return name == "K";
    }
    void end(std::string_view name, const XmlElement& e) override {
        std::string held;
        for (const XmlElement& child : e.children()) held += child.name();
        seen += ">" + std::string(name) + "(" + held + ")";
    }
};

TEST(XmlSubtreeReaderTest, ReportsInDocumentOrderAndHoldsOnlyKeptChildren) {
    // Content, then what the recorder sees.
    const std::pair<std::string, std::string> cases[] = {
        {"<R>t<A k='1'><K/>x<B/><!--c--><K k='2'><C/></K>y</A><K/></R>",
         "<R<A1<K>K()<B>B()<K2<C>C()>K()>A(KK)<K>K()>R(K)"},
        // Elements inside an entity are no children of the element they stand in.
        {"<!DOCTYPE R [<!ENTITY e '<K k=\"e\"/>'>]><R>&e;<A>&e;<K/></A>&e;</R>",
         "<R<A<K>K()>A(K)>R()"},
        // A kept element under one that is not goes with it; a kept one holds its kept ones.
        {"<R><A><K><K><B/></K>z</K></A><K><B><K/></B></K></R>",
         "<R<A<K<K<B>B()>K()>K(K)>A(K)<K<B<K>K()>B(K)>K()>R(K)"},
    };
    for (const auto& [xml, attendu] : cases) {
        SubtreeRecorder r;
        EXPECT_FALSE(XmlSubtreeReader::read(fichier("s.xml", xml), r)) << xml;
        EXPECT_EQ(r.seen, attendu) << xml;
    }
    // A handler's failure stops the read and wins over a later parse failure.
    SubtreeRecorder r;
    const std::string stop = fichier("stop.xml", "<R><A/><STOP/><B/></R");
    EXPECT_EQ(errorOf([&] { XmlSubtreeReader::read(stop, r); }), 42);
    EXPECT_EQ(r.seen, "<R<A>A()");
}

TEST(XmlSubtreeReaderTest, FailsExactlyWhereALoadedDocumentFails) {
    const std::string big(6 * 1024 * 1024, 't');
    const std::string valid =
        "<?xml version='1.0' encoding='ISO-8859-1'?>\n<R>\n<A k='\xE9'>\n"
        "<B/><!--c-->\n<C k='1'>x</C>\n</A>\n</R>\n";
    std::vector<std::string> files = {
        "", "<R>\n<A>\n</R>", "<R k='&nope;'/>", "<?xml version='1.0' encoding='NOPE'?><R/>",
        // IDs stay known after their elements are gone.
        "<R/><R/>", "<R><A><B xml:id='i'/></A><C/><D xml:id='i'/></R>",
        // Adjacent text merges into one node, which is limited in size.
        "<R>" + big + "&amp;" + big + "</R>"};
    for (size_t n = 0; n < valid.size(); n += 7) files.push_back(valid.substr(0, n));
    const std::string chemin = fichier("f.xml", "");
    auto texte = [](const XmlParseFailure& f) {
        return std::to_string(f.code) + " " + std::to_string(f.line) + " " + f.reason;
    };
    SubtreeRecorder r;
    for (const std::string& xml : files) {
        ecrireFichier(chemin, xml);
        XmlDocument::LoadResult document = XmlDocument::loadFile(chemin);
        std::optional<XmlParseFailure> lu = XmlSubtreeReader::read(chemin, r);
        const auto* echec = std::get_if<XmlParseFailure>(&document);
        EXPECT_EQ(lu ? texte(*lu) : "", echec ? texte(*echec) : "") << xml.substr(0, 80);
    }
}

}  // namespace
}  // namespace qx::test
