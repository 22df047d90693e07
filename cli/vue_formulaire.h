// The boxes of a return as people read the form: each with the line number
// the form prints and its French label, a forced box with its value before
// forcing, a ticked box as "X"; the same rows for the table, the CSV and
// the JSON (schema "qxtva.rubriques").
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "sortie.h"

namespace qxtva {

struct CaseFormulaire {
    std::string formulaire, code, intitule;
    std::string valeur;  // the exchange text: "2027", "-12.5", "X", ""
    bool forcee = false;
    std::string avant;  // exchange text before forcing, when forced and known
};

// Boxes at zero or empty are left out unless `tout`; a forced one is always
// shown. Without `avecForcage` (a stored declaration knows none) the table
// and the CSV have no forcing columns; the JSON keeps its members.
Tableau tableauFormulaire(const std::vector<CaseFormulaire>& cases, bool tout, bool avecForcage,
                          std::vector<std::pair<std::string, std::string>> entete = {});

}  // namespace qxtva
