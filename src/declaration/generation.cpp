// The host's main call: fills the product's declaration from the records,
// computes the return, copies its forms, and hands the indented XML with
// the header data to the product's transfer.
#include <optional>

#include "declaration/declaration_tva.h"
#include "engine/calcul_tva.h"
#include "engine/declaration_courante.h"
#include "platform/date.h"
#include "platform/message_box.h"
#include "platform/xml_document.h"
#include "transmission/ardilo_produit.h"

namespace qx {
namespace {

constexpr const char* kSautDouble = "\r\n\r\n";

constexpr const char* kMessageCalcul =
    "Une erreur s'est produite lors du calcul des rubriques de la déclaration.";
constexpr const char* kMessageVersion =
    "Votre installation de Ardilo direct n'est pas suffisamment récente pour être compatible "
    "avec notre application.";
constexpr const char* kMessageInstaller =
    "Veuillez installer la dernière version de Ardilo direct pour résoudre le problème.";
constexpr const char* kMessageGeneration =
    "Une erreur s'est produite lors de la tentative de génération de la déclaration dans Ardilo "
    "direct.";
constexpr const char* kMessageTransfert =
    "Transfert vers Ardilo direct de la déclaration de TVA (QLVX)";

std::string messageGeneration(const Error& e) {
    if (e.number() == err::CreationObjet)
        return std::string(kMessageVersion) + kSautDouble + kMessageInstaller;
    return std::string(kMessageGeneration) + kSautDouble +
           "Code de l'erreur : " + std::to_string(e.number()) + kSautDouble +
           "Description de l'erreur : " + e.description();
}

// The stored "dd/mm/yyyy" text back as a date; 13 when it holds none.
Date dateDuTexte(const std::string& texte) {
    std::optional<Date> date = parseDateText(texte);
    if (!date) throw Error::runtime(err::TypeIncompatible);
    return *date;
}

void remplirAdresse(AdresseEdi& adresse, const AdresseDeclarant& r) {
    adresse.SetNumero(r.vAdr_Numero());
    adresse.SetVoie(r.vAdr_Voie());
    adresse.SetComplement(r.vAdr_Complement());
    adresse.SetCodePostal(r.vAdr_CodePostal());
    adresse.SetVille(r.vAdr_Ville());
    if (!r.vAdr_CodePays().empty()) adresse.SetCodePays(r.vAdr_CodePays());
}

void remplirReglements(ReglementsEdi& reglements, const Cls_Paiements& paiements) {
    for (const std::shared_ptr<Cls_Paiement>& paiement : paiements.NewEnum()) {
        std::shared_ptr<ReglementEdi> reglement = reglements.Ajouter();
        reglement->SetMode(static_cast<int32_t>(paiement->vMode()));
        reglement->SetNbVirement(paiement->vNbVirement());
        // Reading the debits must not create them on the host's record.
        const std::shared_ptr<Cls_Prelevements>& prelevements = PrelevementsExistants(*paiement);
        if (!prelevements || prelevements->Count() == 0) continue;
        std::shared_ptr<PrelevementsEdi> prelevementsEdi = reglement->PrelevementsEdi();
        for (const std::shared_ptr<Cls_Prelevement>& prelevement : prelevements->NewEnum()) {
            std::shared_ptr<PrelevementEdi> prelevementEdi = prelevementsEdi->Ajouter();
            prelevementEdi->SetMontant(prelevement->vMontant());
            std::shared_ptr<Cls_Rib> rib = prelevement->Cls_Rib();
            if (!rib) throw Error::runtime(err::ObjetNonDefini);
            std::shared_ptr<RibEdi> ribEdi = prelevementEdi->RibEdi();
            ribEdi->SetBanque(rib->vBanque());
            ribEdi->SetBIC(rib->vBIC());
            ribEdi->SetCle(rib->vCle());
            ribEdi->SetComplement(rib->vComplement());
            ribEdi->SetCompte(rib->vCompte());
            ribEdi->SetGuichet(rib->vGuichet());
            ribEdi->SetIBAN(rib->vIBAN());
            ribEdi->SetTitulaire(rib->vTitulaire());
        }
    }
}

}  // namespace

void Cls_DeclarationTVA::RemplirDeclaration(DeclarationEdi& declaration) {
    declaration.SetCommentaires(vCommentaires());
    if (!vNumDossier().empty()) declaration.SetNumDossier(vNumDossier());

    std::shared_ptr<SectionEmetteur> emetteur = declaration.SectionEmetteur();
    emetteur->SetNom(emetteur_->vNom());
    emetteur->SetEmail(emetteur_->vEmail());
    emetteur->SetSMS(emetteur_->vSMS());
    emetteur->SetCodeApplication(emetteur_->vCodeApplication());
    emetteur->SetNomApplication(emetteur_->vNomApplication());
    emetteur->SetVersionApplication(emetteur_->vVersionApplication());

    std::shared_ptr<SectionRedacteur> redacteur = declaration.SectionRedacteur();
    redacteur->SetNom(redacteur_->vNom());
    redacteur->SetSIRET(redacteur_->vSIRET());
    redacteur->SetEmail(redacteur_->vEmail());
    redacteur->SetTelephone(redacteur_->vTelephone());
    remplirAdresse(*redacteur->AdresseEdi(), *redacteur_);

    std::shared_ptr<DepotEdi> depot = declaration.DepotEdi();
    std::shared_ptr<SectionRedevable> redevable = depot->SectionRedevable();
    redevable->SetFRP(redevable_->vFRP());
    redevable->SetSIRET(redevable_->vSIRET());
    if (!redevable_->vOCFI().empty()) redevable->SetOCFI(redevable_->vOCFI());
    redevable->SetTVAIntracom(redevable_->vTVAIntracom());
    redevable->SetNomSociete(redevable_->vNomSociete());
    if (!redevable_->vRepresentant().empty())
        redevable->SetRepresentant(redevable_->vRepresentant());
    if (!redevable_->vFonction().empty()) redevable->SetFonction(redevable_->vFonction());
    remplirAdresse(*redevable->AdresseEdi(), *redevable_);
    redevable->SetTelephone(redevable_->vTelephone());
    redevable->SetEmail(redevable_->vEmail());

    std::shared_ptr<PeriodeEdi> periode = depot->PeriodeEdi();
    periode->SetDateDebut(dateDuTexte(dateDebut_));
    periode->SetDateFin(dateDuTexte(dateFin_));

    if (paiements_->Count() > 0) remplirReglements(*depot->ReglementsEdi(), *paiements_);
}

std::string Cls_DeclarationTVA::Generer_Declaration_TVA(
    const std::string& Chemin_Fichier_Donnees, const std::string& Chemin_Fichier_Parametrage,
    const std::string& Chemin_Fichier_Resultat, std::string& Info_Retour) {
    // Every object made here is held by a local: whatever way the call ends,
    // they go with it.
    std::shared_ptr<DeclarationEdi> declaration;
    std::shared_ptr<CCalculTVA> calcul;
    TParamTransmission param;
    try {
        declaration = CreerDeclarationEdi();
        RemplirDeclaration(*declaration);

        std::optional<Error> erreurCalcul;
        calcul = Creer_Calcul(Chemin_Fichier_Donnees, Chemin_Fichier_Parametrage,
                              Chemin_Fichier_Resultat, &erreurCalcul);
        if (!calcul) {
            Info_Retour = kMessageCalcul;
            if (erreurCalcul)
                Info_Retour += std::string(kSautDouble) + "Description de l'erreur :\r\n" +
                               erreurCalcul->description();
            return {};
        }

        if (TypeDeclarationCourant() == "CA12") {
            Transferer_Formulaire(*calcul, *declaration, "CA12");
        } else {
            Transferer_Formulaire(*calcul, *declaration, "CA3");
            Transferer_Formulaire(*calcul, *declaration, "CA3A");
        }
        calcul.reset();

        param.XmlDeclaration = Indenter_XML(declaration->TexteXML(), true, true);
        param.Commentaires = vCommentaires();
        param.Description = vDescription();
        param.OpCoCode = opCoCode_;
        param.TestFile = testFile_;
        param.Date_Debut = dateDuTexte(dateDebut_);
        param.Date_Fin = dateDuTexte(dateFin_);
        param.SIRET = vSIRET();
        param.NomDebiteur = vNomDebiteur();
    } catch (...) {
        Info_Retour = messageGeneration(Error::fromCurrentException());
        return {};
    }
    // A failed transfer says so through its own message box and leaves
    // Info_Retour as the caller gave it: hosts tell the two failures apart
    // that way. The product keeps its own reason (see the stand-in's).
    return Transmettre_Declaration(param);
}

std::shared_ptr<CCalculTVA> Cls_DeclarationTVA::Creer_Calcul(
    const std::string& Chemin_Fichier_Donnees, const std::string& Chemin_Fichier_Parametrage,
    const std::string& Chemin_Fichier_Resultat, std::optional<Error>* erreur) {
    try {
        std::shared_ptr<CCalculTVA> calcul = CCalculTVA::Creer();
        // Only a raised error counts as a failure, not Init's own result.
        calcul->Init(Chemin_Fichier_Donnees, Chemin_Fichier_Parametrage, Chemin_Fichier_Resultat);
        return calcul;
    } catch (...) {
        if (erreur) *erreur = Error::fromCurrentException();
        return nullptr;
    }
}

std::string Cls_DeclarationTVA::Transmettre_Declaration(const TParamTransmission& param) {
    try {
        std::shared_ptr<Connecteur> connecteur = ArdiloDirect();
        if (!connecteur) throw Error::runtime(err::ObjetNonDefini);
        if (!connecteur->EstPret()) return {};
        std::shared_ptr<TransfertEdi> transfert = connecteur->Transfert();
        if (!transfert) return {};
        transfert->SetCommentaires(param.Commentaires);
        transfert->SetDescription(param.Description);
        transfert->SetOpCoCode(param.OpCoCode);
        transfert->SetTestFile(param.TestFile);
        transfert->SetDateDebut(Value(param.Date_Debut).toText());
        transfert->SetDateFin(Value(param.Date_Fin).toText());
        transfert->SetSIRET(param.SIRET);
        transfert->SetNomDebiteur(param.NomDebiteur);
        return transfert->Transferer(param.XmlDeclaration);
    } catch (...) {
        // The transfer object is gone with the try block's scope.
    }
    // Shown unconditionally: the library has no way to know whether a user sees it.
    AfficherMessage(kMessageTransfert);
    return {};
}

std::string Indenter_XML(const std::string& texte, bool indenter, bool marqueOrdreOctets) {
    auto chargement = XmlDocument::parseText(texte);
    if (auto* echec = std::get_if<XmlParseFailure>(&chargement))
        throw Error(err::AppelIncorrect, "Le texte XML ne peut pas être mis en forme (ligne " +
                                             std::to_string(echec->line) + ") : " + echec->reason);
    std::string sortie;
    // The mark is the UTF-8 one: the text is UTF-8 inside the library.
    if (marqueOrdreOctets) sortie = "\xEF\xBB\xBF";
    sortie += std::get<XmlDocument>(chargement).toText(indenter, false);
    return sortie;
}

}  // namespace qx
