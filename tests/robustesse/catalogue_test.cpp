// The bad-input catalogue: what every reader and public operation makes of
// empty, truncated, mis-encoded, absurd or enormous input. Each row states
// the numbered error or the result; the sanitize preset runs it under ASan
// and UBSan.
#include <gtest/gtest.h>

#include <functional>

#include "ardilo/produit_substitut.h"
#include "declaration/declaration_tva.h"
#include "engine/calcul_interne.h"
#include "engine/calcul_tva.h"
#include "engine/declaration_courante.h"
#include "support/outils.h"
#include "transmission/ardilo_produit.h"

namespace qx {
namespace {

using namespace test;

// UTF-8 text as UTF-16 little-endian bytes (the texts here are Latin-1 at most).
std::string utf16(std::string_view texte, bool marque) {
    std::string octets = marque ? "\xFF\xFE" : "";
    for (size_t i = 0; i < texte.size(); ++i) {
        unsigned c = static_cast<unsigned char>(texte[i]);
        if (c >= 0xC0 && i + 1 < texte.size())
            c = ((c & 0x1F) << 6) | (static_cast<unsigned char>(texte[++i]) & 0x3F);
        octets += static_cast<char>(c & 0xFF);
        octets += static_cast<char>(c >> 8);
    }
    return octets;
}

// "erreur N" for a raised error, else the operation's own outcome.
std::string issue(const std::function<std::string()>& operation) {
    try {
        return operation();
    } catch (const Error& e) {
        return "erreur " + std::to_string(e.number());
    }
}

class CatalogueTest : public ::testing::Test {
protected:
    // Computes, then gives the rubric count and the value of `cle`.
    std::string calcul(std::string_view rubriques, std::string_view donnees,
                       const std::string& cle = "CA3A") const {
        const std::string r = dossier_.ecrire("r.xml", rubriques),
                          d = dossier_.ecrire("d.xml", donnees);
        return issue([&] {
            auto calcul = CCalculTVA::Creer();
            calcul->Init(d, r, (dossier_ / "resultat.xml").string());
            calcul->Archive();
            auto rubrique = calcul->Rubriques()->Item(Value(cle));
            return std::to_string(calcul->Rubriques()->Count()) + " " + cle + "=" +
                   (rubrique ? rubrique->AsXML() : "?");
        });
    }
    // A parameter file with one rubric CA3/A fed by account 7011 and the given data.
    std::string donnees(std::string_view contenu) const {
        return calcul(
            "<RUBRIQUESTVA><IMPRIME CODE='CA3'><RUBRIQUE CODE='A'><LIGNE COMPTE='7011'/>"
            "</RUBRIQUE><RUBRIQUE CODE='T' TYPE='T'/></IMPRIME></RUBRIQUESTVA>",
            contenu);
    }
    // Data adding 5 to account 7011 with the given parameter file.
    std::string rubriques(std::string_view contenu, const std::string& cle = "CA3A") const {
        return calcul(contenu, "<DONNEESTVA><LIGNE COMPTE='7011' MONTANT='5'/></DONNEESTVA>", cle);
    }
    // A stored declaration read back: its CA3 boxes and its payments.
    std::string pivot(std::string_view contenu) const {
        const std::string p = dossier_.ecrire("pivot.xml", contenu);
        DefinirTypeDeclaration("CA3");
        // The stand-in, whatever the platform's product: the rows are about
        // the reading of stored declarations, not about an installed product.
        ProduitTemporaire installe{std::make_shared<ardilo::ProduitSubstitut>()};
        Cls_DeclarationTVA declaration;
        std::vector<TRubr> boites;
        const bool lu = declaration.Conversion_Pivot(p, boites);
        const bool reglements = declaration.Init_Reglements(p);
        return std::string(lu ? "lu " : "refusé ") + std::to_string(boites.size()) + " boîtes, " +
               (reglements ? "" : "refusé ") +
               std::to_string(declaration.Obj_Paiements()->Count()) + " paiements";
    }

    DossierTemporaire dossier_;
};

// A number rubric given a value through each public setter.
std::string rubrique(const std::function<void(CRubrique&)>& changer, const char* type = "N") {
    return issue([&] {
        DossierTemporaire d;
        ecrireFichier(d / "r.xml", std::string("<R><IMPRIME CODE='CA3'><RUBRIQUE CODE='A' TYPE='") +
                                       type + "'/></IMPRIME></R>");
        auto calcul = CCalculTVA::Creer();
        CalculInterne::ChargerFichier(*calcul->Rubriques(), (d / "r.xml").string());
        auto a = calcul->Rubriques()->Item(Value("CA3A"));
        changer(*a);
        return a->AsXML();
    });
}

TEST_F(CatalogueTest, EveryReaderAndOperation) {
    const std::string une = "<IMPRIME CODE='CA3'><RUBRIQUE CODE='A'><LIGNE COMPTE='7011'/>";
    auto montant = [&](const std::string& m) {
        return donnees("<DONNEESTVA><LIGNE COMPTE='7011' MONTANT='" + m + "'/></DONNEESTVA>");
    };
    // A chain of 1,000 rubrics, A feeding C1, each feeding the next: the
    // amount reaches the end.
    auto vers = [](int i) {
        return "<DEPENDANCE CODEIMPRIME='CA3' CODERUBRIQUE='C" + std::to_string(i) + "'/>";
    };
    std::string chaine = "<RUBRIQUESTVA>" + une + vers(1) + "</RUBRIQUE>";
    for (int i = 1; i <= 1000; ++i)
        chaine += "<RUBRIQUE CODE='C" + std::to_string(i) + "'>" + (i < 1000 ? vers(i + 1) : "") +
                  "</RUBRIQUE>";
    chaine += "</IMPRIME></RUBRIQUESTVA>";
    std::string cent = "<RUBRIQUESTVA>" + une + "</RUBRIQUE>";
    for (int i = 0; i < 100000; ++i) cent += "<RUBRIQUE CODE='R" + std::to_string(i) + "'/>";
    cent += "</IMPRIME></RUBRIQUESTVA>";
    const std::string depot = lireFichier(std::string(QX_FUZZ_SEEDS_DIR) + "/pivot/ca3.xml");
    const size_t debut = depot.find("<Reglement "), fin = depot.find("</Reglements>");
    std::string dixMille = depot.substr(0, debut) +
                           repeter(depot.substr(debut, fin - debut), 10000) + depot.substr(fin);
    std::string latin1 = depot;
    for (size_t p; (p = latin1.find("\xC3\xA9")) != std::string::npos;)
        latin1.replace(p, 2, "\xE9");
    latin1 = latin1.substr(3);  // without the byte-order mark

    const std::pair<std::string, std::string> cas[] = {
        // Parameter file.
        {rubriques(""), "erreur -1072896764"},
        {rubriques("<RUBRIQUESTVA><IMPRIME CODE='CA3'><RUB"), "erreur -1072896695"},
        {rubriques("<AUTRE>" + une + "</RUBRIQUE></IMPRIME></AUTRE>"), "1 CA3A=5"},
        {rubriques("<?xml version='1.0' encoding='ISO-8859-1'?><R>" + une +
                       "</RUBRIQUE><RUBRIQUE CODE='\xC3\xA9'/></IMPRIME></R>",
                   "CA3\xC3\x83\xC2\xA9"),
         "2 CA3\xC3\x83\xC2\xA9=0"},
        {rubriques("<?xml version='1.0' encoding='UTF-16'?><R>" + une +
                   "</RUBRIQUE></IMPRIME></R>"),
         "erreur -1072896687"},
        {rubriques(utf16("<R>" + une + "</RUBRIQUE></IMPRIME></R>", true)), "1 CA3A=5"},
        {rubriques(
             utf16("<?xml version='1.0' encoding='UTF-16'?><R>" + une + "</RUBRIQUE></IMPRIME></R>",
                   false)),
         "1 CA3A=5"},
        {rubriques("<?xml version='1.0' encoding='KLINGON'?><R>" + une +
                   "</RUBRIQUE></IMPRIME></R>"),
         "erreur -1072896736"},
        {rubriques("<R>" + une +
                   "<DEPENDANCE CODEIMPRIME='CA3' CODERUBRIQUE='A'/></RUBRIQUE></IMPRIME></R>"),
         "erreur 5"},
        {rubriques("<R>" + une +
                   "<DEPENDANCE CODEIMPRIME='CA3' CODERUBRIQUE='ZZ'/></RUBRIQUE></IMPRIME></R>"),
         "1 CA3A=5"},
        {rubriques("<R>" + une + "</RUBRIQUE><RUBRIQUE CODE='Z' TYPE='Q'/></IMPRIME></R>"),
         "2 CA3A=5"},
        {rubriques("<R><IMPRIME CODE='CA3'><RUBRIQUE CODE='A'><LIGNE COMPTE='7011' "
                   "SENS='abc'/></RUBRIQUE></IMPRIME></R>"),
         "1 CA3A=5"},
        {rubriques(chaine, "CA3C1000"), "1001 CA3C1000=5"},
        {rubriques(cent, "CA3R99999"), "100001 CA3R99999=0"},
        // Data file.
        {donnees(""), "erreur -1072896763"},
        {donnees("<DONNEESTVA><LIGNE COMPTE='7011' MONT"), "erreur -1072896727"},
        {donnees("<AUTRE><LIGNE COMPTE='7011' MONTANT='5'/></AUTRE>"), "2 CA3A=5"},
        {montant("1e400"), "2 CA3A=1"},
        {montant("NaN"), "2 CA3A=0"},
        {montant("--5"), "2 CA3A=0"},
        {montant("1 234,56"), "2 CA3A=1235"},
        {montant(std::string(300, '9')), "erreur 6"},
        {montant(std::string(400, '9')), "erreur 6"},
        {donnees("<?xml version='1.0' encoding='windows-1252'?><DONNEESTVA><LIGNE COMPTE='7011' "
                 "MONTANT='5'/><LIGNE COMPTE='\x80' MONTANT='1'/></DONNEESTVA>"),
         "2 CA3A=5"},
        {donnees(utf16("<DONNEESTVA><LIGNE COMPTE='7011' MONTANT='5'/></DONNEESTVA>", true)),
         "2 CA3A=5"},
        {donnees(utf16("<DONNEESTVA><LIGNE COMPTE='7011' MONTANT='5'/></DONNEESTVA>", false)),
         "erreur -1072896759"},
        {donnees("<DONNEESTVA><PARAMS DATEDEBUT='0000-00-00' DATEFIN='9999-12-31'/>" +
                 std::string("<LIGNE COMPTE='7011' MONTANT='5'/></DONNEESTVA>")),
         "2 CA3A=5"},
        {donnees("<DONNEESTVA><PARAMS CREDITTVA='abc'/><LIGNE COMPTE='7011' "
                 "MONTANT='5'/></DONNEESTVA>"),
         "2 CA3A=5"},
        {donnees("<DONNEESTVA>" + repeter("<LIGNE COMPTE='7011' MONTANT='0,01'/>", 100000) +
                 "</DONNEESTVA>"),
         "2 CA3A=1000"},
        // Values through the rubric's setters and the conversions.
        {rubrique([](CRubrique& r) { r.SetAsXML("NaN"); }), "0"},
        {rubrique([](CRubrique& r) { r.SetAsXML("1e400"); }), "1"},
        {rubrique([](CRubrique& r) { r.ForceValeur(Value("abc")); }), "erreur 13"},
        {rubrique([](CRubrique& r) { r.SetValeur(Value(1e300 * 1e10)); }), "erreur 6"},
        {rubrique([](CRubrique& r) { r.SetAsXML("0000-00-00"); }, "D"), ""},
        {rubrique([](CRubrique& r) { r.SetAsXML("9999-12-31"); }, "D"), "9999-12-31"},
        {rubrique([](CRubrique& r) { r.SetAsXML("15/03/2024"); }, "D"), "erreur 13"},
        // Stored declarations.
        {pivot(""), "refusé 0 boîtes, refusé 0 paiements"},
        {pivot(depot.substr(0, depot.size() / 2)), "refusé 0 boîtes, refusé 0 paiements"},
        {pivot(latin1), "refusé 0 boîtes, refusé 0 paiements"},
        {pivot(utf16(depot.substr(3), true)), "refusé 0 boîtes, refusé 0 paiements"},
        {pivot(dixMille), "lu 21 boîtes, 10000 paiements"},
        // Archiving before any computation (missing files: CalculTest.InitFailures).
        {issue([] { return std::to_string(CCalculTVA::Creer()->Archive()); }), "erreur 75"},
    };
    int n = 0;
    for (const auto& [obtenu, attendu] : cas) {
        EXPECT_EQ(obtenu, attendu) << "row " << n;
        ++n;
    }
}

}  // namespace
}  // namespace qx
