// qxtva calcul: computes a return from a data file and a parameter file,
// writes the result file and shows the computed rubrics.
#include <array>
#include <iostream>
#include <optional>
#include <string>

#include "commande.h"
#include "engine/calcul_tva.h"
#include "engine/declaration_courante.h"
#include "options.h"
#include "parametres.h"
#include "platform/clock.h"
#include "progression.h"
#include "tableau.h"

namespace qxtva {
namespace {

constexpr std::string_view kUsage =
    "Usage : qxtva calcul --donnees DONNEES.xml --rubriques RUBRIQUES.xml --resultat RESULTAT.xml\n"
    "                     [--type T] [--acompte N:PAYE:RESTANT]... [--date-jour AAAA-MM-JJ] "
    "[--quiet]\n"
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
    "\n"
    "Sortie : 0 succès, 2 erreur du calcul (« erreur NUMERO : DESCRIPTION » sur stderr),\n"
    "64 mauvais usage.\n";

constexpr std::array<DefinitionOption, 7> kOptions = {{
    {"donnees", true, false, true},
    {"rubriques", true, false, true},
    {"resultat", true, false, true},
    {"type", true, false, false},
    {"acompte", true, true, false},
    {"date-jour", true, false, false},
    {"quiet", false, false, false},
}};

int executer(const Arguments& arguments) {
    Options options = Options::analyser(arguments, kOptions);
    if (options.aide()) {
        std::cout << kUsage;
        return kSortieSucces;
    }
    std::string type = lireType(options.valeur("type"));
    qx::TableAcomptes acomptes{};
    std::array<bool, 5> vus{};
    for (const std::string& acompte : options.valeurs("acompte"))
        lireAcompte(acompte, acomptes, vus);
    std::optional<qx::Date> dateJour;
    if (auto texte = options.valeur("date-jour")) dateJour = lireDateJour(*texte);

    // Usage is settled: from here on, failures are the library's.
    qx::DefinirTypeDeclaration(type);
    qx::Acomptes() = acomptes;
    if (dateJour) qx::fixerDateDuJour(*dateJour);

    const std::string donnees = *options.valeur("donnees");
    auto calcul = qx::CCalculTVA::Creer();
    {
        // Failures go up to main, which prints them once the progress line is gone.
        Progression progression(*calcul, donnees);
        calcul->Init(donnees, *options.valeur("rubriques"), *options.valeur("resultat"));
    }
    calcul->Archive();
    if (!options.present("quiet")) afficherRubriques(std::cout, *calcul->Rubriques());
    return kSortieSucces;
}

}  // namespace

extern const Commande commandeCalcul;
const Commande commandeCalcul{"calcul", "calcule une déclaration et écrit le fichier résultat",
                              kUsage, executer};

}  // namespace qxtva
