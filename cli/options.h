// Reads a subcommand's options: "--nom valeur" or "--nom=valeur" for an
// option with a value, "--nom" alone for a switch, "-o valeur" for an
// option with a one-letter form. "--help" or "-h" asks
// for the usage. Anything else is wrong usage (ErreurUsage).
#pragma once

#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "commande.h"

namespace qxtva {

struct DefinitionOption {
    std::string_view nom;  // without the leading "--"
    bool avecValeur = true;
    bool repetable = false;
    bool obligatoire = false;
    std::string_view court = {};  // a one-letter form, "-o", when there is one
};

class Options {
public:
    // Raises ErreurUsage for an unknown option, a missing value, a repeated
    // option that is not repeatable, a positional argument or a missing
    // required option (the last check is skipped when help is asked).
    static Options analyser(const Arguments& arguments,
                            std::span<const DefinitionOption> definitions);

    bool aide() const { return aide_; }
    bool present(std::string_view nom) const { return valeurs_.count(std::string(nom)) != 0; }
    // The value of a single option, or nothing when it was not given.
    std::optional<std::string> valeur(std::string_view nom) const;
    // Every value of a repeatable option, in the order given.
    std::vector<std::string> valeurs(std::string_view nom) const;

private:
    bool aide_ = false;
    std::map<std::string, std::vector<std::string>, std::less<>> valeurs_;
};

// The arguments that are neither an option nor an option's value go to
// positionnels; the rest is returned for Options::analyser.
Arguments separerPositionnels(const Arguments& arguments,
                              std::span<const DefinitionOption> definitions,
                              std::vector<std::string>& positionnels);

}  // namespace qxtva
