// qxtva calcul: computes a return from a data file and a parameter file,
// writes the result file and shows the computed rubrics as the form reads.
#include <array>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "checks/verification.h"
#include "commande.h"
#include "engine/calcul_interne.h"
#include "engine/calcul_tva.h"
#include "engine/declaration_courante.h"
#include "options.h"
#include "options_calcul.h"
#include "parametres.h"
#include "platform/clock.h"
#include "platform/xml_scanner.h"
#include "progression.h"
#include "sortie.h"
#include "source_fec.h"
#include "tableau.h"

namespace qxtva {
namespace {

constexpr std::string_view kModele =
    "Usage : qxtva calcul --donnees DONNEES.xml --rubriques RUBRIQUES.xml --resultat RESULTAT.xml\n"
    "                     [--type T] [--acompte N:PAYE:RESTANT]... [--date-jour AAAA-MM-JJ] "
    "[--quiet]\n"
    "                     [--strict] [--tout] [--format table|csv|json]\n"
    "        qxtva calcul --fec F [--correspondances M] [--debut D --fin D] [--credit C]\n"
    "                     --rubriques RUBRIQUES.xml --resultat RESULTAT.xml [...]\n"
    "\n"
    "Calcule la déclaration à partir du fichier de données comptables et du fichier de\n"
    "description des rubriques, écrit le fichier résultat et affiche les rubriques calculées\n"
    "comme le formulaire les présente : ligne, code, valeur, forçage et intitulé.\n"
    "\n"
    "  --donnees F      fichier de données comptables (racine DONNEESTVA)\n"
    "  --rubriques F    fichier de description des rubriques (racine RUBRIQUESTVA)\n"
    "  --resultat F     fichier résultat à écrire (racine RESULTATTVA)\n"
    "  --type T         type de déclaration : CA3 (par défaut), CA3A, CA12, CA12E ou CA12A\n"
    "  --acompte N:PAYE:RESTANT\n"
    "                   acompte N (1 à 4) de la CA12 : montant payé et montant restant dû,\n"
    "                   décimales avec un point (répétable, un par acompte)\n"
    "  --date-jour D    date du jour à retenir, AAAA-MM-JJ\n"
    "  --quiet          n'affiche pas les rubriques\n"
    "  --tout           affiche aussi les rubriques à zéro ou vides\n"
    "  --format F       table (par défaut), csv (tableur, « ; » et virgule décimale) ou json\n"
    "  --strict         refuse de calculer quand « qxtva verifier » trouve des erreurs\n"
    "  --fec F          calcule à partir du fichier des écritures comptables (FEC) au lieu\n"
    "                   d'un fichier de données (voir « qxtva fec2donnees --help ») :\n"
    "%FEC%"
    "\n"
    "Les fichiers sont vérifiés comme par « qxtva verifier » : s'il y a des erreurs ou des\n"
    "avertissements, une ligne sur stderr les compte et donne la commande qui les détaille.\n"
    "\n"
    "Sortie : 0 succès, 2 erreur du calcul (« erreur NUMERO : DESCRIPTION » sur stderr),\n"
    "64 mauvais usage.\n";

const std::string kUsage = avecUsageFEC(kModele);

constexpr std::array<DefinitionOption, 11> kOptionsCalcul = {{
    {"donnees", true, false, false},
    {"fec", true, false, false},
    {"rubriques", true, false, true},
    {"resultat", true, false, true},
    {"type", true, false, false},
    {"acompte", true, true, false},
    {"date-jour", true, false, false},
    {"quiet", false, false, false},
    {"strict", false, false, false},
    {"tout", false, false, false},
    kOptionFormat,
}};

// The period the data file's PARAMS gives, as written, for the JSON header.
std::vector<std::pair<std::string, std::string>> periodeDonnees(const std::string& donnees) {
    struct Trouve {};
    struct Lecteur : qx::XmlScanner::Handler {
        std::vector<std::pair<std::string, std::string>> periode;
        void element(std::string_view nom, const qx::XmlScanner& scanner) override {
            if (nom != "PARAMS") return;
            for (const char* attribut : {"DATEDEBUT", "DATEFIN"})
                if (auto texte = scanner.attributEcrit(attribut))
                    periode.emplace_back(
                        attribut == std::string_view("DATEDEBUT") ? "debut" : "fin",
                        std::string(*texte));
            throw Trouve{};  // a second PARAMS is for verifier to report
        }
    } lecteur;
    qx::XmlScanner scanner;
    scanner.setFichier(donnees);
    try {
        scanner.scanner(lecteur);
    } catch (const Trouve&) {
    }
    return lecteur.periode;
}

int executer(const Arguments& arguments) {
    std::vector<DefinitionOption> definitions(kOptionsCalcul.begin(), kOptionsCalcul.end());
    definitions.insert(definitions.end(), kOptionsFEC.begin(), kOptionsFEC.end());
    Options options = Options::analyser(arguments, definitions);
    if (options.aide()) {
        std::cout << kUsage;
        return kSortieSucces;
    }
    const Format format = lireFormat(options.valeur("format"));
    SourceDonnees source(options);
    // Usage is settled after this: from here on, failures are the library's.
    std::string type = appliquerOptionsCalcul(options);

    const std::string donnees = source.fichier(std::cerr);
    const std::string rubriques = *options.valeur("rubriques");
    // The checks only look; the computation is the same with or without them.
    qx::Verification verification = qx::VerifierFichiers(rubriques, donnees);
    if (options.present("strict") && verification.nombre(qx::Gravite::Erreur) > 0) {
        for (const qx::Constat& constat : verification.constats)
            if (constat.gravite == qx::Gravite::Erreur)
                std::cerr << qx::TexteConstat(constat) << '\n';
        std::cerr << "qxtva calcul : calcul refusé (--strict) : "
                  << resumeVerification(verification) << '\n';
        return kSortieErreur;
    }

    auto calcul = qx::CCalculTVA::Creer();
    ValeursAvantForcage avant;
    qx::CalculInterne::SetObservateur(*calcul, &avant);
    {
        // Failures go up to main, which prints them once the progress line is gone.
        Progression progression(*calcul, donnees);
        calcul->Init(donnees, rubriques, *options.valeur("resultat"));
    }
    calcul->Archive();
    qx::VerifierCalcul(calcul, verification);
    if (!options.present("quiet")) {
        std::vector<std::pair<std::string, std::string>> entete;
        if (format == Format::Json) entete = periodeDonnees(donnees);
        ecrire(std::cout, format,
               tableauFormulaire(casesCalculees(*calcul->Rubriques(), &avant),
                                 options.present("tout"), true, std::move(entete)));
    }
    // The data file converted from a FEC is gone by then: no command to repeat.
    if (verification.nombre(qx::Gravite::Erreur) + verification.nombre(qx::Gravite::Avertissement))
        std::cerr << resumeVerification(verification)
                  << (source.depuisFEC() ? ""
                                         : " ; détail : " + ligneVerifier(rubriques, donnees, type))
                  << '\n';
    return kSortieSucces;
}

}  // namespace

extern const Commande commandeCalcul;
const Commande commandeCalcul{"calcul", "calcule une déclaration et écrit le fichier résultat",
                              kUsage, executer};

}  // namespace qxtva
