// The dependency targets of every rubric of a collection, read once and
// handed to the rubrics for the time of a data pass: millions of changes
// then walk small arrays instead of visiting line objects. A change of the
// dependency lines while the plans are in place is not seen. The plans keep
// every rubric they name alive, and give each rubric back the plan it had
// before when they go.
#pragma once

#include <memory>
#include <vector>

#include "engine/rubriques.h"

namespace qx {

class PlansPropagation {
public:
    explicit PlansPropagation(const CRubriques& rubriques);
    ~PlansPropagation();
    PlansPropagation(const PlansPropagation&) = delete;
    PlansPropagation& operator=(const PlansPropagation&) = delete;

private:
    struct Planifiee {
        std::shared_ptr<CRubrique> rubrique;
        const std::vector<CiblePropagation>* precedent;
    };
    std::vector<Planifiee> rubriques_;
    std::vector<std::vector<CiblePropagation>> cibles_;  // one per rubric, same order
    std::vector<std::shared_ptr<CRubrique>> gardees_;    // the targets
};

}  // namespace qx
