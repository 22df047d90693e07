// qxtva fec2donnees: turns a ledger export (FEC) into an accounting data
// file, one line per account with its balance over the period.
#include <iostream>

#include "commande.h"
#include "source_fec.h"

namespace qxtva {
namespace {

constexpr std::string_view kEntete =
    "Usage : qxtva fec2donnees --fec F [--correspondances M] [--debut AAAA-MM-JJ --fin "
    "AAAA-MM-JJ]\n"
    "                          [--credit C] -o DONNEES.xml\n"
    "\n"
    "Lit le fichier des écritures comptables (FEC : 18 colonnes, séparateur tabulation ou « | »,\n"
    "UTF-8 ou ISO-8859-15, virgule décimale, dates AAAAMMJJ) et écrit le fichier de données\n"
    "comptables (DONNEESTVA) : une ligne par compte avec son solde (débit moins crédit) sur la\n"
    "période, son type de taux et sa catégorie. Les comptes de classe 4 et 7 qu'aucune\n"
    "correspondance ne couvre sont signalés sur stderr.\n"
    "\n"
    "  --fec F          fichier des écritures comptables\n"
    "  -o, --sortie F   fichier de données à écrire\n";

std::string usage() {
    return std::string(kEntete) + std::string(kUsageFEC) +
           "\nSortie : 0 succès, 2 erreur (« erreur NUMERO : DESCRIPTION » sur stderr), "
           "64 mauvais usage.\n";
}

int executer(const Arguments& arguments) {
    std::vector<DefinitionOption> definitions(kOptionsFEC.begin(), kOptionsFEC.end());
    definitions.push_back({"fec", true, false, true});
    definitions.push_back({"sortie", true, false, true, "-o"});
    Options options = Options::analyser(arguments, definitions);
    if (options.aide()) {
        std::cout << usage();
        return kSortieSucces;
    }
    SourceFEC::lire(*options.valeur("fec"), options)
        .convertir(*options.valeur("sortie"), std::cerr);
    return kSortieSucces;
}

const std::string kUsage = usage();

}  // namespace

extern const Commande commandeFec2Donnees;
const Commande commandeFec2Donnees{
    "fec2donnees", "convertit un FEC en fichier de données comptables", kUsage, executer};

}  // namespace qxtva
