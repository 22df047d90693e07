// The library side of the engine and its rubric collection: what the
// loader, the data pass, the checks and the tools use, and hosts never see.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "engine/calcul_tva.h"
#include "engine/rubriques.h"

namespace qx {

struct CalculInterne {
    static bool CalculTermine(const CCalculTVA& c) { return c.calculTermine_; }
    // The paths given to Init, once both files were found.
    static const std::string& FichierRubriqueTVA(const CCalculTVA& c) { return c.fichierRubrique_; }
    static const std::string& FichierDonneeTVA(const CCalculTVA& c) { return c.fichierDonnee_; }
    // Follows the next computations step by step (none: not followed). The
    // follower must outlive them.
    static void SetObservateur(CCalculTVA& c, ObservateurCalcul* observateur) {
        c.observateur_ = observateur;
    }
    static ObservateurCalcul* Observateur(const CCalculTVA& c) { return c.observateur_; }
    // Reports the bytes read during the data pass (for a progress display).
    static void SetProgression(CCalculTVA& c, XmlScanner::Progress progress) {
        c.progression_ = std::move(progress);
    }
    // Off by default: with two cores or more the data pass makes its
    // additions on a second thread. On, the whole pass runs on the calling
    // thread (same results), for a caller whose progress handler, or whose
    // objects the additions reach, must not be touched from another thread.
    static void SetPasseSurFilAppelant(CCalculTVA& c, bool oui) { c.passeSurFilAppelant_ = oui; }

    // Loads the parameter file; failures are raised with their numbers.
    static void ChargerFichier(CRubriques& r, const std::string& chemin) {
        r.ChargerFichier(chemin);
    }
    static void SetCalculTVA(CRubriques& r, const std::shared_ptr<CCalculTVA>& engine) {
        r.engine_ = engine;
    }
    // Position 1..Count, unchecked.
    static const std::shared_ptr<CRubrique>& Rubrique(const CRubriques& r, int32_t position) {
        return r.rubriques_.at(position);
    }
};

}  // namespace qx
