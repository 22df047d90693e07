// The library side of the rubric model: what the parameter loader, the
// engine and the data pass do with rubrics and lines, and hosts never see.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "rubrics/lignes.h"
#include "rubrics/rubrique.h"

namespace qx {

// A dependency line's target as a data pass reads it, once, at its start.
struct CiblePropagation {
    CRubrique* cible;
    double sens;
};

struct RubriqueInterne {
    static EnumRubriqueType TypeRubrique(const CRubrique& r) { return r.type_; }
    static void SetCalculTVA(CRubrique& r, const std::shared_ptr<RubricEngine>& engine) {
        r.engine_ = engine;
        r.engineDirect_ = engine.get();
    }
    // Loads from a "RUBRIQUE" element; false when no element is given.
    static bool ChargerXML(CRubrique& r, std::string_view codeImprime, const XmlElement& element) {
        return r.ChargerXML(codeImprime, element);
    }
    // Adds an amount to a number rubric through the value setter; ignored by other types.
    static void AjouterValeur(CRubrique& r, double montant) { r.AjouterValeur(montant); }

    // During a data pass, the number targets of the dependency lines, in
    // line order, stand in for the lines: millions of changes then walk one
    // small array. The pass owns it and puts back the previous one (none
    // outside a pass) when it ends.
    static const std::vector<CiblePropagation>* PlanPropagation(const CRubrique& r) {
        return r.plan_;
    }
    static void FixerPlanPropagation(CRubrique& r, const std::vector<CiblePropagation>* plan) {
        r.plan_ = plan;
    }

    // Lines are appended by the loader only (there is no public Add).
    template <class Line>
    static void Ajouter(CLignes<Line>& lignes, std::shared_ptr<Line> ligne) {
        lignes.lignes_.add(std::move(ligne));
    }
    // Position 1..Count, unchecked.
    template <class Line>
    static const std::shared_ptr<Line>& Ligne(const CLignes<Line>& lignes, int32_t position) {
        return lignes.lignes_.at(position);
    }
    // One line per direct child "LIGNE" of the rubric element, in document order.
    static void ChargerLignes(CLignesRubrique& lignes, const XmlElement& rubrique) {
        lignes.ChargerLignes(rubrique);
    }
    // One line per direct child "DEPENDANCE", in document order, without target.
    static void ChargerLignes(CLignesDependance& lignes, const XmlElement& rubrique) {
        lignes.ChargerLignes(rubrique);
    }
    // For the propagation, which runs millions of times: the target without
    // taking a reference. Objects live on one thread, so a target that has
    // not expired stays alive for the whole call.
    static CRubrique* CibleDirecte(const CLigneDependance& ligne) {
        return ligne.cible_.expired() ? nullptr : ligne.cibleDirecte_;
    }
};

}  // namespace qx
