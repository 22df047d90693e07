#include "tableau.h"

#include "engine/calcul_interne.h"
#include "intitules.h"

namespace qxtva {

std::vector<CaseFormulaire> casesCalculees(const qx::CRubriques& rubriques,
                                           const ValeursAvantForcage* avant) {
    std::vector<CaseFormulaire> cases;
    for (int32_t i = 1; i <= rubriques.Count(); ++i) {
        const auto& rubrique = qx::CalculInterne::Rubrique(rubriques, i);
        if (!rubrique) continue;
        CaseFormulaire c{rubrique->CodeImprime(),     rubrique->CodeRubrique(),
                         intituleRubrique(*rubrique), rubrique->AsXML(),
                         rubrique->IsForce(),         ""};
        if (c.forcee && avant) c.avant = avant->avant(i);
        cases.push_back(std::move(c));
    }
    return cases;
}

}  // namespace qxtva
