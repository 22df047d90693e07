// The account mapping: longest prefix, the file's syntax and its refusals,
// and the bundled French chart on the accounts the samples' parameter files read.
#include <gtest/gtest.h>

#include "fec/correspondances_fec.h"
#include "platform/error.h"
#include "support/outils.h"

namespace {

using qx::fec::TableCorrespondances;

std::string imputation(const TableCorrespondances& table, std::string_view compte) {
    const qx::fec::Imputation* i = table.Chercher(compte);
    return i ? i->typeTaux + "/" + i->categorie : "-";
}

TEST(Correspondances, LongestPrefixWins) {
    const TableCorrespondances table = TableCorrespondances::Lire(
        "# commentaire\n\n  4457 ; ; V \n445713;55;V;TVA 5,5 %\r\n4457183;55;R\n7;0;\n", "t");
    EXPECT_EQ(table.Taille(), 4u);
    const std::pair<const char*, const char*> cas[] = {
        {"4457", "/V"},      {"445710", "/V"},     {"445713", "55/V"}, {"44571300", "55/V"},
        {"4457183", "55/R"}, {"44571839", "55/R"}, {"445718", "/V"},   {"445", "-"},
        {"706000", "0/"},    {"6", "-"},           {"", "-"},
    };
    for (const auto& [compte, attendu] : cas)
        EXPECT_EQ(imputation(table, compte), attendu) << compte;
    EXPECT_EQ(table.Chercher("445713")->libelle, "TVA 5,5 %");
}

TEST(Correspondances, MalformedLinesNameFileAndLine) {
    const std::pair<const char*, const char*> cas[] = {
        {"4457;20\n", "ligne 1 : 3 ou 4 champs"},
        {"# x\n4457;20;V;l;en trop\n", "ligne 2 : 3 ou 4 champs"},
        {";20;V\n", "préfixe de compte «  » invalide"},
        {"44 57;20;V\n", "préfixe de compte « 44 57 »"},
        {"4457;2.1;V\n", "type de taux ou catégorie invalide"},
        {"4457;20;V\n4457;10;V\n", "ligne 2 : préfixe « 4457 » déjà défini"},
    };
    for (const auto& [texte, extrait] : cas) {
        const qx::Error e = qx::test::erreurDe([&] { TableCorrespondances::Lire(texte, "m.txt"); });
        EXPECT_EQ(e.number(), qx::err::ErrFEC_Correspondances) << texte;
        EXPECT_EQ(e.description().rfind("Fichier de correspondances « m.txt », ", 0), 0u);
        EXPECT_NE(e.description().find(extrait), std::string::npos) << e.description();
    }
    qx::test::DossierTemporaire dossier;
    const std::string m = dossier.ecrire("m.txt", "445713;55;V\n");
    EXPECT_EQ(imputation(TableCorrespondances::Charger(m), "4457130"), "55/V");
    EXPECT_EQ(qx::test::errorOf([&] { TableCorrespondances::Charger((dossier / "x").string()); }),
              53);
}

// The bundled chart gives the codes the samples' parameter files match on.
TEST(Correspondances, DefaultFrenchChart) {
    const TableCorrespondances& table = TableCorrespondances::ParDefaut();
    const std::pair<const char*, const char*> cas[] = {
        {"445711", "20/V"}, {"445712", "10/V"},  {"445713", "55/V"}, {"445714", "21/V"},
        {"445715", "85/V"}, {"4457183", "55/R"}, {"445201", "20/C"}, {"445203", "55/C"},
        {"445620", "/I"},   {"445660", "/A"},    {"445662", "/C"},   {"707110", "20/V"},
        {"707130", "55/V"}, {"706150", "85/V"},  {"701140", "21/V"}, {"7085120", "10/V"},
        {"707210", "0/V"},  {"707410", "0/V"},   {"707500", "0/V"},  {"607230", "55/C"},
        {"401000", "0/"},   {"411000", "0/"},    {"447310", "0/"},   {"445710", "-"},
        {"707100", "-"},    {"607110", "-"},     {"512000", "-"},
    };
    for (const auto& [compte, attendu] : cas)
        EXPECT_EQ(imputation(table, compte), attendu) << compte;
}

}  // namespace
