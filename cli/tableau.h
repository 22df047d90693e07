// The computed rubrics as a readable table: form, code, exchange value and
// a mark for the forced ones, columns aligned, values right-aligned.
#pragma once

#include <ostream>

#include "engine/rubriques.h"

namespace qxtva {

void afficherRubriques(std::ostream& sortie, const qx::CRubriques& rubriques);

// Width on a terminal of a UTF-8 text: one column per character.
size_t largeurAffichee(std::string_view texte);

}  // namespace qxtva
