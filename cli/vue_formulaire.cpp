#include "vue_formulaire.h"

#include "lignes_formulaires.h"

namespace qxtva {
namespace {

bool aZero(const std::string& valeur) {
    if (valeur.empty()) return true;
    // Exchange texts of numbers: "0", "-0", "0.00".
    return valeur.find_first_not_of("-0.") == std::string::npos;
}

}  // namespace

Tableau tableauFormulaire(const std::vector<CaseFormulaire>& cases, bool tout, bool avecForcage,
                          std::vector<std::pair<std::string, std::string>> entete) {
    Tableau tableau;
    tableau.schema = "qxtva.rubriques";
    tableau.version = 1;
    tableau.entete = std::move(entete);
    tableau.colonnes = {
        {"formulaire", "Imprimé"},
        {"ligne", "Ligne"},
        {"code", "Code"},
        {"valeur", "Valeur", Genre::Texte, false, true},
        {"nombre", "Valeur", Genre::Nombre, true, true},
        {"forcee", "Forcée", Genre::Marque, avecForcage, true},
        {"avant_forcage", "Avant forçage", Genre::Nombre, avecForcage, true},
        // Last in the table: the labels are long.
        {"intitule", "Intitulé"},
    };
    size_t forcees = 0, cachees = 0;
    for (const CaseFormulaire& c : cases) {
        forcees += c.forcee ? 1 : 0;
        if (!tout && !c.forcee && aZero(c.valeur)) {
            ++cachees;
            continue;
        }
        tableau.lignes.push_back({c.formulaire, std::string(numeroLigne(c.formulaire, c.code)),
                                  c.code, c.valeur, c.valeur, c.forcee ? "*" : "",
                                  c.forcee ? c.avant : "", c.intitule});
    }
    tableau.pied = std::to_string(cases.size()) + (cases.size() > 1 ? " rubriques" : " rubrique");
    if (avecForcage)
        tableau.pied +=
            ", " + std::to_string(forcees) + (forcees > 1 ? " forcées" : " forcée") + " (*)";
    if (cachees)
        tableau.pied += ", " + std::to_string(cachees) +
                        (cachees > 1 ? " à zéro non affichées" : " à zéro non affichée") +
                        " (--tout pour les afficher)";
    return tableau;
}

}  // namespace qxtva
