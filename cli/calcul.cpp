// qxtva calcul: computes a return from a data file and a parameter file,
// writes the result file and shows the computed rubrics.
#include <algorithm>
#include <array>
#include <charconv>
#include <iostream>
#include <optional>
#include <string>

#include "commande.h"
#include "engine/calcul_tva.h"
#include "options.h"
#include "platform/clock.h"
#include "platform/thread_state.h"
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

// Only the types the library knows are accepted: any other text would
// silently select no credit rubric and no check.
constexpr std::array<std::string_view, 5> kTypes = {"CA3", "CA3A", "CA12", "CA12E", "CA12A"};

std::optional<int> lireEntier(std::string_view texte) {
    int valeur = 0;
    auto [fin, erreur] = std::from_chars(texte.data(), texte.data() + texte.size(), valeur);
    if (erreur != std::errc() || fin != texte.data() + texte.size() || texte.empty())
        return std::nullopt;
    return valeur;
}

// An amount: digits, optionally "." and more digits; no sign, no exponent.
std::optional<double> lireMontant(std::string_view texte) {
    size_t point = texte.find('.');
    std::string_view entier = texte.substr(0, point);
    std::string_view decimales = point == std::string_view::npos ? "" : texte.substr(point + 1);
    auto chiffres = [](std::string_view s) {
        return !s.empty() && s.find_first_not_of("0123456789") == std::string_view::npos;
    };
    if (!chiffres(entier) || (point != std::string_view::npos && !chiffres(decimales)))
        return std::nullopt;
    double valeur = 0;
    auto [fin, erreur] = std::from_chars(texte.data(), texte.data() + texte.size(), valeur,
                                         std::chars_format::fixed);
    if (erreur != std::errc() || fin != texte.data() + texte.size()) return std::nullopt;
    return valeur;
}

void lireAcompte(const std::string& texte, qx::TableAcomptes& table, std::array<bool, 5>& vus) {
    auto erreur = [&] {
        return ErreurUsage("acompte incorrect « " + texte +
                           " » : attendu N:PAYE:RESTANT, N de 1 à 4");
    };
    size_t premier = texte.find(':');
    size_t second = premier == std::string::npos ? premier : texte.find(':', premier + 1);
    if (second == std::string::npos) throw erreur();
    std::optional<int> numero = lireEntier(std::string_view(texte).substr(0, premier));
    std::optional<double> paye =
        lireMontant(std::string_view(texte).substr(premier + 1, second - premier - 1));
    std::optional<double> restant = lireMontant(std::string_view(texte).substr(second + 1));
    if (!numero || *numero < 1 || *numero > 4 || !paye || !restant) throw erreur();
    if (vus[*numero])
        throw ErreurUsage("l'acompte " + std::to_string(*numero) + " est donné plusieurs fois");
    vus[*numero] = true;
    table[*numero] = qx::TAcompte{*paye, *restant};
}

qx::Date lireDateJour(const std::string& texte) {
    if (texte.size() == 10 && texte[4] == '-' && texte[7] == '-') {
        std::optional<int> annee = lireEntier(std::string_view(texte).substr(0, 4));
        std::optional<int> mois = lireEntier(std::string_view(texte).substr(5, 2));
        std::optional<int> jour = lireEntier(std::string_view(texte).substr(8, 2));
        if (annee && mois && jour && qx::isValidCivil(*annee, *mois, *jour))
            return qx::fromCivil(*annee, *mois, *jour);
    }
    throw ErreurUsage("date du jour incorrecte « " + texte + " » : attendu AAAA-MM-JJ");
}

int executer(const Arguments& arguments) {
    Options options = Options::analyser(arguments, kOptions);
    if (options.aide()) {
        std::cout << kUsage;
        return kSortieSucces;
    }
    std::string type = options.valeur("type").value_or("CA3");
    if (std::find(kTypes.begin(), kTypes.end(), type) == kTypes.end())
        throw ErreurUsage("type de déclaration inconnu « " + type + " »");
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
