#include "engine/plans_propagation.h"

namespace qx {

PlansPropagation::PlansPropagation(const CRubriques& rubriques) {
    const int32_t nombre = rubriques.Count();
    rubriques_.reserve(static_cast<size_t>(nombre));
    cibles_.reserve(static_cast<size_t>(nombre));
    for (int32_t i = 1; i <= nombre; ++i) {
        const std::shared_ptr<CRubrique>& rubrique = rubriques.at(i);
        std::vector<CiblePropagation> cibles;
        const std::shared_ptr<CLignesDependance> lignes = rubrique->LignesDependance();
        for (int32_t j = 1; j <= lignes->Count(); ++j) {
            const CLigneDependance& ligne = *lignes->at(j);
            // Only number targets take a change; a gone target takes none.
            std::shared_ptr<CRubrique> cible = ligne.RubriqueDep();
            if (!cible || cible->TypeRubrique() != EnumRubrType_Nombre) continue;
            cibles.push_back({cible.get(), static_cast<double>(ligne.Sens)});
            gardees_.push_back(std::move(cible));
        }
        rubriques_.push_back({rubrique, rubrique->PlanPropagation()});
        cibles_.push_back(std::move(cibles));
    }
    for (size_t i = 0; i < rubriques_.size(); ++i)
        rubriques_[i].rubrique->FixerPlanPropagation(&cibles_[i]);
}

PlansPropagation::~PlansPropagation() {
    for (auto& [rubrique, precedent] : rubriques_) rubrique->FixerPlanPropagation(precedent);
}

}  // namespace qx
