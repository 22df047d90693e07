#include "engine/plans_propagation.h"
#include "engine/calcul_interne.h"
#include "rubrics/rubrique_interne.h"

namespace qx {

PlansPropagation::PlansPropagation(const CRubriques& rubriques) {
    const int32_t nombre = rubriques.Count();
    rubriques_.reserve(static_cast<size_t>(nombre));
    cibles_.reserve(static_cast<size_t>(nombre));
    for (int32_t i = 1; i <= nombre; ++i) {
        const std::shared_ptr<CRubrique>& rubrique = CalculInterne::Rubrique(rubriques, i);
        std::vector<CiblePropagation> cibles;
        const std::shared_ptr<CLignesDependance> lignes = rubrique->LignesDependance();
        for (int32_t j = 1; j <= lignes->Count(); ++j) {
            const CLigneDependance& ligne = *RubriqueInterne::Ligne(*lignes, j);
            // Only number targets take a change; a gone target takes none.
            std::shared_ptr<CRubrique> cible = ligne.RubriqueDep();
            if (!cible || RubriqueInterne::TypeRubrique(*cible) != EnumRubrType_Nombre) continue;
            cibles.push_back({cible.get(), static_cast<double>(ligne.Sens)});
            gardees_.push_back(std::move(cible));
        }
        rubriques_.push_back({rubrique, RubriqueInterne::PlanPropagation(*rubrique)});
        cibles_.push_back(std::move(cibles));
    }
    for (size_t i = 0; i < rubriques_.size(); ++i)
        RubriqueInterne::FixerPlanPropagation(*rubriques_[i].rubrique, &cibles_[i]);
}

PlansPropagation::~PlansPropagation() {
    for (auto& [rubrique, precedent] : rubriques_)
        RubriqueInterne::FixerPlanPropagation(*rubrique, precedent);
}

}  // namespace qx
