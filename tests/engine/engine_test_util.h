// Helpers of the engine and checks tests, over the shared ones: engines built
// from inline XML and a one-line summary of rubrics.
#pragma once

#include <gtest/gtest.h>

#include "engine/calcul_interne.h"
#include "engine/calcul_tva.h"
#include "support/outils.h"

namespace qx::test {

inline std::string chemin(const DossierTemporaire& d, const std::string& nom) {
    return (d / nom).string();
}

// An engine whose collection was loaded from a parameter text (no data pass).
inline std::shared_ptr<CCalculTVA> charger(const DossierTemporaire& d, const std::string& xml) {
    auto moteur = CCalculTVA::Creer();
    CalculInterne::ChargerFichier(*moteur->Rubriques(), d.ecrire("p.xml", xml));
    return moteur;
}

// "KEY=exchange text" for every rubric in order, "*" after a forced one.
inline std::string resume(const CRubriques& rubriques) {
    std::string out;
    for (const auto& r : rubriques.NewEnum())
        out += (out.empty() ? "" : " ") + r->KeyRubrique() + "=" + r->AsXML() +
               (r->IsForce() ? "*" : "");
    return out;
}

}  // namespace qx::test
