#include "avant_forcage.h"

#include "engine/calcul_interne.h"
#include "platform/text_key.h"

namespace qxtva {

std::string ValeursAvantForcage::avant(int32_t position) const {
    if (position < 1 || static_cast<size_t>(position) > valeurs_.size()) return {};
    return valeurs_[static_cast<size_t>(position) - 1].texte;
}

std::string ValeursAvantForcage::avant(std::string_view cle) const {
    const std::string recherchee = qx::foldKey(cle);
    for (const Valeur& v : valeurs_)
        if (v.cle == recherchee) return v.texte;
    return {};
}

void ValeursAvantForcage::apres(Etape etape, const qx::CCalculTVA&,
                                const qx::CRubriques& rubriques) {
    if (etape != Etape::SecondArrondi) return;
    valeurs_.clear();
    for (int32_t i = 1; i <= rubriques.Count(); ++i) {
        const auto& rubrique = qx::CalculInterne::Rubrique(rubriques, i);
        if (rubrique)
            valeurs_.push_back({qx::foldKey(rubrique->KeyRubrique()), rubrique->AsXML()});
        else
            valeurs_.emplace_back();
    }
}

}  // namespace qxtva
