// The class the host drives to produce a VAT return: header data, the
// declarant records and payments it owns, and the connector to the
// transmission product. Creating one resets, for the whole calling thread,
// the current declaration type to "CA3" and the four instalments to 0.
// Properties read as vNom() and are written with SetvNom(...).
// Single-threaded: every call comes on the creating thread.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/error.h"
#include "platform/value.h"
#include "records/declarants.h"
#include "records/paiements.h"
#include "transmission/ardilo_interface.h"

namespace qx {

class CCalculTVA;

// One rubric of a stored declaration, as handed to the host.
struct TRubr {
    std::string Rubr_TypeDeclaration;
    std::string Rubr_Id;
    std::string Rubr_Intitule;
    double Rubr_Valeur = 0.0;

    bool operator==(const TRubr&) const = default;
};

class Cls_DeclarationTVA : public Object {
public:
    // Raises the product's error (429 when it is missing) when the connector
    // cannot be created or set up.
    Cls_DeclarationTVA();
    Cls_DeclarationTVA(const Cls_DeclarationTVA&) = delete;
    Cls_DeclarationTVA& operator=(const Cls_DeclarationTVA&) = delete;

    // ---- The host interface, in slot order ----
    // Conversion_Pivot, Generer_Declaration_TVA, GetMontantAPayer and
    // Init_Reglements live in source files of their own, beside the
    // private helpers they declare below.

    // Stored declaration → rubric records.
    bool Conversion_Pivot(const std::string& Chemin_Fichier_Pivot,
                          std::vector<TRubr>& Tableau_Rubriques);
    // Computes the return and hands it to the product.
    std::string Generer_Declaration_TVA(const std::string& Chemin_Fichier_Donnees,
                                        const std::string& Chemin_Fichier_Parametrage,
                                        const std::string& Chemin_Fichier_Resultat,
                                        std::string& Info_Retour);

    // 13 for a text that is no number, 6 outside -32768..32767; the old value stays.
    void SetvOpCoCode(const std::string& v);
    std::string vOpCoCode() const { return std::to_string(opCoCode_); }
    void SetvNumDossier(std::string v) { numDossier_ = std::move(v); }
    const std::string& vNumDossier() const { return numDossier_; }
    void SetvCommentaires(std::string v) { commentaires_ = std::move(v); }
    const std::string& vCommentaires() const { return commentaires_; }
    void SetvDescription(std::string v) { description_ = std::move(v); }
    const std::string& vDescription() const { return description_; }
    void SetvNomDebiteur(std::string v) { nomDebiteur_ = std::move(v); }
    const std::string& vNomDebiteur() const { return nomDebiteur_; }
    void SetvSIRET(std::string v) { siret_ = std::move(v); }
    const std::string& vSIRET() const { return siret_; }
    // Any value that converts to a date (13 otherwise, 6 outside years
    // 100..9999); the day is kept as its "dd/mm/yyyy" text.
    void SetvDate_Debut(const Value& v);
    void SetvDate_Fin(const Value& v);
    void SetvTestFile(bool v) { testFile_ = v; }
    std::shared_ptr<Cls_Emetteur> Obj_Emetteur() const { return emetteur_; }
    std::shared_ptr<Cls_Redacteur> Obj_Redacteur() const { return redacteur_; }
    std::shared_ptr<Cls_Redevable> Obj_Redevable() const { return redevable_; }
    std::shared_ptr<Connecteur> ArdiloDirect() const { return connecteur_; }
    void SetArdiloDirect(std::shared_ptr<Connecteur> connecteur) {
        connecteur_ = std::move(connecteur);
    }
    // Whether the product's VAT component can be created; never raises.
    bool Verif_Version_Compatible();
    std::string Get_VersionMin_ArdiloDirect() const { return "4.2.0.0"; }
    // The calling thread's declaration type, stored as given.
    void SetvTypeDeclaration(const std::string& v);
    std::string vTypeDeclaration() const;
    // Instalments 1 to 4 only; other numbers are ignored.
    void Acompte_Ajouter(int16_t NumAcompte, double MtPaye, double MtRestant);
    std::shared_ptr<Cls_Paiements> Obj_Paiements() const { return paiements_; }
    // Computes the return and asks the product for the amount to pay.
    Currency GetMontantAPayer(const std::string& Chemin_Fichier_Donnees,
                              const std::string& Chemin_Fichier_Parametrage);
    // Appends the payments of a stored declaration to Obj_Paiements.
    bool Init_Reglements(const std::string& CheminPivot);

private:
    // Read back by the tools and tests: declaration/declaration_interne.h.
    friend struct DeclarationInterne;

    // The header data handed to the transfer step.
    struct TParamTransmission {
        std::string Commentaires;
        std::string Description;
        int16_t OpCoCode = 0;
        bool TestFile = false;
        Date Date_Debut;
        Date Date_Fin;
        std::string SIRET;
        std::string NomDebiteur;
        std::string XmlDeclaration;
    };

    // An engine whose Init went through, or none; the failure of Init, when
    // there was one, is left in *erreur.
    std::shared_ptr<CCalculTVA> Creer_Calcul(const std::string& Chemin_Fichier_Donnees,
                                             const std::string& Chemin_Fichier_Parametrage,
                                             const std::string& Chemin_Fichier_Resultat,
                                             std::optional<Error>* erreur = nullptr);
    // The product's answer, or the empty text when nothing was transferred.
    std::string Transmettre_Declaration(const TParamTransmission& param);
    // Fills the product's declaration from the records, the period and the payments.
    void RemplirDeclaration(DeclarationEdi& declaration);

    // Copies the computed rubrics of one form ("CA3", "CA3A" or "CA12").
    void Transferer_Formulaire(CCalculTVA& calcul, DeclarationEdi& declaration,
                               const std::string& nomFormulaire);
    // True when a value was set on the form; never raises.
    bool Affecter_Rubrique(FormulaireEdi& formulaire, const std::string& code,
                           const std::string& texte, double nombre);
    void Transferer_Acomptes(const std::shared_ptr<FormulaireEdi>& formulaire);
    // Loads a stored declaration whose first line opens with three bytes to drop.
    bool Charger_Pivot(DeclarationEdi& declaration, const std::string& chemin);

    std::shared_ptr<Cls_Emetteur> emetteur_;
    std::shared_ptr<Cls_Redevable> redevable_;
    std::shared_ptr<Cls_Redacteur> redacteur_;
    std::shared_ptr<Cls_Paiements> paiements_;
    std::string commentaires_;
    std::string numDossier_;
    std::string description_;
    int16_t opCoCode_ = 0;
    std::string siret_;
    std::string nomDebiteur_;
    bool testFile_ = false;
    std::string dateDebut_;
    std::string dateFin_;
    std::shared_ptr<Connecteur> connecteur_;
};

// The product's form name of a form type code; empty for unknown codes.
std::string Nom_Formulaire(int32_t typeFormulaire);

// Re-serialises an XML text without its XML declaration, indented on
// request, behind a UTF-8 byte-order mark on request. Raises 5 for a text
// that is not well-formed XML.
std::string Indenter_XML(const std::string& texte, bool indenter, bool marqueOrdreOctets);

}  // namespace qx
