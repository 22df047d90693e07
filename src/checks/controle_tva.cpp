#include "checks/controle_tva.h"

#include <array>
#include <cmath>
#include <new>

#include "engine/calcul_interne.h"
#include "engine/calcul_tva.h"
#include "engine/declaration_courante.h"
#include "engine/observateur_calcul.h"
#include "engine/types_declaration.h"
#include "rubrics/conventions.h"

namespace qx {
namespace {

struct LigneControle {
    const char* base;
    const char* taxe;
    double taux;
    const char* message;
};

// The normal and intermediate rates are checked at 20% and 10%; the
// messages keep the wording users know from earlier returns.
constexpr std::array<LigneControle, 5> kLignesCA3{{
    {"CA3FP", "CA3GP", 0.2, "Incohérence arithmétique entre base et taxe due à 19,6%"},
    {"CA3FB", "CA3GB", 0.055, "Incohérence arithmétique entre base et taxe due à 5,5%"},
    {"CA3FR", "CA3GR", 0.1, "Incohérence arithmétique entre base et taxe due à 7,0%"},
    {"CA3FM", "CA3GM", 0.085, "Incohérence arithmétique entre base et taxe due à 8,5%"},
    {"CA3FN", "CA3GN", 0.021, "Incohérence arithmétique entre base et taxe due à 2,1%"},
}};

constexpr std::array<LigneControle, 5> kLignesCA12{{
    {"CA12EW", "CA12FW", 0.2, "Incohérence arithmétique entre base et taxe due à 19,6%"},
    {"CA12EF", "CA12FF", 0.055, "Incohérence arithmétique entre base et taxe due à 5,5%"},
    {"CA12GF", "CA12GH", 0.1, "Incohérence arithmétique entre base et taxe due à 7,0%"},
    {"CA12EU", "CA12FU", 0.085, "Incohérence arithmétique entre base et taxe due à 8,5%"},
    {"CA12EV", "CA12FV", 0.021, "Incohérence arithmétique entre base et taxe due à 2,1%"},
}};

// A small gap (under 100 and at most one per mille of the computed tax) is
// an arithmetic slip: the tax rubric is forced to the computed tax.
bool CorrigerTaxeDue(double base, double taxe, double taux, CRubrique& rubriqueTaxe) {
    const double calcule = ArrondiEntier(base * taux);
    const double ecart = std::fabs(calcule - taxe);
    if (!(ecart < 100 && calcule * 0.001 >= ecart)) return false;
    rubriqueTaxe.ForceValeur(Value(calcule));
    return true;
}

// The check itself; raises what it meets.
bool controler(const std::shared_ptr<CCalculTVA>& oCalcul, std::string& sMessage, bool bCorriger) {
    const std::string& type = TypeDeclarationCourant();
    const LigneControle* lignes = nullptr;
    if (type == "CA3")
        lignes = kLignesCA3.data();
    else if (UtiliseFormulaireCA12(type))
        lignes = kLignesCA12.data();

    if (lignes) {
        if (!oCalcul) throw Error::runtime(err::ObjetNonDefini);
        std::shared_ptr<CRubriques> rubriques = oCalcul->Rubriques();
        for (size_t i = 0; i < kLignesCA3.size(); ++i) {
            const LigneControle& ligne = lignes[i];
            const bool baseExiste = rubriques->IsKeyExist(ligne.base);
            const bool taxeExiste = rubriques->IsKeyExist(ligne.taxe);
            if (!baseExiste || !taxeExiste) continue;
            std::shared_ptr<CRubrique> rubriqueTaxe = rubriques->Item(Value(ligne.taxe));
            const double base = rubriques->Item(Value(ligne.base))->AsDouble();
            const double taxe = rubriqueTaxe->AsDouble();
            if (base == 0 && taxe == 0) continue;
            if (ArrondiEntier(base * ligne.taux) == taxe) continue;
            sMessage = ligne.message;
            if (!bCorriger) return false;
            const bool corrige = CorrigerTaxeDue(base, taxe, ligne.taux, *rubriqueTaxe);
            if (ObservateurCalcul* observateur = CalculInterne::Observateur(*oCalcul))
                observateur->controle(*rubriques->Item(Value(ligne.base)), base, *rubriqueTaxe,
                                      taxe, ligne.taux, ArrondiEntier(base * ligne.taux), corrige);
        }
    }
    if (bCorriger) sMessage.clear();
    return true;
}

}  // namespace

bool ControlerCoherence(const std::shared_ptr<CCalculTVA>& oCalcul, std::string& sMessage,
                        bool bCorriger) {
    try {
        return controler(oCalcul, sMessage, bCorriger);
    } catch (const Error& e) {
        sMessage = std::to_string(e.number()) + ", " + e.description();
    } catch (const std::bad_alloc&) {
        const Error e = Error::fromCurrentException();
        sMessage = std::to_string(e.number()) + ", " + e.description();
    } catch (const std::exception& e) {
        sMessage = std::to_string(err::AppelIncorrect) + ", " + e.what();
    }
    return false;
}

void CorrigerCoherence(const std::shared_ptr<CCalculTVA>& oCalcul) {
    std::string message;
    try {
        controler(oCalcul, message, true);
    } catch (...) {
        Error::rethrowIfOutOfMemory();
    }
}

}  // namespace qx
