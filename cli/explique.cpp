// qxtva explique: where each rubric asked for got its value.
#include <algorithm>
#include <array>
#include <iostream>

#include "commande.h"
#include "engine/calcul_interne.h"
#include "engine/calcul_tva.h"
#include "engine/declaration_courante.h"
#include "engine/explication.h"
#include "options.h"
#include "options_calcul.h"
#include "parametres.h"
#include "platform/clock.h"

namespace qxtva {
namespace {

constexpr std::string_view kUsage =
    "Usage : qxtva explique --donnees DONNEES.xml --rubriques RUBRIQUES.xml [--type T]\n"
    "                       [--acompte N:PAYE:RESTANT]... [--date-jour AAAA-MM-JJ] [CLE]...\n"
    "\n"
    "Calcule la déclaration (sans rien écrire) et dit, pour chaque rubrique demandée, d'où\n"
    "vient sa valeur : chaque ligne de données qui l'a alimentée (ligne du fichier, compte,\n"
    "type de taux, catégorie, montant écrit et lu, ligne de compte retenue, sens), chaque\n"
    "dépendance qui y a reporté un montant, le crédit reporté, les acomptes, les arrondis\n"
    "et le forçage par les contrôles de cohérence. Les montants s'additionnent en la valeur.\n"
    "\n"
    "  CLE              clé de la rubrique (CA3GP) ou imprimé et code (CA3:GP) ; sans clé,\n"
    "                   toutes les rubriques\n"
    "  --donnees F      fichier de données comptables (racine DONNEESTVA)\n"
    "  --rubriques F    fichier de description des rubriques (racine RUBRIQUESTVA)\n"
    "  --type T         type de déclaration (CA3 par défaut)\n"
    "  --acompte N:PAYE:RESTANT\n"
    "                   acompte de la CA12 (répétable)\n"
    "  --date-jour D    date du jour à retenir, AAAA-MM-JJ\n"
    "\n"
    "Sortie : 0 succès, 2 erreur du calcul ou rubrique absente, 64 mauvais usage.\n";

constexpr std::array<DefinitionOption, 5> kOptions = {{
    {"donnees", true, false, true},
    {"rubriques", true, false, true},
    {"type", true, false, false},
    {"acompte", true, true, false},
    {"date-jour", true, false, false},
}};

int executer(const Arguments& arguments) {
    std::vector<std::string> cles;
    Options options = Options::analyser(separerPositionnels(arguments, kOptions, cles), kOptions);
    if (options.aide()) {
        std::cout << kUsage;
        return kSortieSucces;
    }
    appliquerOptionsCalcul(options);
    for (std::string& cle : cles) cle.erase(std::remove(cle.begin(), cle.end(), ':'), cle.end());

    const std::string donnees = *options.valeur("donnees");
    auto calcul = qx::CCalculTVA::Creer();
    qx::Explication explication(cles);
    qx::CalculInterne::SetObservateur(*calcul, &explication);
    calcul->Init(donnees, *options.valeur("rubriques"), "");

    int code = kSortieSucces;
    for (const std::string& cle : cles)
        if (!explication.Trace(cle)) {
            std::cerr << "qxtva explique : la rubrique " << cle
                      << " n'est pas dans le fichier de description des rubriques\n";
            code = kSortieErreur;
        }
    for (const std::string& cle : explication.Cles())
        std::cout << qx::TexteTrace(*explication.Trace(cle), donnees);
    return code;
}

}  // namespace

extern const Commande commandeExplique;
const Commande commandeExplique{"explique", "dit d'où vient la valeur de chaque rubrique", kUsage,
                                executer};

}  // namespace qxtva
