// One computation of a VAT return: loads the parameter file into its
// rubrics, adds the amounts of the accounting data file, rounds, runs the
// coherence checks and, on request, writes the result file.
// Create it with CCalculTVA::Creer (rubrics keep a non-owning back reference).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "engine/rubriques.h"
#include "platform/xml_scanner.h"
#include "rubrics/rubric_engine.h"

namespace qx {

// Engine error numbers and their messages.
namespace err {
inline constexpr int32_t ErrCalcul_Init = hresult(0x80040201);
inline constexpr int32_t ErrCalcul_FichierDonnees = hresult(0x80040202);
inline constexpr int32_t ErrCalcul_FichierRubriques = hresult(0x80040203);
inline constexpr int32_t ErrCalcul_CheminResultat = hresult(0x80040204);
inline constexpr int32_t ErrCalcul_ChargementResultat = hresult(0x80040205);
inline constexpr int32_t ErrCalcul_DocumentXML = hresult(0x80040206);
}  // namespace err

class CCalculTVA : public RubricEngine, public std::enable_shared_from_this<CCalculTVA> {
public:
    static std::shared_ptr<CCalculTVA> Creer();

    // Public members, in the order hosts see them.
    std::shared_ptr<CRubriques> Rubriques();
    bool Archive();
    bool Init(const std::string& FichierDonneeTVA, const std::string& FichierRubriqueTVA,
              const std::string& FichierResultTVA);
    bool Reloaded() const { return false; }

    // Library side.
    bool CalculTermine() const override { return calculTermine_; }
    const std::string& FichierDonneeTVA() const { return fichierDonnee_; }
    const std::string& FichierRubriqueTVA() const { return fichierRubrique_; }
    const std::string& FichierResultTVA() const { return fichierResultat_; }
    // Reports the bytes read during the data pass (for a progress display).
    void SetProgression(XmlScanner::Progress progress) { progression_ = std::move(progress); }

private:
    CCalculTVA() = default;
    void CalculerRubriques();

    std::shared_ptr<CRubriques> rubriques_;
    std::string fichierDonnee_;
    std::string fichierRubrique_;
    std::string fichierResultat_;
    bool calculTermine_ = false;
    XmlScanner::Progress progression_;
};

// Module functions of the engine.
bool FichierExiste(const std::string& chemin);
std::string MessageErreur(int32_t numero);
[[noreturn]] void LeverErreur(int32_t numero, const std::string& description);

}  // namespace qx
