// A stored declaration turned into rubric records for the host.
#include <optional>

#include "declaration/declaration_tva.h"
#include "declaration/fichier_pivot.h"
#include "engine/declaration_courante.h"
#include "engine/types_declaration.h"
#include "transmission/ardilo_produit.h"

namespace qx {
namespace {

// The product's form type chosen for the calling thread's declaration type;
// "CA12A" has no form to read.
std::optional<int32_t> typeChoisi(const std::string& type) {
    if (type == "CA12A") return std::nullopt;
    return CodeFormulaire(type);
}

}  // namespace

bool Cls_DeclarationTVA::Conversion_Pivot(const std::string& Chemin_Fichier_Pivot,
                                          std::vector<TRubr>& Tableau_Rubriques) {
    std::optional<int32_t> choisi = typeChoisi(TypeDeclarationCourant());
    if (!choisi) return false;
    try {
        // Unlike the payments' reading, the first line is passed whole: the
        // product accepts the mark that opens its files.
        const std::string texte = JoindreLignes(LireLignesFichier(Chemin_Fichier_Pivot));
        std::shared_ptr<DeclarationEdi> declaration = CreerDeclarationEdi();
        declaration->ChargerDepuisXML(texte);

        // An annual return also takes its simplified variant; the last
        // qualifying form wins.
        std::shared_ptr<FormulaireEdi> retenu;
        std::shared_ptr<FormulairesEdi> formulaires = declaration->FormulairesEdi();
        const int32_t nombreFormulaires = formulaires->Count();
        for (int32_t position = 1; position <= nombreFormulaires; ++position) {
            std::shared_ptr<FormulaireEdi> formulaire = formulaires->Item(position);
            const int32_t type = formulaire->FormType();
            if (type == *choisi || (*choisi == kFormulaireCA12 && type == kFormulaireCA12E))
                retenu = formulaire;
        }
        if (!retenu) return true;

        const std::string nom = Nom_Formulaire(retenu->FormType());
        std::shared_ptr<RubriquesEdi> rubriques = retenu->RubriquesEdi();
        const int32_t nombre = rubriques->Count();
        for (int32_t k = 1; k <= nombre; ++k) {
            Tableau_Rubriques.resize(static_cast<size_t>(k) + 1);
            TRubr& entree = Tableau_Rubriques[static_cast<size_t>(k)];
            entree.Rubr_TypeDeclaration = nom;
            std::shared_ptr<RubriqueEdi> rubrique = rubriques->Item(k);
            entree.Rubr_Id = rubrique->Code();
            entree.Rubr_Intitule = rubrique->Intitule();
            entree.Rubr_Valeur = rubrique->Valeur();
        }
        return true;
    } catch (...) {
        // Entries written before the failure stay.
        return false;
    }
}

}  // namespace qx
