// The computed return as one self-contained HTML page laid out like the
// printed form: the header, then each form in sections, one row per box
// (line number, code, label, value), forced boxes highlighted with their
// value before forcing and why, and the base x rate rows with their gap.
// No script, no network: inline CSS, A4 print rules.
#pragma once

#include <string>

#include "avant_forcage.h"
#include "engine/rubriques.h"

namespace qxtva {

struct EnteteRapport {
    std::string societe, siret, debut, fin;  // empty when not known
    std::string type;                        // declaration type
};

// `avant`, when given, holds the values as they were before the coherence
// checks forced any.
std::string rapportHtml(const EnteteRapport& entete, const qx::CRubriques& rubriques,
                        const ValeursAvantForcage* avant);

}  // namespace qxtva
