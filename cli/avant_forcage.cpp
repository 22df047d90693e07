#include "avant_forcage.h"

#include "engine/calcul_interne.h"

namespace qxtva {

std::string ValeursAvantForcage::avant(int32_t position) const {
    if (position < 1 || static_cast<size_t>(position) > valeurs_.size()) return {};
    return valeurs_[static_cast<size_t>(position) - 1];
}

void ValeursAvantForcage::apres(Etape etape, const qx::CCalculTVA&,
                                const qx::CRubriques& rubriques) {
    if (etape != Etape::SecondArrondi) return;
    valeurs_.clear();
    for (int32_t i = 1; i <= rubriques.Count(); ++i) {
        const auto& rubrique = qx::CalculInterne::Rubrique(rubriques, i);
        valeurs_.push_back(rubrique ? rubrique->AsXML() : std::string());
    }
}

}  // namespace qxtva
