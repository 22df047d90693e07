// Money outside the rubric computation: the amount to pay of a computed
// return, and the payments of a stored declaration read back.
#include "declaration/declaration_tva.h"
#include "declaration/fichier_pivot.h"
#include "engine/calcul_tva.h"
#include "engine/declaration_courante.h"
#include "engine/types_declaration.h"
#include "transmission/ardilo_produit.h"

namespace qx {

Currency Cls_DeclarationTVA::GetMontantAPayer(const std::string& Chemin_Fichier_Donnees,
                                              const std::string& Chemin_Fichier_Parametrage) {
    std::shared_ptr<CCalculTVA> calcul =
        Creer_Calcul(Chemin_Fichier_Donnees, Chemin_Fichier_Parametrage, {});
    if (!calcul) return Currency{};

    // Failures of the product reach the caller as they are.
    std::shared_ptr<DeclarationEdi> declaration = CreerDeclarationEdi();
    const std::string& type = TypeDeclarationCourant();
    // "CA12E" names no form the copy knows: the declaration stays empty.
    // The annex "CA3A" carries nothing to pay and is left out.
    const std::string formulaire = UtiliseFormulaireCA12(type) ? type : "CA3";
    Transferer_Formulaire(*calcul, *declaration, formulaire);
    return Currency::fromDouble(declaration->MontantAPayer());
}

bool Cls_DeclarationTVA::Charger_Pivot(DeclarationEdi& declaration, const std::string& chemin) {
    try {
        std::vector<std::string> lignes = LireLignesFichier(chemin);
        // The product opens its files with three bytes (its byte-order
        // mark), whatever they are they are not part of the text.
        if (lignes.front().size() < 3) return false;
        lignes.front().erase(0, 3);
        declaration.ChargerDepuisXML(JoindreLignes(lignes));
        return true;
    } catch (...) {
        return false;
    }
}

bool Cls_DeclarationTVA::Init_Reglements(const std::string& CheminPivot) {
    try {
        std::shared_ptr<DeclarationEdi> declaration = CreerDeclarationEdi();
        if (!Charger_Pivot(*declaration, CheminPivot)) return false;
        std::shared_ptr<ReglementsEdi> reglements = declaration->DepotEdi()->ReglementsEdi();
        const int32_t nombre = reglements->Count();
        for (int32_t position = 1; position <= nombre; ++position) {
            std::shared_ptr<ReglementEdi> reglement = reglements->Item(position);
            // Appended after what the host holds, never replacing it.
            std::shared_ptr<Cls_Paiement> paiement =
                paiements_->Add(Value(position).toInt16(), std::string());
            paiement->SetvMode(Value(reglement->Mode()).toInt16());
            paiement->SetvNbVirement(reglement->NbVirement());
            paiement->SetvReference(reglement->Reference());

            std::shared_ptr<PrelevementsEdi> prelevementsEdi = reglement->PrelevementsEdi();
            const int32_t nombreDebits = prelevementsEdi->Count();
            for (int32_t rang = 1; rang <= nombreDebits; ++rang) {
                std::shared_ptr<PrelevementEdi> prelevementEdi = prelevementsEdi->Item(rang);
                std::shared_ptr<Cls_Prelevement> prelevement =
                    paiement->Cls_Prelevements()->Add(Value(rang).toInt16(), std::string());
                prelevement->SetvMontant(prelevementEdi->Montant());
                prelevement->SetvReference(prelevementEdi->Reference());
                std::shared_ptr<RibEdi> ribEdi = prelevementEdi->RibEdi();
                std::shared_ptr<Cls_Rib> rib = prelevement->Cls_Rib();
                if (!rib) throw Error::runtime(err::ObjetNonDefini);
                rib->SetvTitulaire(ribEdi->Titulaire());
                rib->SetvComplement(ribEdi->Complement());
                rib->SetvBanque(ribEdi->Banque());
                rib->SetvGuichet(ribEdi->Guichet());
                rib->SetvCompte(ribEdi->Compte());
                rib->SetvCle(ribEdi->Cle());
                rib->SetvBIC(ribEdi->BIC());
                rib->SetvIBAN(ribEdi->IBAN());
            }
        }
        return true;
    } catch (...) {
        // What was appended before the failure stays.
        return false;
    }
}

}  // namespace qx
