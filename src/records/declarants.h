// The three parties of a declaration: the emitter that sends it, the
// taxpayer whose VAT it declares and the preparer who drew it up. Plain
// records: every property stores what it is given, except the street
// number, which keeps its old value when given 9999 or more.
// Properties read as vNom() and are written with SetvNom(...).
// Single-threaded, like every object of the library.
#pragma once

#include <cstdint>
#include <string>

#include "platform/value.h"

namespace qx {

// Street numbers stop at 9998: larger ones are dropped without error.
inline constexpr int16_t kAdr_NumeroLimite = 9999;

class Cls_Emetteur : public Object {
public:
    const std::string& vCode() const { return code_; }
    void SetvCode(std::string v) { code_ = std::move(v); }
    const std::string& vNom() const { return nom_; }
    void SetvNom(std::string v) { nom_ = std::move(v); }
    const std::string& vEmail() const { return email_; }
    void SetvEmail(std::string v) { email_ = std::move(v); }
    const std::string& vSMS() const { return sms_; }
    void SetvSMS(std::string v) { sms_ = std::move(v); }
    const std::string& vCodeApplication() const { return codeApplication_; }
    void SetvCodeApplication(std::string v) { codeApplication_ = std::move(v); }
    const std::string& vNomApplication() const { return nomApplication_; }
    void SetvNomApplication(std::string v) { nomApplication_ = std::move(v); }
    const std::string& vVersionApplication() const { return versionApplication_; }
    void SetvVersionApplication(std::string v) { versionApplication_ = std::move(v); }

private:
    std::string code_;
    std::string nom_;
    std::string email_;
    std::string sms_;
    std::string codeApplication_;
    std::string nomApplication_;
    std::string versionApplication_;
};

// The postal address shared by the taxpayer and the preparer, in slot order:
// on both, these come last, after the distributing office (which each
// spells its own way, so that one stays with it).
class AdresseDeclarant : public Object {
public:
    const std::string& vAdr_Code_Etendu() const { return adrCodeEtendu_; }
    void SetvAdr_Code_Etendu(std::string v) { adrCodeEtendu_ = std::move(v); }
    const std::string& vAdr_Code_INSEE() const { return adrCodeInsee_; }
    void SetvAdr_Code_INSEE(std::string v) { adrCodeInsee_ = std::move(v); }
    const std::string& vAdr_CodePays() const { return adrCodePays_; }
    void SetvAdr_CodePays(std::string v) { adrCodePays_ = std::move(v); }
    const std::string& vAdr_CodePostal() const { return adrCodePostal_; }
    void SetvAdr_CodePostal(std::string v) { adrCodePostal_ = std::move(v); }
    const std::string& vAdr_Complement() const { return adrComplement_; }
    void SetvAdr_Complement(std::string v) { adrComplement_ = std::move(v); }
    const std::string& vAdr_Entree() const { return adrEntree_; }
    void SetvAdr_Entree(std::string v) { adrEntree_ = std::move(v); }
    int16_t vAdr_Numero() const { return adrNumero_; }
    // Kept only below 9999; negative numbers are kept.
    void SetvAdr_Numero(int16_t v);
    const std::string& vAdr_Pays() const { return adrPays_; }
    void SetvAdr_Pays(std::string v) { adrPays_ = std::move(v); }
    const std::string& vAdr_Ville() const { return adrVille_; }
    void SetvAdr_Ville(std::string v) { adrVille_ = std::move(v); }
    const std::string& vAdr_Voie() const { return adrVoie_; }
    void SetvAdr_Voie(std::string v) { adrVoie_ = std::move(v); }

private:
    int16_t adrNumero_ = 0;
    std::string adrEntree_;
    std::string adrVoie_;
    std::string adrComplement_;
    std::string adrCodePostal_;
    std::string adrVille_;
    std::string adrPays_;
    std::string adrCodePays_;
    std::string adrCodeEtendu_;
    std::string adrCodeInsee_;
};

class Cls_Redevable : public AdresseDeclarant {
public:
    // In slot order, then the address of AdresseDeclarant.
    const std::string& vFRP() const { return frp_; }
    void SetvFRP(std::string v) { frp_ = std::move(v); }
    const std::string& vSIRET() const { return siret_; }
    void SetvSIRET(std::string v) { siret_ = std::move(v); }
    const std::string& vOCFI() const { return ocfi_; }
    void SetvOCFI(std::string v) { ocfi_ = std::move(v); }
    const std::string& vTVAIntracom() const { return tvaIntracom_; }
    void SetvTVAIntracom(std::string v) { tvaIntracom_ = std::move(v); }
    const std::string& vNomSociete() const { return nomSociete_; }
    void SetvNomSociete(std::string v) { nomSociete_ = std::move(v); }
    const std::string& vRepresentant() const { return representant_; }
    void SetvRepresentant(std::string v) { representant_ = std::move(v); }
    const std::string& vFonction() const { return fonction_; }
    void SetvFonction(std::string v) { fonction_ = std::move(v); }
    const std::string& vTelephone() const { return telephone_; }
    void SetvTelephone(std::string v) { telephone_ = std::move(v); }
    const std::string& vEmail() const { return email_; }
    void SetvEmail(std::string v) { email_ = std::move(v); }
    const std::string& vDateRedressement() const { return dateRedressement_; }
    void SetvDateRedressement(std::string v) { dateRedressement_ = std::move(v); }
    const std::string& vAdr_BureauDistrib() const { return adrBureauDistrib_; }
    void SetvAdr_BureauDistrib(std::string v) { adrBureauDistrib_ = std::move(v); }

private:
    std::string frp_;
    std::string siret_;
    std::string ocfi_;
    std::string tvaIntracom_;
    std::string nomSociete_;
    std::string representant_;
    std::string fonction_;
    std::string adrBureauDistrib_;
    std::string telephone_;
    std::string email_;
    std::string dateRedressement_;
};

class Cls_Redacteur : public AdresseDeclarant {
public:
    // In slot order, then the address of AdresseDeclarant.
    const std::string& vNom() const { return nom_; }
    void SetvNom(std::string v) { nom_ = std::move(v); }
    const std::string& vSIRET() const { return siret_; }
    void SetvSIRET(std::string v) { siret_ = std::move(v); }
    const std::string& vEmail() const { return email_; }
    void SetvEmail(std::string v) { email_ = std::move(v); }
    const std::string& vTelephone() const { return telephone_; }
    void SetvTelephone(std::string v) { telephone_ = std::move(v); }
    const std::string& vSMS() const { return sms_; }
    void SetvSMS(std::string v) { sms_ = std::move(v); }
    // Spelled with an underscore on the preparer, without on the taxpayer.
    const std::string& vAdr_Bureau_Distrib() const { return adrBureauDistrib_; }
    void SetvAdr_Bureau_Distrib(std::string v) { adrBureauDistrib_ = std::move(v); }

private:
    std::string nom_;
    std::string siret_;
    std::string email_;
    std::string telephone_;
    std::string sms_;
    std::string adrBureauDistrib_;
};

}  // namespace qx
