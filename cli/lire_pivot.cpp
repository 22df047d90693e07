// qxtva pivot: the rubrics of one form of a stored declaration.
#include <algorithm>
#include <array>
#include <filesystem>
#include <iostream>

#include "commande.h"
#include "declaration/declaration_tva.h"
#include "options.h"
#include "parametres.h"
#include "rubrics/conventions.h"
#include "tableau.h"

namespace qxtva {
namespace {

constexpr std::string_view kUsage =
    "Usage : qxtva pivot FICHIER [--type T]\n"
    "\n"
    "Affiche les rubriques d'une déclaration enregistrée par Ardilo direct (fichier pivot) :\n"
    "formulaire, code, intitulé et valeur, dans l'ordre du formulaire.\n"
    "\n"
    "  --type T    formulaire à lire : CA3 (par défaut), CA3A, CA12 (ou à défaut sa\n"
    "              variante CA12E) ou CA12E\n"
    "\n"
    "Sortie : 0 succès, 2 fichier absent ou illisible, 64 mauvais usage.\n";

constexpr std::array<DefinitionOption, 1> kOptions = {{{"type", true, false, false}}};

void ecrireColonne(std::ostream& sortie, std::string_view texte, size_t largeur) {
    sortie << texte << std::string(largeur - std::min(largeur, largeurAffichee(texte)), ' ');
}

int executer(const Arguments& arguments) {
    Arguments reste;
    std::optional<std::string> fichier = separerFichier(arguments, reste);
    Options options = Options::analyser(reste, kOptions);
    if (options.aide()) {
        std::cout << kUsage;
        return kSortieSucces;
    }
    if (!fichier) throw ErreurUsage("fichier pivot manquant");
    const std::string type = lireType(options.valeur("type"));
    if (type == "CA12A") throw ErreurUsage("le formulaire CA12A ne se lit pas");

    std::error_code ec;
    if (!std::filesystem::is_regular_file(*fichier, ec)) {
        std::cerr << "qxtva pivot : fichier « " << *fichier << " » introuvable\n";
        return kSortieErreur;
    }
    qx::Cls_DeclarationTVA declaration;
    declaration.SetvTypeDeclaration(type);
    std::vector<qx::TRubr> rubriques;
    if (!declaration.Conversion_Pivot(*fichier, rubriques)) {
        std::cerr << "qxtva pivot : « " << *fichier
                  << " » n'est pas une déclaration lisible par Ardilo direct\n";
        return kSortieErreur;
    }
    if (rubriques.size() <= 1) {
        std::cout << "Aucun formulaire " << type << " dans cette déclaration.\n";
        return kSortieSucces;
    }

    // Entry 0 is never filled: rubrics start at 1.
    std::vector<std::array<std::string, 4>> lignes = {{"Formulaire", "Code", "Intitulé", "Valeur"}};
    for (size_t k = 1; k < rubriques.size(); ++k)
        lignes.push_back({rubriques[k].Rubr_TypeDeclaration, rubriques[k].Rubr_Id,
                          rubriques[k].Rubr_Intitule,
                          qx::NombreVersTexte(rubriques[k].Rubr_Valeur)});
    std::array<size_t, 4> largeurs{};
    for (const auto& ligne : lignes)
        for (size_t c = 0; c < 4; ++c)
            largeurs[c] = std::max(largeurs[c], largeurAffichee(ligne[c]));
    for (const auto& ligne : lignes) {
        for (size_t c = 0; c < 3; ++c) {
            ecrireColonne(std::cout, ligne[c], largeurs[c]);
            std::cout << "  ";
        }
        // Values right-aligned.
        std::cout << std::string(largeurs[3] - largeurAffichee(ligne[3]), ' ') << ligne[3] << '\n';
    }
    return kSortieSucces;
}

}  // namespace

extern const Commande commandePivot;
const Commande commandePivot{"pivot", "affiche les rubriques d'une déclaration enregistrée", kUsage,
                             executer};

}  // namespace qxtva
