#include "chemin_erreur.h"

#include <optional>

#include "platform/error.h"

namespace qxtva {
namespace {

// The value of "--nom VALEUR" or "--nom=VALEUR", the last one given.
std::optional<std::string> valeurOption(const Arguments& arguments, std::string_view nom) {
    const std::string option = "--" + std::string(nom);
    std::optional<std::string> valeur;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        if (a == option && i + 1 < arguments.size())
            valeur = arguments[++i];
        else if (a.size() > option.size() && a.compare(0, option.size(), option) == 0 &&
                 a[option.size()] == '=')
            valeur = a.substr(option.size() + 1);
    }
    return valeur;
}

std::string ajouterChemin(const qx::Error& erreur, std::string_view chemin) {
    std::string description = erreur.description();
    if (!chemin.empty() && description.find(chemin) == std::string::npos)
        description += " : " + std::string(chemin);
    return description;
}

}  // namespace

std::string descriptionAvecChemin(const qx::Error& erreur, std::string_view donnees,
                                  std::string_view rubriques) {
    switch (erreur.number()) {
        case qx::err::ErrCalcul_FichierDonnees:
            return ajouterChemin(erreur, donnees);
        case qx::err::ErrCalcul_FichierRubriques:
            return ajouterChemin(erreur, rubriques);
        default:
            return erreur.description();
    }
}

std::string descriptionAvecChemin(const qx::Error& erreur, const Arguments& arguments) {
    return descriptionAvecChemin(erreur, valeurOption(arguments, "donnees").value_or(""),
                                 valeurOption(arguments, "rubriques").value_or(""));
}

}  // namespace qxtva
