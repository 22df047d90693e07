// The computed rubrics as boxes of the form, in collection order: form,
// code, label, exchange value, forced mark and value before forcing.
#pragma once

#include <vector>

#include "avant_forcage.h"
#include "engine/rubriques.h"
#include "vue_formulaire.h"

namespace qxtva {

// `avant`: what the computation held before its checks, or none.
std::vector<CaseFormulaire> casesCalculees(const qx::CRubriques& rubriques,
                                           const ValeursAvantForcage* avant);

}  // namespace qxtva
