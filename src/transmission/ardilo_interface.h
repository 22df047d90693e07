// The objects of the tele-declaration product "Ardilo direct" that the
// library fills and reads, reduced to the members it uses. The product
// behind them is reached through ardilo_produit.h.
// Every failure is a qx::Error: the product's own numbers and descriptions,
// 429 when an object cannot be created. Single-threaded.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/date.h"
#include "platform/value.h"

namespace qx {

class TransfertEdi;
class SectionEmetteur;
class SectionRedacteur;
class SectionRedevable;
class AdresseEdi;
class DepotEdi;
class PeriodeEdi;
class ReglementsEdi;
class ReglementEdi;
class PrelevementsEdi;
class PrelevementEdi;
class RibEdi;
class FormulairesEdi;
class FormulaireEdi;
class RubriquesEdi;
class RubriqueEdi;

// The link to the product's sending service.
class Connecteur : public Object {
public:
    // First set-up call: the arguments the service is launched with.
    virtual void DefinirLancement(const std::string& arguments) = 0;
    // Second set-up call: the service module to work with.
    virtual void DefinirModule(const std::string& module) = 0;
    // False when nothing can be transferred now.
    virtual bool EstPret() = 0;
    // A new transfer, or nothing.
    virtual std::shared_ptr<TransfertEdi> Transfert() = 0;
};

// One sending of a declaration with its header.
class TransfertEdi : public Object {
public:
    virtual void SetCommentaires(const std::string& v) = 0;
    virtual void SetDescription(const std::string& v) = 0;
    virtual void SetOpCoCode(int16_t v) = 0;
    virtual void SetTestFile(bool v) = 0;
    virtual void SetDateDebut(const std::string& v) = 0;  // a date's text
    virtual void SetDateFin(const std::string& v) = 0;    // a date's text
    virtual void SetSIRET(const std::string& v) = 0;
    virtual void SetNomDebiteur(const std::string& v) = 0;
    // Sends the declaration's XML; gives the product's answer for the user.
    virtual std::string Transferer(const std::string& xml) = 0;
};

class DeclarationEdi : public Object {
public:
    virtual void SetCommentaires(const std::string& v) = 0;
    virtual void SetNumDossier(const std::string& v) = 0;
    virtual std::shared_ptr<qx::SectionEmetteur> SectionEmetteur() = 0;
    virtual std::shared_ptr<qx::SectionRedacteur> SectionRedacteur() = 0;
    virtual std::shared_ptr<qx::DepotEdi> DepotEdi() = 0;
    virtual std::shared_ptr<qx::FormulairesEdi> FormulairesEdi() = 0;
    // Replaces the whole declaration by the one the text describes.
    virtual void ChargerDepuisXML(const std::string& xml) = 0;
    virtual std::string TexteXML() = 0;
    // The amount to pay of the forms filled so far.
    virtual double MontantAPayer() = 0;
};

class SectionEmetteur : public Object {
public:
    virtual void SetCodeApplication(const std::string& v) = 0;
    virtual void SetNomApplication(const std::string& v) = 0;
    virtual void SetVersionApplication(const std::string& v) = 0;
    virtual void SetNom(const std::string& v) = 0;
    virtual void SetEmail(const std::string& v) = 0;
    virtual void SetSMS(const std::string& v) = 0;
};

class SectionRedacteur : public Object {
public:
    virtual void SetNom(const std::string& v) = 0;
    virtual void SetSIRET(const std::string& v) = 0;
    virtual void SetEmail(const std::string& v) = 0;
    virtual void SetTelephone(const std::string& v) = 0;
    virtual std::shared_ptr<qx::AdresseEdi> AdresseEdi() = 0;
};

class AdresseEdi : public Object {
public:
    virtual void SetNumero(int16_t v) = 0;
    virtual void SetVoie(const std::string& v) = 0;
    virtual void SetComplement(const std::string& v) = 0;
    virtual void SetCodePostal(const std::string& v) = 0;
    virtual void SetVille(const std::string& v) = 0;
    virtual void SetCodePays(const std::string& v) = 0;
};

// The filing: taxpayer, period and payments.
class DepotEdi : public Object {
public:
    virtual std::shared_ptr<qx::SectionRedevable> SectionRedevable() = 0;
    virtual std::shared_ptr<qx::PeriodeEdi> PeriodeEdi() = 0;
    virtual std::shared_ptr<qx::ReglementsEdi> ReglementsEdi() = 0;
};

class SectionRedevable : public Object {
public:
    virtual void SetFRP(const std::string& v) = 0;
    virtual void SetSIRET(const std::string& v) = 0;
    virtual void SetOCFI(const std::string& v) = 0;
    virtual void SetTVAIntracom(const std::string& v) = 0;
    virtual void SetNomSociete(const std::string& v) = 0;
    virtual void SetRepresentant(const std::string& v) = 0;
    virtual void SetFonction(const std::string& v) = 0;
    virtual void SetTelephone(const std::string& v) = 0;
    virtual void SetEmail(const std::string& v) = 0;
    virtual std::shared_ptr<qx::AdresseEdi> AdresseEdi() = 0;
};

class PeriodeEdi : public Object {
public:
    virtual void SetDateDebut(Date v) = 0;
    virtual void SetDateFin(Date v) = 0;
};

// Positions run from 1 to Count; Ajouter appends a new, empty payment.
class ReglementsEdi : public Object {
public:
    virtual int32_t Count() = 0;
    virtual std::shared_ptr<ReglementEdi> Item(int32_t position) = 0;
    virtual std::shared_ptr<ReglementEdi> Ajouter() = 0;
};

class ReglementEdi : public Object {
public:
    virtual int32_t Mode() = 0;
    virtual void SetMode(int32_t v) = 0;
    virtual int16_t NbVirement() = 0;
    virtual void SetNbVirement(int16_t v) = 0;
    virtual std::string Reference() = 0;
    virtual std::shared_ptr<qx::PrelevementsEdi> PrelevementsEdi() = 0;
};

// Positions run from 1 to Count; Ajouter appends a new, empty debit.
class PrelevementsEdi : public Object {
public:
    virtual int32_t Count() = 0;
    virtual std::shared_ptr<PrelevementEdi> Item(int32_t position) = 0;
    virtual std::shared_ptr<PrelevementEdi> Ajouter() = 0;
};

class PrelevementEdi : public Object {
public:
    virtual double Montant() = 0;
    virtual void SetMontant(double v) = 0;
    virtual std::string Reference() = 0;
    virtual std::shared_ptr<qx::RibEdi> RibEdi() = 0;
};

class RibEdi : public Object {
public:
    virtual std::string Banque() = 0;
    virtual void SetBanque(const std::string& v) = 0;
    virtual std::string Guichet() = 0;
    virtual void SetGuichet(const std::string& v) = 0;
    virtual std::string Compte() = 0;
    virtual void SetCompte(const std::string& v) = 0;
    virtual std::string Cle() = 0;
    virtual void SetCle(const std::string& v) = 0;
    virtual std::string Titulaire() = 0;
    virtual void SetTitulaire(const std::string& v) = 0;
    virtual std::string Complement() = 0;
    virtual void SetComplement(const std::string& v) = 0;
    virtual std::string IBAN() = 0;
    virtual void SetIBAN(const std::string& v) = 0;
    virtual std::string BIC() = 0;
    virtual void SetBIC(const std::string& v) = 0;
};

class FormulairesEdi : public Object {
public:
    virtual int32_t Count() = 0;
    virtual std::shared_ptr<FormulaireEdi> Item(int32_t position) = 0;
    // The form of a type code, added on first request.
    virtual std::shared_ptr<FormulaireEdi> Formulaire(int16_t typeFormulaire) = 0;
};

class FormulaireEdi : public Object {
public:
    virtual int32_t FormType() = 0;
    virtual std::shared_ptr<qx::RubriquesEdi> RubriquesEdi() = 0;
};

// The boxes a form holds, in the order they were first asked for.
class RubriquesEdi : public Object {
public:
    virtual int32_t Count() = 0;
    virtual std::shared_ptr<RubriqueEdi> Item(int32_t position) = 0;
    // The box of a code, added on first request; nothing or an error when
    // the form has no such box.
    virtual std::shared_ptr<RubriqueEdi> Rubrique(const std::string& code) = 0;
};

class RubriqueEdi : public Object {
public:
    virtual std::string Code() = 0;
    virtual std::string Intitule() = 0;
    virtual double Valeur() = 0;
    virtual void SetValeur(double v) = 0;
    virtual void SetTexte(const std::string& v) = 0;
};

// Class names of the product's objects the library creates.
inline constexpr std::string_view kClasseDeclarationEdi = "Qx_Ardilodirect.DeclarationEdi";
inline constexpr std::string_view kClasseConnecteur = "Qx_Ardilodirect.Connecteur";
// The product's VAT component: its presence tells whether the product can be used.
inline constexpr std::string_view kComposantTva = "ArdiloEdi.Tva.11";

// A product: the factory of its objects.
class ProduitArdilo {
public:
    virtual ~ProduitArdilo() = default;
    // A new object of the class; raises 429 when the class is not available.
    virtual ObjectRef CreerObjet(std::string_view classe) = 0;
};

}  // namespace qx
