#include "options.h"

#include <algorithm>

namespace qxtva {

Options Options::analyser(const Arguments& arguments,
                          std::span<const DefinitionOption> definitions) {
    Options options;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--help" || argument == "-h") {
            options.aide_ = true;
            continue;
        }
        auto court = std::find_if(
            definitions.begin(), definitions.end(),
            [&](const DefinitionOption& d) { return !d.court.empty() && d.court == argument; });
        if (argument.size() < 3 || argument.compare(0, 2, "--") != 0) {
            if (court == definitions.end())
                throw ErreurUsage("argument inattendu « " + argument + " »");
        }

        std::string nom = court != definitions.end() ? std::string(court->nom) : argument.substr(2);
        std::optional<std::string> valeur;
        if (size_t egal = nom.find('='); egal != std::string::npos) {
            valeur = nom.substr(egal + 1);
            nom.resize(egal);
        }
        auto definition = std::find_if(definitions.begin(), definitions.end(),
                                       [&](const DefinitionOption& d) { return d.nom == nom; });
        if (definition == definitions.end()) throw ErreurUsage("option inconnue --" + nom);

        if (!definition->avecValeur) {
            if (valeur) throw ErreurUsage("l'option --" + nom + " ne prend pas de valeur");
            valeur = std::string();
        } else if (!valeur) {
            if (i + 1 >= arguments.size()) throw ErreurUsage("valeur manquante pour --" + nom);
            valeur = arguments[++i];
        }
        auto& liste = options.valeurs_[nom];
        if (!liste.empty() && !definition->repetable)
            throw ErreurUsage("l'option --" + nom + " est donnée plusieurs fois");
        liste.push_back(std::move(*valeur));
    }
    if (!options.aide_) {
        for (const DefinitionOption& definition : definitions)
            if (definition.obligatoire && !options.present(definition.nom))
                throw ErreurUsage("option obligatoire manquante : --" +
                                  std::string(definition.nom));
    }
    return options;
}

Arguments separerPositionnels(const Arguments& arguments,
                              std::span<const DefinitionOption> definitions,
                              std::vector<std::string>& positionnels) {
    Arguments options;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument.rfind("-", 0) != 0) {
            positionnels.push_back(argument);
            continue;
        }
        options.push_back(argument);
        const std::string nom = argument.substr(2);
        auto definition = std::find_if(definitions.begin(), definitions.end(),
                                       [&](const DefinitionOption& d) { return d.nom == nom; });
        if (definition != definitions.end() && definition->avecValeur && i + 1 < arguments.size())
            options.push_back(arguments[++i]);
    }
    return options;
}

std::optional<std::string> Options::valeur(std::string_view nom) const {
    auto it = valeurs_.find(nom);
    if (it == valeurs_.end() || it->second.empty()) return std::nullopt;
    return it->second.back();
}

std::vector<std::string> Options::valeurs(std::string_view nom) const {
    auto it = valeurs_.find(nom);
    return it == valeurs_.end() ? std::vector<std::string>{} : it->second;
}

}  // namespace qxtva
