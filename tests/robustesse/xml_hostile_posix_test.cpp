// Hostile XML through each reader: a file may name outside files, expand
// entities without end, nest without end, carry huge values, stop inside a
// character or hold NUL bytes. Each ends in a numbered error or the correct
// result, and nothing outside the file is ever read.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <fstream>

#include "declaration/declaration_tva.h"
#include "engine/calcul_tva.h"
#include "engine/declaration_courante.h"
#include "support/outils.h"

namespace qx {
namespace {

using namespace test;

const std::string kSecret = "SECRET-7c1e";
// The start of the two readers' parse errors, before the parser's reason.
const std::string kChargement =
    "Erreur de chargement document XML des rubriques (fichier ligne 1) \r";
const std::string kLecture = "Erreur de lecture du fichier de données XML (fichier ligne 1) \r";

// A parameter file of one number rubric CA3/A fed by account 7011.
const std::string kUneRubrique =
    "<RUBRIQUESTVA><IMPRIME CODE='CA3'><RUBRIQUE CODE='A'><LIGNE COMPTE='7011'/></RUBRIQUE>"
    "</IMPRIME></RUBRIQUESTVA>";

// Ten levels of entities, each ten of the one below: 10^10 characters.
std::string milliardDeRires(const std::string& racine, const std::string& corps) {
    std::string dtd = "<!DOCTYPE " + racine + " [<!ENTITY e0 'rire'>";
    for (int i = 1; i <= 10; ++i)
        dtd += "<!ENTITY e" + std::to_string(i) + " '" +
               repeter("&e" + std::to_string(i - 1) + ";", 10) + "'>";
    return dtd + "]>" + corps;
}

struct Issue {
    int32_t numero = 0;  // 0: no error
    std::string texte;   // the error's description, or the rubric A's value
};

// Computes and archives; the value of CA3A.
Issue calculer(const std::string& donnees, const std::string& rubriques,
               const std::string& resultat) {
    try {
        auto calcul = CCalculTVA::Creer();
        calcul->Init(donnees, rubriques, resultat);
        calcul->Archive();
        auto rubrique = calcul->Rubriques()->Item(Value("CA3A"));
        return {0, rubrique ? rubrique->AsXML() : ""};
    } catch (...) {
        const Error e = Error::fromCurrentException();
        return {e.number(), e.description()};
    }
}

TEST(XmlHostileTest, EachReaderEndsInANumberedErrorOrTheRightResult) {
    DefinirTypeDeclaration("CA3");
    Acomptes() = {};
    DossierTemporaire d;
    const std::string secret = (d / "secret.txt").string();
    ecrireFichier(secret, kSecret);
    // A server that counts who calls: a file naming it must never reach it.
    const int serveur = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    sockaddr_in adresse{};
    adresse.sin_family = AF_INET;
    adresse.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t taille = sizeof adresse;
    ASSERT_EQ(bind(serveur, reinterpret_cast<sockaddr*>(&adresse), sizeof adresse), 0);
    ASSERT_EQ(listen(serveur, 4), 0);
    getsockname(serveur, reinterpret_cast<sockaddr*>(&adresse), &taille);
    const std::string url =
        "http://127.0.0.1:" + std::to_string(ntohs(adresse.sin_port)) + "/entite.dtd";
    const std::string externe =
        "<!DOCTYPE X [<!ENTITY s SYSTEM 'file://" + secret + "'><!ENTITY n SYSTEM '" + url + "'>]>";
    const std::string profond = repeter("<A>", 1000000) + repeter("</A>", 1000000);

    enum Lecteur { Parametres, Donnees };
    struct Cas {
        const char* nom;
        Lecteur lecteur;
        std::string contenu;
        Issue attendu;
    };
    const std::string ligne = "<LIGNE COMPTE='7011' MONTANT='5'/>";
    const Cas cas[] = {
        // Outside files and servers: never read, never reached.
        {"external entity in the parameter file",
         Parametres,
         externe + "<RUBRIQUESTVA><IMPRIME CODE='CA3'><RUBRIQUE CODE='A' TYPE='T'>&s;&n;"
                   "</RUBRIQUE></IMPRIME></RUBRIQUESTVA>",
         {0, ""}},
        {"external DTD of the parameter file",
         Parametres,
         "<!DOCTYPE RUBRIQUESTVA SYSTEM '" + url + "'>" + kUneRubrique,
         {0, "5"}},
        {"external entity in the data file",
         Donnees,
         externe + "<DONNEESTVA>" + ligne + "&s;&n;</DONNEESTVA>",
         {-1072896742, kLecture + "Entité « s » non déclarée"}},
        {"external DTD of the data file",
         Donnees,
         "<!DOCTYPE DONNEESTVA SYSTEM 'file://" + secret + "'><DONNEESTVA>" + ligne +
             "</DONNEESTVA>",
         {0, "5"}},
        // Entity expansion is bounded.
        {"billion laughs in a parameter attribute",
         Parametres,
         milliardDeRires("RUBRIQUESTVA", "<RUBRIQUESTVA><IMPRIME CODE='&e10;'/></RUBRIQUESTVA>"),
         {-1072896679, kChargement + "Boucle dans les références d'entités"}},
        {"billion laughs in a data attribute",
         Donnees,
         milliardDeRires("DONNEESTVA", "<DONNEESTVA><LIGNE COMPTE='&e10;'/></DONNEESTVA>"),
         {-1072896742, kLecture + "Entité « e10 » non déclarée"}},
        // A million levels: the tree reader refuses them, the streaming
        // reader reads them all; never cut, never a stack overflow.
        {"deep parameter file",
         Parametres,
         profond,
         {-1072896767,
          kChargement + "Imbrication trop profonde dans le document : plus de 256 niveaux"}},
        {"deep data file", Donnees, "<DONNEESTVA>" + profond + ligne + "</DONNEESTVA>", {0, "5"}},
        // Huge values.
        {"5 MB account in the data file",
         Donnees,
         "<DONNEESTVA><LIGNE COMPTE='7011" + std::string(5 << 20, '1') + "' MONTANT='3'/>" + ligne +
             "</DONNEESTVA>",
         {0, "8"}},  // accounts match by their start
        {"20 MB text in the data file",
         Donnees,
         "<DONNEESTVA>" + ligne + "<X>" + std::string(20 << 20, 'x') + "</X></DONNEESTVA>",
         {0, "5"}},
        {"20 MB rubric code",
         Parametres,
         "<RUBRIQUESTVA><IMPRIME CODE='CA3'><RUBRIQUE CODE='" + std::string(20 << 20, 'A') +
             "'/></IMPRIME></RUBRIQUESTVA>",
         {-1072896728, kChargement + "Valeur d'attribut trop longue"}},
        {"27 MB data file of one line",
         Donnees,
         "<DONNEESTVA>" + repeter(ligne, 800000) + "</DONNEESTVA>",
         {0, "4000000"}},
        // Broken characters.
        {"parameter file ending inside a character",
         Parametres,
         "<RUBRIQUESTVA><IMPRIME CODE='CA3'><RUBRIQUE CODE='\xC3",
         {-1072896728, kChargement + "Valeur d'attribut non terminée : guillemet fermant attendu"}},
        {"data file ending inside a character",
         Donnees,
         "<DONNEESTVA>" + ligne + "<LIGNE COMPTE='\xE2\x82",
         {-1072896728, kLecture + "Valeur d'attribut non terminée : guillemet fermant attendu"}},
        {"NUL byte in the parameter file",
         Parametres,
         "<RUBRIQUESTVA><IMPRIME CODE='CA3'>" + std::string(1, '\0') + "</IMPRIME></RUBRIQUESTVA>",
         {-1072896691,
          kChargement +
              "Fin prématurée du document : l'élément « IMPRIME » ouvert ligne 1 n'est pas fermé"}},
        {"NUL byte in a data attribute",
         Donnees,
         "<DONNEESTVA><LIGNE COMPTE='70" + std::string(1, '\0') + "11'/></DONNEESTVA>",
         {-1072896759, kLecture + "Caractère interdit en XML dans le document"}},
    };
    const std::string uneRubrique = (d / "une.xml").string(), uneLigne = (d / "ligne.xml").string();
    ecrireFichier(uneRubrique, kUneRubrique);
    ecrireFichier(uneLigne, "<DONNEESTVA>" + ligne + "</DONNEESTVA>");
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        const std::string fichier = (d / "hostile.xml").string();
        ecrireFichier(fichier, c.contenu);
        const std::string resultat = (d / "resultat.xml").string();
        fs::remove(resultat);
        const Issue issue = c.lecteur == Parametres ? calculer(uneLigne, fichier, resultat)
                                                    : calculer(fichier, uneRubrique, resultat);
        EXPECT_EQ(std::to_string(issue.numero) + " " + issue.texte,
                  std::to_string(c.attendu.numero) + " " + c.attendu.texte);
        EXPECT_EQ(issue.texte.find(kSecret), std::string::npos);
        EXPECT_EQ(lireFichier(resultat).find(kSecret), std::string::npos);
    }
    EXPECT_LT(accept(serveur, nullptr, nullptr), 0) << "a reader fetched " << url;
    close(serveur);
}

// A gigabyte with no line break: read in bounded pieces, every line counted,
// the memory of the process far below the size of the file.
TEST(XmlHostileTest, GigabyteDataFileOfOneLine) {
    DefinirTypeDeclaration("CA3");
    Acomptes() = {};
    DossierTemporaire d;
    struct statvfs disque {};
    if (statvfs(d.chemin().c_str(), &disque) != 0 ||
        static_cast<uint64_t>(disque.f_bavail) * disque.f_frsize < (3ull << 30))
        GTEST_SKIP() << "less than 3 GB free beside " << d.chemin();

    const std::string ligne = "<LIGNE COMPTE='7011' MONTANT='5'/>";
    const uint64_t lignes = ((1ull << 30) + ligne.size() - 1) / ligne.size();
    const std::string bloc = repeter(ligne, 1u << 15);
    const std::string donnees = (d / "un-giga.xml").string();
    {
        std::ofstream sortie(donnees, std::ios::binary);
        sortie << "<DONNEESTVA>";
        uint64_t ecrites = 0;
        for (; ecrites + (1u << 15) <= lignes; ecrites += 1u << 15) sortie << bloc;
        sortie << repeter(ligne, lignes - ecrites) << "</DONNEESTVA>";
        ASSERT_TRUE(sortie.flush()) << "cannot write " << donnees;
    }
    ASSERT_GE(fs::file_size(donnees), 1ull << 30);
    const std::string rubriques = (d / "une.xml").string();
    ecrireFichier(rubriques, kUneRubrique);

    // The peak so far is the other tests' (more under ASan): the read may
    // add little to it, nothing near the file.
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const long avantKo = std::max(usage.ru_maxrss, 256L << 10);
    const Issue issue = calculer(donnees, rubriques, (d / "resultat.xml").string());
    EXPECT_EQ(std::to_string(issue.numero) + " " + issue.texte, "0 " + std::to_string(lignes * 5));
    getrusage(RUSAGE_SELF, &usage);
    EXPECT_LT(usage.ru_maxrss, avantKo + (256L << 10)) << "kB at the peak";
}

}  // namespace
}  // namespace qx
