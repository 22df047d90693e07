// qxtva calcul: computes a return from a data file and a parameter file,
// writes the result file and shows the computed rubrics.
#include <array>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "checks/verification.h"
#include "commande.h"
#include "engine/calcul_tva.h"
#include "engine/declaration_courante.h"
#include "options.h"
#include "options_calcul.h"
#include "parametres.h"
#include "platform/clock.h"
#include "progression.h"
#include "source_fec.h"
#include "tableau.h"

namespace qxtva {
namespace {

constexpr std::string_view kModele =
    "Usage : qxtva calcul --donnees DONNEES.xml --rubriques RUBRIQUES.xml --resultat RESULTAT.xml\n"
    "                     [--type T] [--acompte N:PAYE:RESTANT]... [--date-jour AAAA-MM-JJ] "
    "[--quiet]\n"
    "                     [--strict]\n"
    "        qxtva calcul --fec F [--correspondances M] [--debut D --fin D] [--credit C]\n"
    "                     --rubriques RUBRIQUES.xml --resultat RESULTAT.xml [...]\n"
    "\n"
    "Calcule la déclaration à partir du fichier de données comptables et du fichier de\n"
    "description des rubriques, écrit le fichier résultat et affiche les rubriques calculées.\n"
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

constexpr std::array<DefinitionOption, 9> kOptionsCalcul = {{
    {"donnees", true, false, false},
    {"fec", true, false, false},
    {"rubriques", true, false, true},
    {"resultat", true, false, true},
    {"type", true, false, false},
    {"acompte", true, true, false},
    {"date-jour", true, false, false},
    {"quiet", false, false, false},
    {"strict", false, false, false},
}};

int executer(const Arguments& arguments) {
    std::vector<DefinitionOption> definitions(kOptionsCalcul.begin(), kOptionsCalcul.end());
    definitions.insert(definitions.end(), kOptionsFEC.begin(), kOptionsFEC.end());
    Options options = Options::analyser(arguments, definitions);
    if (options.aide()) {
        std::cout << kUsage;
        return kSortieSucces;
    }
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
    {
        // Failures go up to main, which prints them once the progress line is gone.
        Progression progression(*calcul, donnees);
        calcul->Init(donnees, rubriques, *options.valeur("resultat"));
    }
    calcul->Archive();
    qx::VerifierCalcul(calcul, verification);
    if (!options.present("quiet")) afficherRubriques(std::cout, *calcul->Rubriques());
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
