#include "declaration/declaration_tva.h"

#include "engine/declaration_courante.h"
#include "engine/types_declaration.h"
#include "platform/error.h"
#include "transmission/ardilo_produit.h"

namespace qx {
namespace {

// Set-up texts the connector is given at creation.
constexpr const char* kArgumentsLancement = "launchArgs";
constexpr const char* kModuleTva = "EdiVat";
constexpr const char* kTypeParDefaut = "CA3";

std::string texteDate(const Value& v) {
    // Kept as the French short date: it reads back as the same day.
    return shortDateText(v.toDate());
}

}  // namespace

Cls_DeclarationTVA::Cls_DeclarationTVA() {
    emetteur_ = std::make_shared<Cls_Emetteur>();
    redacteur_ = std::make_shared<Cls_Redacteur>();
    redevable_ = std::make_shared<Cls_Redevable>();
    paiements_ = std::make_shared<Cls_Paiements>();

    SetArdiloDirect(CreerConnecteur());
    ArdiloDirect()->DefinirLancement(kArgumentsLancement);
    ArdiloDirect()->DefinirModule(kModuleTva);

    DefinirTypeDeclaration(kTypeParDefaut);
    TableAcomptes& acomptes = Acomptes();
    for (int i = 1; i <= 4; ++i) acomptes[static_cast<size_t>(i)] = TAcompte{};
}

void Cls_DeclarationTVA::SetvOpCoCode(const std::string& v) {
    opCoCode_ = Value(v).toInt16();
}

void Cls_DeclarationTVA::SetvDate_Debut(const Value& v) {
    dateDebut_ = texteDate(v);
}

void Cls_DeclarationTVA::SetvDate_Fin(const Value& v) {
    dateFin_ = texteDate(v);
}

bool Cls_DeclarationTVA::Verif_Version_Compatible() {
    try {
        // Created only to see that it can be; released at once.
        CreerObjetArdilo(kComposantTva);
        return true;
    } catch (...) {
        return false;
    }
}

void Cls_DeclarationTVA::SetvTypeDeclaration(const std::string& v) {
    DefinirTypeDeclaration(v);
}

std::string Cls_DeclarationTVA::vTypeDeclaration() const {
    return TypeDeclarationCourant();
}

void Cls_DeclarationTVA::Acompte_Ajouter(int16_t NumAcompte, double MtPaye, double MtRestant) {
    if (NumAcompte < 1 || NumAcompte > 4) return;
    Acomptes()[static_cast<size_t>(NumAcompte)] = TAcompte{MtPaye, MtRestant};
}

std::string Nom_Formulaire(int32_t typeFormulaire) {
    return std::string(NomDuCodeFormulaire(typeFormulaire));
}

}  // namespace qx
