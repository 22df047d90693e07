// The output formatter on the cells files and computations can hand it:
// texts that are not numbers in number columns, bytes that are not UTF-8,
// control characters, an empty table, wide characters in aligned columns.
#include <gtest/gtest.h>

#include <sstream>

#include "sortie.h"

namespace {

using qxtva::Format;
using qxtva::Genre;

std::string ecrit(Format format, const qxtva::Tableau& tableau) {
    std::ostringstream sortie;
    qxtva::ecrire(sortie, format, tableau);
    return sortie.str();
}

qxtva::Tableau uneColonne(Genre genre, std::string cellule) {
    qxtva::Tableau t;
    t.schema = "essai";
    t.colonnes = {{"c", "C", genre}};
    t.lignes = {{std::move(cellule)}};
    return t;
}

TEST(SortieTest, CellsInEachFormat) {
    struct Cas {
        Genre genre;
        std::string cellule, csv, json;
    };
    const Cas cas[] = {
        {Genre::Nombre, "-2027.465", "-2027,465", "-2027.465"},
        {Genre::Nombre, "1E+20", "1E+20", "1e+20"},
        {Genre::Nombre, "+5", "+5", "5"},
        // Texts that a number reader would take, but that are not numbers here.
        {Genre::Nombre, "X", "X", "null"},
        {Genre::Nombre, "nan", "nan", "null"},
        {Genre::Nombre, "inf", "inf", "null"},
        {Genre::Nombre, "12.5.3", "12.5.3", "null"},
        {Genre::Nombre, "1e999", "1e999", "null"},
        {Genre::Nombre, "", "", "null"},
        {Genre::Marque, "*", "oui", "true"},
        {Genre::Marque, "", "", "false"},
        {Genre::Texte, "a;b", "\"a;b\"", "\"a;b\""},
        {Genre::Texte, "dit \"oui\"", "\"dit \"\"oui\"\"\"", "\"dit \\\"oui\\\"\""},
        {Genre::Texte, "l1\nl2\\", "\"l1\nl2\\\"", "\"l1\\u000al2\\\\\""},
        {Genre::Texte, "Crédit 5,5 %", "Crédit 5,5 %", "\"Crédit 5,5 %\""},
        // A byte that is not UTF-8 (Latin-9 "é"), a cut sequence, an overlong one.
        {Genre::Texte, "caf\xE9", "caf\xE9", "\"caf\xEF\xBF\xBD\""},
        {Genre::Texte, "\xC3", "\xC3", "\"\xEF\xBF\xBD\""},
        {Genre::Texte, "\xC0\xAF", "\xC0\xAF", "\"\xEF\xBF\xBD\xEF\xBF\xBD\""},
        {Genre::Texte, "\xED\xA0\x80", "\xED\xA0\x80", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""},
        {Genre::Texte, "\xF0\x9F\x92\xB6", "\xF0\x9F\x92\xB6", "\"\xF0\x9F\x92\xB6\""},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.cellule);
        const qxtva::Tableau t = uneColonne(c.genre, c.cellule);
        EXPECT_EQ(ecrit(Format::Csv, t),
                  "\xEF\xBB\xBF"
                  "C\r\n" +
                      c.csv + "\r\n");
        const std::string json = ecrit(Format::Json, t);
        EXPECT_NE(json.find("{\"c\": " + c.json + "}"), std::string::npos) << json;
    }
}

// Members and columns kept out of one side; no row at all; alignment by
// characters, not bytes; numbers to the right; the last line under the table.
TEST(SortieTest, DocumentsAndTables) {
    qxtva::Tableau t;
    t.schema = "qxtva.essai";
    t.version = 3;
    t.entete = {{"siret", "123"}};
    t.colonnes = {{"nom", "Intitulé"},
                  {"texte", "Texte", Genre::Texte, false, true},
                  {"valeur", "Valeur", Genre::Nombre},
                  {"cache", "Caché", Genre::Texte, true, false}};
    t.pied = "2 lignes";
    EXPECT_EQ(ecrit(Format::Json, t),
              "{\n  \"schema\": \"qxtva.essai\",\n  \"version\": 3,\n  \"siret\": \"123\",\n"
              "  \"lignes\": []\n}\n");
    t.lignes = {{"Été", "a", "5", "x"}, {"b", "b", "-12.5", ""}};
    EXPECT_EQ(ecrit(Format::Table, t),
              "Intitulé  Valeur  Caché\n"
              "Été            5  x\n"
              "b          -12.5\n"
              "2 lignes\n");
    EXPECT_EQ(ecrit(Format::Csv, t),
              "\xEF\xBB\xBFIntitulé;Valeur;Caché\r\nÉté;5;x\r\nb;-12,5;\r\n");
    EXPECT_EQ(ecrit(Format::Json, t),
              "{\n  \"schema\": \"qxtva.essai\",\n  \"version\": 3,\n  \"siret\": \"123\",\n"
              "  \"lignes\": [\n"
              "    {\"nom\": \"Été\", \"texte\": \"a\", \"valeur\": 5},\n"
              "    {\"nom\": \"b\", \"texte\": \"b\", \"valeur\": -12.5}\n  ]\n}\n");
}

TEST(SortieTest, FormatOption) {
    EXPECT_EQ(qxtva::lireFormat(std::nullopt), Format::Table);
    for (auto [nom, format] :
         {std::pair{"table", Format::Table}, {"csv", Format::Csv}, {"json", Format::Json}})
        EXPECT_EQ(qxtva::lireFormat(nom), format) << nom;
    for (const char* faux : {"", "CSV", "xml", "json "})
        EXPECT_THROW(qxtva::lireFormat(std::string(faux)), qxtva::ErreurUsage) << faux;
}

}  // namespace
