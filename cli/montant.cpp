// qxtva montant: the amount to pay of a computed return, as the
// transmission product reckons it.
#include <array>
#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "commande.h"
#include "declaration/declaration_tva.h"
#include "engine/calcul_tva.h"
#include "engine/declaration_courante.h"
#include "options.h"
#include "parametres.h"
#include "platform/clock.h"

namespace qxtva {
namespace {

constexpr std::string_view kUsage =
    "Usage : qxtva montant --donnees DONNEES.xml --rubriques RUBRIQUES.xml [--type T]\n"
    "                      [--acompte N:PAYE:RESTANT]... [--date-jour AAAA-MM-JJ]\n"
    "\n"
    "Calcule la déclaration et affiche le montant à payer selon Ardilo direct, avec quatre\n"
    "décimales (1234.5000).\n"
    "\n"
    "  --donnees F      fichier de données comptables (racine DONNEESTVA)\n"
    "  --rubriques F    fichier de description des rubriques (racine RUBRIQUESTVA)\n"
    "  --type T         type de déclaration : CA3 (par défaut), CA3A, CA12, CA12E ou CA12A\n"
    "  --acompte N:PAYE:RESTANT\n"
    "                   acompte N (1 à 4) de la CA12 (répétable, un par acompte)\n"
    "  --date-jour D    date du jour à retenir, AAAA-MM-JJ\n"
    "\n"
    "Sortie : 0 succès, 2 erreur du calcul (« erreur NUMERO : DESCRIPTION » sur stderr),\n"
    "64 mauvais usage.\n";

constexpr std::array<DefinitionOption, 5> kOptions = {{
    {"donnees", true, false, true},
    {"rubriques", true, false, true},
    {"type", true, false, false},
    {"acompte", true, true, false},
    {"date-jour", true, false, false},
}};

std::string texteMontant(qx::Currency montant) {
    const int64_t ticks = montant.ticks;
    const uint64_t absolu = ticks < 0 ? 0 - static_cast<uint64_t>(ticks) : ticks;
    char texte[32];
    std::snprintf(texte, sizeof texte, "%s%llu.%04llu", ticks < 0 ? "-" : "",
                  static_cast<unsigned long long>(absolu / 10000),
                  static_cast<unsigned long long>(absolu % 10000));
    return texte;
}

int executer(const Arguments& arguments) {
    Options options = Options::analyser(arguments, kOptions);
    if (options.aide()) {
        std::cout << kUsage;
        return kSortieSucces;
    }
    const std::string type = lireType(options.valeur("type"));
    const std::vector<Acompte> acomptes = lireListeAcomptes(options.valeurs("acompte"));
    if (auto texte = options.valeur("date-jour")) qx::fixerDateDuJour(lireDateJour(*texte));

    qx::Cls_DeclarationTVA declaration;
    declaration.SetvTypeDeclaration(type);
    for (const Acompte& a : acomptes) declaration.Acompte_Ajouter(a.numero, a.paye, a.restant);

    const std::string donnees = *options.valeur("donnees");
    const std::string rubriques = *options.valeur("rubriques");
    const qx::Currency montant = declaration.GetMontantAPayer(donnees, rubriques);
    if (montant.ticks == 0) {
        // 0 is also what a failed computation gives: tell the two apart by
        // running it once more, which raises what went wrong.
        qx::CCalculTVA::Creer()->Init(donnees, rubriques, "");
    }
    std::cout << texteMontant(montant) << '\n';
    return kSortieSucces;
}

}  // namespace

extern const Commande commandeMontant;
const Commande commandeMontant{"montant", "affiche le montant à payer d'une déclaration", kUsage,
                               executer};

}  // namespace qxtva
