// What differs on Windows: paths with accents and spaces through the wide
// API from the data files to the result file, and the separators of the
// user's regional settings read at each call.
#include <windows.h>

#include <algorithm>
#include <variant>

#include "declaration/fichier_pivot.h"
#include "engine/declaration_courante.h"
#include "engine/engine_test_util.h"
#include "platform/files.h"
#include "platform/locale.h"
#include "platform/value.h"
#include "platform/xml_document.h"

namespace qx::test {
namespace {

// Text that the system's ANSI code page cannot spell in one byte each, so a
// narrow call anywhere would miss the file.
const std::string kDossier = "Soci\xC3\xA9t\xC3\xA9 \xC3\xA9t\xC3\xA9 \xE2\x82\xAC\xC5\x93";  // "Société été €œ"

TEST(PlatformWindowsTest, ComputesFromAndWritesUnderAFolderWithAccentsAndSpaces) {
    DefinirTypeDeclaration("CA3");
    const DossierTemporaire racine;
    const std::string dossier = joinPath(utf8Path(racine.chemin()), kDossier);
    ASSERT_EQ(createFolders(dossier), "");
    const std::string donnees = joinPath(dossier, "donn\xC3\xA9" "es TVA.xml"),
                      rubriques = joinPath(dossier, "rubriques d\xC3\xA9" "cembre.xml"),
                      resultat = joinPath(dossier, "r\xC3\xA9sultat.xml");
    std::filesystem::copy_file(std::string(QX_TEST_DATA_DIR) + "/engine/ca3_donnees.xml",
                               nativePath(donnees));
    std::filesystem::copy_file(std::string(QX_TEST_DATA_DIR) + "/engine/ca3_rubriques.xml",
                               nativePath(rubriques));
    ASSERT_TRUE(isFile(donnees) && isFile(rubriques) && isFolder(dossier));

    auto moteur = CCalculTVA::Creer();
    EXPECT_TRUE(moteur->Init(donnees, rubriques, resultat));
    EXPECT_TRUE(moteur->Archive());
    ASSERT_TRUE(isFile(resultat));
    XmlDocument::LoadResult relu = XmlDocument::loadFile(resultat);
    ASSERT_TRUE(std::holds_alternative<XmlDocument>(relu));
    EXPECT_EQ(std::get<XmlDocument>(relu).root().children("RUBRIQUE").size(),
              static_cast<size_t>(moteur->Rubriques()->Count()));
    EXPECT_FALSE(LireLignesFichier(resultat).empty());
    // Computing again replaces the result in place.
    EXPECT_TRUE(moteur->Archive());

    std::vector<std::string> noms = folderEntries(dossier);
    std::sort(noms.begin(), noms.end());
    EXPECT_EQ(noms, (std::vector<std::string>{"donn\xC3\xA9" "es TVA.xml",
                                              "rubriques d\xC3\xA9" "cembre.xml",
                                              "r\xC3\xA9sultat.xml"}));
    EXPECT_EQ(folderEntries(racine.chemin().string()), std::vector<std::string>{kDossier});
    EXPECT_EQ(fileSize(donnees), std::filesystem::file_size(nativePath(donnees)));
    EXPECT_TRUE(removeFile(resultat));
    EXPECT_FALSE(isFile(resultat));
    EXPECT_TRUE(removeFile(resultat));  // already gone
    EXPECT_FALSE(removeFile(dossier));  // never a folder
    DefinirTypeDeclaration("");
}

// Sets one regional setting of the user while alive, then puts back the old one.
class ReglageRegional {
public:
    ReglageRegional(LCTYPE type, const wchar_t* valeur) : type_(type) {
        GetLocaleInfoW(LOCALE_USER_DEFAULT, type, avant_, 16);
        EXPECT_TRUE(SetLocaleInfoW(LOCALE_USER_DEFAULT, type, valeur));
    }
    ~ReglageRegional() { SetLocaleInfoW(LOCALE_USER_DEFAULT, type_, avant_); }
    ReglageRegional(const ReglageRegional&) = delete;
    ReglageRegional& operator=(const ReglageRegional&) = delete;

private:
    LCTYPE type_;
    wchar_t avant_[16] = {};
};

TEST(PlatformWindowsTest, SeparatorsComeFromTheUserSettingsAtEachCall) {
    // The C runtime stays at "C" inside a host; only the settings count.
    // Decimal, thousands (UTF-16), the same in UTF-8, a text, its number, a
    // number and its text.
    const std::tuple<const wchar_t*, const wchar_t*, const char*, const char*, const char*, double,
                     double, const char*>
        cas[] = {
            {L",", L"\u00A0", ",", "\xC2\xA0", "1\xC2\xA0" "234,5", 1234.5, 12.25, "12,25"},
            {L".", L",", ".", ",", "1,234.5", 1234.5, 12.25, "12.25"},
            {L",", L".", ",", ".", "1.234,5", 1234.5, -0.5, "-0,5"},
        };
    for (const auto& [decimal, milliers, decimalUtf8, milliersUtf8, texte, nombre, valeur,
                      ecrit] : cas) {
        ReglageRegional d(LOCALE_SDECIMAL, decimal), m(LOCALE_STHOUSAND, milliers);
        EXPECT_EQ(localSeparators().decimal, decimalUtf8);
        EXPECT_EQ(localSeparators().thousands, milliersUtf8);
        EXPECT_DOUBLE_EQ(Value(texte).toDouble(), nombre) << texte;
        EXPECT_EQ(Value(valeur).toText(), ecrit);
        // A separator fixed for the thread wins over the settings.
        ScopedSeparators fixe(".", "");
        EXPECT_EQ(localSeparators().decimal, ".");
    }
}

}  // namespace
}  // namespace qx::test
