// The ledger export reader: amounts and dates as the norm writes them, the
// two separators and encodings, and a refusal naming line and column for
// every malformed line.
#include <gtest/gtest.h>

#include "fec/conversion_fec.h"
#include "platform/error.h"
#include "platform/xml_document.h"
#include "support/outils.h"

namespace {

using namespace qx::fec;
using qx::test::DossierTemporaire;

const std::string kEntete =
    "JournalCode\tJournalLib\tEcritureNum\tEcritureDate\tCompteNum\tCompteLib\tCompAuxNum\t"
    "CompAuxLib\tPieceRef\tPieceDate\tEcritureLib\tDebit\tCredit\tEcritureLet\tDateLet\t"
    "ValidDate\tMontantdevise\tIdevise";

// A FEC line with the given date, account, label, debit and credit.
std::string ligne(const std::string& date, const std::string& compte, const std::string& debit,
                  const std::string& credit, const std::string& libelle = "Libellé") {
    return "VE\tVentes\t1\t" + date + "\t" + compte + "\t" + libelle + "\t\t\tF1\t" + date +
           "\tVente\t" + debit + "\t" + credit + "\t\t\t" + date + "\t\t";
}

TEST(MontantFEC, ReadsTheNormsAmountsExactly) {
    const std::pair<const char*, Montant> bons[] = {
        {"1234,56", 12345600}, {"1234.56", 12345600}, {"0,00", 0},         {"", 0},
        {" 12,5 ", 125000},    {"-3,1", -31000},      {"7", 70000},        {"0,0001", 1},
        {",5", 5000},          {"+2,00", 20000},      {"\"9,99\"", 99900},
    };
    for (const auto& [texte, attendu] : bons) {
        Montant lu = -1;
        EXPECT_TRUE(LireMontantFEC(texte, lu)) << texte;
        EXPECT_EQ(lu, attendu) << texte;
    }
    for (const char* mauvais :
         {"12a", "1 234,56", "1,2,3", "1,23456", "-", ",", "1e3", "99999999999999999999"}) {
        Montant lu;
        EXPECT_FALSE(LireMontantFEC(mauvais, lu)) << mauvais;
    }
    const std::pair<Montant, const char*> textes[] = {
        {12345600, "1234.56"}, {-1, "-0.0001"}, {0, "0.00"}, {-125000, "-12.50"}, {70010, "7.001"}};
    for (const auto& [montant, attendu] : textes) EXPECT_EQ(MontantVersTexte(montant), attendu);
}

TEST(DateFEC, TakesRealDaysOnly) {
    for (int bonne : {20261130, 20240229}) EXPECT_EQ(LireDateFEC(std::to_string(bonne)), bonne);
    for (const char* mauvaise : {"20250229", "20261131", "20261301", "2026-11-30", "2026113",
                                 "202611300", "2026113a", "20261100"})
        EXPECT_EQ(LireDateFEC(mauvaise), -1) << mauvaise;
}

class LecteurFECTest : public ::testing::Test {
protected:
    std::string fichier(const std::string& contenu) { return dossier_.ecrire("fec.txt", contenu); }
    std::vector<std::string> lire(const std::string& contenu) {
        LecteurFEC lecteur(fichier(contenu));
        std::vector<std::string> lues;
        LigneFEC l;
        while (lecteur.Suivante(l))
            lues.push_back(std::to_string(lecteur.NumeroLigne()) + " " + std::to_string(l.date) +
                           " " + std::string(l.compte) + " " + std::string(l.libelleCompte) + " " +
                           MontantVersTexte(l.debit) + " " + MontantVersTexte(l.credit));
        return lues;
    }
    DossierTemporaire dossier_;
};

// Tab or "|" (the header decides), CRLF, blank lines, a byte-order mark, and
// labels in UTF-8 or ISO-8859-15 (é, and the euro sign where Latin-1 has ¤).
TEST_F(LecteurFECTest, ReadsBothSeparatorsAndEncodings) {
    const std::string tab = "\xEF\xBB\xBF" + kEntete + "\r\n" +
                            ligne("20261103", "707110", "0,00", "1359,39", "Ventes café") +
                            "\r\n\r\n" + ligne("20261104", "445713", "2", "", "TVA €") + "\r\n";
    std::string barre = tab.substr(3);
    std::replace(barre.begin(), barre.end(), '\t', '|');
    std::string latin9 = barre;
    latin9.replace(latin9.find("caf\xC3\xA9"), 5, "caf\xE9");
    latin9.replace(latin9.find("\xE2\x82\xAC"), 3, "\xA4");
    const std::vector<std::string> attendu = {"2 20261103 707110 Ventes café 0.00 1359.39",
                                              "4 20261104 445713 TVA € 2.00 0.00"};
    for (const std::string& contenu : {tab, barre, latin9}) EXPECT_EQ(lire(contenu), attendu);
}

// Lines longer than the reader's block, ending in CR alone, and a last line
// without its line break.
TEST_F(LecteurFECTest, LinesSpanningBlocksAndLastLineWithoutBreak) {
    const std::string long_libelle(200000, 'x');
    const std::string contenu = kEntete + "\r" + ligne("20260101", "401", "1", "", long_libelle) +
                                "\r" + ligne("20260102", "411", "", "3,5");
    EXPECT_EQ(lire(contenu),
              (std::vector<std::string>{"2 20260101 401 " + long_libelle + " 1.00 0.00",
                                        "3 20260102 411 Libellé 0.00 3.50"}));
}

// Every refusal: its number, and a description naming the file, the line and the column.
TEST_F(LecteurFECTest, MalformedLinesAreRefusedWithLineAndColumn) {
    const std::string bonne = ligne("20261103", "707110", "1,00", "0,00");
    const std::pair<std::string, std::string> cas[] = {
        {"", "fichier vide"},
        {"JournalCode\tCompteNum\tDebit\tCredit\n", "ligne 1 : colonne « EcritureDate » absente"},
        {kEntete + "\n" + bonne + "\n" + ligne("20261131", "707110", "1", "0"),
         "ligne 3, colonne EcritureDate : date « 20261131 » invalide"},
        {kEntete + "\n" + ligne("20261103", "", "1", "0"),
         "ligne 2, colonne CompteNum : numéro de compte vide"},
        {kEntete + "\n" + ligne("20261103", "707", "1,2x", "0"),
         "ligne 2, colonne Debit : montant « 1,2x »"},
        {kEntete + "\n" + ligne("20261103", "707", "1", "1 000"),
         "ligne 2, colonne Credit : montant « 1 000 »"},
        {kEntete + "\n" + bonne + "\tde trop", "ligne 2, colonne 19 : 19 colonnes au lieu des 18"},
        {kEntete + "\n\n" + bonne.substr(0, bonne.rfind('\t')),
         "ligne 3, colonne 18 : 17 colonnes"},
    };
    for (const auto& [contenu, extrait] : cas) {
        SCOPED_TRACE(extrait);
        const qx::Error e = qx::test::erreurDe([&] { lire(contenu); });
        EXPECT_EQ(e.number(), contenu.find('\n') == std::string::npos ||
                                      extrait.find("absente") != std::string::npos
                                  ? qx::err::ErrFEC_Entete
                                  : qx::err::ErrFEC_Ligne);
        EXPECT_NE(e.description().find("Fichier FEC « " + (dossier_ / "fec.txt").string() + " »"),
                  std::string::npos)
            << e.description();
        EXPECT_NE(e.description().find(extrait), std::string::npos) << e.description();
    }
    EXPECT_EQ(qx::test::errorOf([&] { LecteurFEC((dossier_ / "absent").string()); }), 53);
    EXPECT_EQ(qx::test::errorOf([&] { LecteurFEC(dossier_.chemin().string()); }), 53);
}

// Balances per account over the period, the mapping's codes, the warnings for
// uncovered accounts of classes 4 and 7 (once each, with the first line met),
// and the data file written from them.
TEST_F(LecteurFECTest, SynthesisBalancesAccountsOverThePeriod) {
    const std::string contenu =
        kEntete + "\n" + ligne("20261031", "707130", "", "500") + "\n" +  // before
        ligne("20261101", "707130", "0", "1000,10") + "\n" +              // 2
        ligne("20261115", "707130", "100,05", "0") + "\n" +               // credit note
        ligne("20261115", "445710", "0", "20", "TVA ?") + "\n" +          // uncovered, class 4
        ligne("20261120", "445710", "0", "5") + "\n" + ligne("20261120", "790000", "0", "5") +
        "\n" +                                       // covered by "79"
        ligne("20261121", "758", "0", "1") + "\n" +  // covered by "75"
        ligne("20261122", "7788", "0", "1") + "\n" + ligne("20261125", "627000", "7", "0") +
        "\n" +                                          // class 6: silent
        ligne("20261125", "512000", "7", "7") + "\n" +  // nil balance
        ligne("20261130", "411000", "990,05", "0") + "\n" +
        ligne("20261201", "707130", "", "9999") + "\n";  // after
    const TableCorrespondances table =
        TableCorrespondances::Lire("7071;20;V\n75;0;\n79;0;\n41;0;\n", "test");
    const SyntheseFEC s = SynthetiserFEC(fichier(contenu), table, {20261101, 20261130});
    EXPECT_EQ(s.lignesLues, 12u);
    EXPECT_EQ(s.lignesRetenues, 10u);
    std::vector<std::string> soldes;
    for (const SoldeCompte& c : s.comptes)
        soldes.push_back(
            c.compte + "=" + MontantVersTexte(c.solde) + ":" +
            (c.imputation ? c.imputation->typeTaux + "/" + c.imputation->categorie : "-"));
    EXPECT_EQ(soldes,
              (std::vector<std::string>{"411000=990.05:0/", "445710=-25.00:-", "512000=0.00:-",
                                        "627000=7.00:-", "707130=-900.05:20/V", "758=-1.00:0/",
                                        "7788=-1.00:-", "790000=-5.00:0/"}));
    EXPECT_EQ(s.avertissements,
              (std::vector<std::string>{
                  "compte 445710 « TVA ? » (ligne 5) : classe 4 sans correspondance, repris sans "
                  "type de taux ni catégorie",
                  "compte 7788 « Libellé » (ligne 9) : classe 7 sans correspondance, repris sans "
                  "type de taux ni catégorie"}));

    // The data file: the credit and the period when given, nil balances left out.
    const auto donnees = dossier_ / "donnees.xml";
    EcrireDonneesTVA(s, {"312", "2026-11-01", "2026-11-30"}, donnees.string());
    auto charge = qx::XmlDocument::loadFile(donnees.string());
    ASSERT_TRUE(std::holds_alternative<qx::XmlDocument>(charge));
    const qx::XmlDocument& document = std::get<qx::XmlDocument>(charge);
    const qx::XmlElement params = document.elements("PARAMS").at(0);
    EXPECT_EQ(params.attribute("CREDITTVA"), "312");
    EXPECT_EQ(params.attribute("DATEFIN"), "2026-11-30");
    std::vector<std::string> lignes;
    for (const qx::XmlElement& l : document.elements("LIGNE"))
        lignes.push_back(*l.attribute("COMPTE") + " " + *l.attribute("MONTANT") + " " +
                         *l.attribute("TYPETAUX") + " " + *l.attribute("CATEGORIEAV"));
    EXPECT_EQ(lignes.size(), 7u);
    EXPECT_EQ(lignes.at(3), "707130 -900.05 20 V");

    const SyntheseFEC sans =
        SynthetiserFEC(fichier(contenu), TableCorrespondances::Lire("", "vide"), {});
    EXPECT_EQ(sans.lignesRetenues, 12u);
    EXPECT_EQ(sans.avertissements.size(), 6u);  // every account of classes 4 and 7
}

}  // namespace
