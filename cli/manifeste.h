// The manifest of "qxtva lot": one return a line, fields separated by ";"
// (a "," decimal stays free for amounts), "#" comments and blank lines
// skipped, an optional header line starting with "donnees":
//
//     donnees;rubriques;resultat[;type[;acomptes[;dossier]]]
//
// `type` is CA3 when empty; `acomptes` is "N:PAYE:RESTANT" items separated
// by blanks; a `dossier` file makes the line a declaration (as "qxtva
// declarer"). Relative paths are taken from the manifest's folder.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/declaration_courante.h"

namespace qxtva {

struct Dossier_lot {
    size_t ligne = 0;  // in the manifest
    std::string donnees, rubriques, resultat;
    std::string type = "CA3";
    qx::TableAcomptes acomptes{};
    std::optional<std::string> dossier;
};

// A manifest that cannot be read; the message names the line.
class ManifesteInvalide : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

std::vector<Dossier_lot> lireManifeste(const std::string& chemin);

}  // namespace qxtva
