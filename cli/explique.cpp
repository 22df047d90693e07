// qxtva explique: where each rubric asked for got its value.
#include <algorithm>
#include <array>
#include <cmath>
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
#include "rubrics/conventions.h"
#include "sortie.h"

namespace qxtva {
namespace {

constexpr std::string_view kUsage =
    "Usage : qxtva explique --donnees DONNEES.xml --rubriques RUBRIQUES.xml [--type T]\n"
    "                       [--acompte N:PAYE:RESTANT]... [--date-jour AAAA-MM-JJ]\n"
    "                       [--format table|csv|json] [CLE]...\n"
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
    "  --format F       texte (table, par défaut), csv ou json : une ligne par apport\n"
    "                   (ligne, credit, dependance, acomptes, arrondi, second_arrondi,\n"
    "                   controle, forcage) puis une ligne total par rubrique\n"
    "\n"
    "Sortie : 0 succès, 2 erreur du calcul ou rubrique absente, 64 mauvais usage.\n";

constexpr std::array<DefinitionOption, 6> kOptions = {{
    {"donnees", true, false, true},
    {"rubriques", true, false, true},
    {"type", true, false, false},
    {"acompte", true, true, false},
    {"date-jour", true, false, false},
    kOptionFormat,
}};

const char* nomEtape(qx::ObservateurCalcul::Etape etape) {
    switch (etape) {
        case qx::ObservateurCalcul::Etape::Lecture:
            return "lecture";
        case qx::ObservateurCalcul::Etape::Acomptes:
            return "acomptes";
        case qx::ObservateurCalcul::Etape::PremierArrondi:
            return "arrondi";
        case qx::ObservateurCalcul::Etape::SecondArrondi:
            return "second_arrondi";
        case qx::ObservateurCalcul::Etape::Controles:
            return "controles";
        case qx::ObservateurCalcul::Etape::Chargement:
            break;
    }
    return "chargement";
}

// One row per amount of each trail, then its total: the amounts of a
// rubric add up to its total.
Tableau tableauTraces(const qx::Explication& explication) {
    Tableau tableau;
    tableau.schema = "qxtva.explication";
    tableau.version = 1;
    tableau.colonnes = {
        {"cle", "Clé"},
        {"apport", "Apport"},
        {"montant", "Montant", Genre::Nombre},
        {"ligne_donnees", "Ligne des données", Genre::Nombre},
        {"compte", "Compte"},
        {"type_taux", "Type de taux"},
        {"categorie", "Catégorie"},
        {"montant_ecrit", "Montant écrit"},
        {"montant_lu", "Montant lu", Genre::Nombre},
        {"source", "Source"},
        {"sens", "Sens", Genre::Nombre},
        {"detail", "Détail"},
    };
    // Nine decimals, as values are stored: the differences of the steps leave
    // binary noise below them.
    auto nombre = [](double v) { return qx::NombreVersTexte(std::round(v * 1e9) / 1e9); };
    for (const std::string& cle : explication.Cles()) {
        const qx::Trace& t = *explication.Trace(cle);
        auto ajouter = [&](std::string apport, double montant, std::vector<std::string> reste) {
            std::vector<std::string> ligne = {t.cle, std::move(apport), nombre(montant)};
            reste.resize(tableau.colonnes.size() - ligne.size());
            ligne.insert(ligne.end(), reste.begin(), reste.end());
            tableau.lignes.push_back(std::move(ligne));
        };
        for (const qx::ApportLigne& l : t.lignes)
            ajouter(
                "ligne", l.ajoute,
                {std::to_string(l.ligne), l.compte, l.typeTaux, l.categorie, l.montantTexte,
                 nombre(l.montantLu), "ligne de compte " + std::to_string(l.ligneCompte),
                 std::to_string(l.sens),
                 "COMPTE " + l.compteLigne + ", TYPETAUX " + l.typeTauxLigne + ", CATEGORIEAV " +
                     l.categorieLigne + ", TYPECUMUL " + std::to_string(l.typeCumul) +
                     (l.avantCredit ? " ; puis remplacé par le crédit reporté" : "")});
        for (const qx::Trace::Credit& c : t.credits)
            ajouter("credit", c.apres - c.avant,
                    {"", "", "", "", c.texte, nombre(c.apres), "CREDITTVA", "",
                     "valeur précédente " + nombre(c.avant)});
        for (const qx::ApportDependance& d : t.dependances)
            ajouter("dependance", d.montant,
                    {"", "", "", "", "", "", d.source, std::to_string(d.sens), nomEtape(d.etape)});
        if (t.acompte != 0) ajouter("acomptes", t.acompte, {});
        if (t.premierArrondi != 0) ajouter("arrondi", t.premierArrondi, {});
        if (t.secondArrondi != 0) ajouter("second_arrondi", t.secondArrondi, {});
        // A forcing's amount is counted once, on its own row.
        for (const qx::Trace::Forcage& f : t.controles)
            ajouter("controle", 0, {"", "", "", "", "", "", "", "", f.raison});
        if (t.forcage != 0) ajouter("forcage", t.forcage, {});
        ajouter("total", t.somme(), {"", "", "", "", "", "", "", "", t.valeur});
    }
    return tableau;
}

int executer(const Arguments& arguments) {
    std::vector<std::string> cles;
    Options options = Options::analyser(separerPositionnels(arguments, kOptions, cles), kOptions);
    if (options.aide()) {
        std::cout << kUsage;
        return kSortieSucces;
    }
    const Format format = lireFormat(options.valeur("format"));
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
    if (format == Format::Table)
        for (const std::string& cle : explication.Cles())
            std::cout << qx::TexteTrace(*explication.Trace(cle), donnees);
    else
        ecrire(std::cout, format, tableauTraces(explication));
    return code;
}

}  // namespace

extern const Commande commandeExplique;
const Commande commandeExplique{"explique", "dit d'où vient la valeur de chaque rubrique", kUsage,
                                executer};

}  // namespace qxtva
