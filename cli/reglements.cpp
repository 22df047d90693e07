// qxtva reglements: the payments of a stored declaration, with their
// direct debits and bank accounts.
#include <iostream>

#include "commande.h"
#include "declaration/declaration_tva.h"
#include "options.h"
#include "parametres.h"
#include "rubrics/conventions.h"

namespace qxtva {
namespace {

constexpr std::string_view kUsage =
    "Usage : qxtva reglements FICHIER\n"
    "\n"
    "Affiche les paiements d'une déclaration enregistrée par Ardilo direct (fichier pivot),\n"
    "avec leurs prélèvements et les comptes bancaires prélevés.\n"
    "\n"
    "Sortie : 0 succès, 2 fichier absent ou illisible, 64 mauvais usage.\n";

int executer(const Arguments& arguments) {
    Arguments reste;
    std::optional<std::string> fichier = separerFichier(arguments, reste);
    Options options = Options::analyser(reste, {});
    if (options.aide()) {
        std::cout << kUsage;
        return kSortieSucces;
    }
    if (!fichier) throw ErreurUsage("fichier pivot manquant");

    qx::Cls_DeclarationTVA declaration;
    if (!declaration.Init_Reglements(*fichier)) {
        std::cerr << "qxtva reglements : « " << *fichier
                  << " » est absent ou n'est pas une déclaration lisible par Ardilo direct\n";
        return kSortieErreur;
    }
    const auto paiements = declaration.Obj_Paiements()->NewEnum();
    if (paiements.empty()) std::cout << "Aucun paiement dans cette déclaration.\n";
    int numero = 0;
    for (const auto& paiement : paiements) {
        std::cout << "Paiement " << ++numero << " : mode " << paiement->vMode() << ", "
                  << paiement->vNbVirement() << " virement(s), référence « "
                  << paiement->vReference() << " »\n";
        const auto& prelevements = qx::PrelevementsExistants(*paiement);
        if (!prelevements) continue;
        int rang = 0;
        for (const auto& prelevement : prelevements->NewEnum()) {
            const auto& rib = *prelevement->Cls_Rib();
            std::cout << "  Prélèvement " << ++rang << " : "
                      << qx::NombreVersTexte(prelevement->vMontant()) << ", référence « "
                      << prelevement->vReference() << " »\n"
                      << "    titulaire : " << rib.vTitulaire() << '\n'
                      << "    banque " << rib.vBanque() << ", guichet " << rib.vGuichet()
                      << ", compte " << rib.vCompte() << ", clé " << rib.vCle() << '\n'
                      << "    IBAN " << rib.vIBAN() << ", BIC " << rib.vBIC() << '\n';
            if (!rib.vComplement().empty())
                std::cout << "    complément : " << rib.vComplement() << '\n';
        }
    }
    return kSortieSucces;
}

}  // namespace

extern const Commande commandeReglements;
const Commande commandeReglements{
    "reglements", "affiche les paiements d'une déclaration enregistrée", kUsage, executer};

}  // namespace qxtva
