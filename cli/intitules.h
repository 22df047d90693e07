// The French label of a computed box, as the transmission product's forms
// name it: empty for a box or a form the product does not know.
#pragma once

#include <string>

#include "rubrics/rubrique.h"

namespace qxtva {

std::string intituleRubrique(const qx::CRubrique& rubrique);

}  // namespace qxtva
