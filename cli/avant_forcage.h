// The value of every rubric just before the coherence checks, the last step
// of a computation and the only one that forces values: for a forced
// rubric, its value before forcing, whether the check forced it or passed
// the change on to it. Attach before Init; it only reads.
#pragma once

#include <string>
#include <vector>

#include "engine/observateur_calcul.h"

namespace qxtva {

class ValeursAvantForcage : public qx::ObservateurCalcul {
public:
    // The exchange text of the rubric at that position (from 1) before the
    // checks; empty when the computation did not get that far.
    std::string avant(int32_t position) const;
    // The same by rubric key, in any case.
    std::string avant(std::string_view cle) const;

    void apres(Etape etape, const qx::CCalculTVA& calcul, const qx::CRubriques& rubriques) override;
    void credit(const qx::CRubrique&, std::string_view, double) override {}
    void controle(const qx::CRubrique&, double, const qx::CRubrique&, double, double, double,
                  bool) override {}

private:
    struct Valeur {
        std::string cle;  // folded
        std::string texte;
    };
    std::vector<Valeur> valeurs_;  // by position - 1
};

}  // namespace qxtva
