// One computation of a VAT return: loads the parameter file into its
// rubrics, adds the amounts of the accounting data file, rounds, runs the
// coherence checks and, on request, writes the result file.
// Create it with CCalculTVA::Creer (rubrics keep a non-owning back reference).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "engine/rubriques.h"
#include "platform/xml_scanner.h"
#include "rubrics/rubric_engine.h"

namespace qx {

class ObservateurCalcul;

class CCalculTVA : public RubricEngine, public std::enable_shared_from_this<CCalculTVA> {
public:
    static std::shared_ptr<CCalculTVA> Creer();

    // The host interface, in slot order.
    std::shared_ptr<CRubriques> Rubriques();
    bool Archive();
    bool Init(const std::string& FichierDonneeTVA, const std::string& FichierRubriqueTVA,
              const std::string& FichierResultTVA);
    bool Reloaded() const { return false; }

private:
    // The library side (loader, data pass, checks, tools): engine/calcul_interne.h.
    friend struct CalculInterne;
    class Evenements;
    struct Passe;

    CCalculTVA() = default;
    bool CalculTermine() const override { return calculTermine_; }
    // The data pass: scans the data file, adds the instalments, rounds twice
    // and sets CalculTermine. A failure ends it at once, without rounding.
    void CalculerRubriques();
    void TraiterElement(std::string_view nom, const XmlScanner& scanner);
    void TraiterParams(std::string_view nom, const XmlScanner& scanner);
    void TraiterLigne(const XmlScanner& scanner);

    std::shared_ptr<CRubriques> rubriques_;
    // The data pass under way (owned by it).
    Passe* passe_ = nullptr;
    std::string fichierDonnee_;
    std::string fichierRubrique_;
    std::string fichierResultat_;
    bool calculTermine_ = false;
    bool passeSurFilAppelant_ = false;
    ObservateurCalcul* observateur_ = nullptr;
    XmlScanner::Progress progression_;
};

// Module functions of the engine.
bool FichierExiste(const std::string& chemin);
std::string MessageErreur(int32_t numero);
[[noreturn]] void LeverErreur(int32_t numero, const std::string& description);

// Adds the four CA12 instalments (amount paid, amount remaining) of the
// calling thread into their month rubrics.
void AjouterAcomptes(const CRubriques& rubriques);
// Adds the amount to every rubric of that form code and rubric code (exact
// comparisons); true when at least one rubric received it.
bool AjouterMontantRubrique(const CRubriques& rubriques, std::string_view codeImprime,
                            std::string_view codeRubrique, double montant);

}  // namespace qx
