#include "engine/calcul_tva.h"

#include "checks/controle_tva.h"
#include "engine/calcul_interne.h"
#include "engine/correspondances.h"
#include "engine/observateur_calcul.h"
#include "platform/files.h"

namespace qx {

std::shared_ptr<CCalculTVA> CCalculTVA::Creer() {
    return std::shared_ptr<CCalculTVA>(new CCalculTVA());
}

std::shared_ptr<CRubriques> CCalculTVA::Rubriques() {
    if (!rubriques_) {
        rubriques_ = std::make_shared<CRubriques>();
        CalculInterne::SetCalculTVA(*rubriques_, shared_from_this());
    }
    return rubriques_;
}

bool CCalculTVA::Init(const std::string& FichierDonneeTVA, const std::string& FichierRubriqueTVA,
                      const std::string& FichierResultTVA) {
    if (!FichierExiste(FichierRubriqueTVA)) LeverErreur(err::ErrCalcul_FichierRubriques, "");
    if (!FichierExiste(FichierDonneeTVA)) LeverErreur(err::ErrCalcul_FichierDonnees, "");

    fichierDonnee_ = FichierDonneeTVA;
    fichierRubrique_ = FichierRubriqueTVA;
    fichierResultat_ = FichierResultTVA;

    rubriques_.reset();
    CalculInterne::ChargerFichier(*Rubriques(), fichierRubrique_);
    if (observateur_) observateur_->apres(ObservateurCalcul::Etape::Chargement, *this, *rubriques_);
    CalculerRubriques();

    CorrigerCoherence(shared_from_this());
    if (observateur_) observateur_->apres(ObservateurCalcul::Etape::Controles, *this, *rubriques_);
    return true;
}

bool FichierExiste(const std::string& chemin) {
    return isFile(chemin);
}

// The engine's message of its own numbers; empty for every other number.
std::string MessageErreur(int32_t numero) {
    return isEngineNumber(numero) ? std::string(errorDescription(numero)) : std::string();
}

void LeverErreur(int32_t numero, const std::string& description) {
    throw Error(numero, description.empty() ? MessageErreur(numero) : description);
}

}  // namespace qx
