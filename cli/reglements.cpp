// qxtva reglements: the payments of a stored declaration, with their
// direct debits and bank accounts.
#include <array>
#include <iostream>

#include "commande.h"
#include "declaration/declaration_tva.h"
#include "options.h"
#include "parametres.h"
#include "rubrics/conventions.h"
#include "sortie.h"

namespace qxtva {
namespace {

constexpr std::string_view kUsage =
    "Usage : qxtva reglements FICHIER [--format table|csv|json]\n"
    "\n"
    "Affiche les paiements d'une déclaration enregistrée par Ardilo direct (fichier pivot),\n"
    "avec leurs prélèvements et les comptes bancaires prélevés.\n"
    "\n"
    "  --format F   texte (table, par défaut), csv ou json : une ligne par prélèvement,\n"
    "               les champs du paiement répétés (un paiement sans prélèvement a la sienne)\n"
    "\n"
    "Sortie : 0 succès, 2 fichier absent ou illisible, 64 mauvais usage.\n";

constexpr std::array<DefinitionOption, 1> kOptions = {{kOptionFormat}};

void afficherTexte(std::ostream& sortie, const qx::Cls_DeclarationTVA& declaration) {
    const auto paiements = declaration.Obj_Paiements()->NewEnum();
    if (paiements.empty()) sortie << "Aucun paiement dans cette déclaration.\n";
    int numero = 0;
    for (const auto& paiement : paiements) {
        sortie << "Paiement " << ++numero << " : mode " << paiement->vMode() << ", "
               << paiement->vNbVirement() << " virement(s), référence « " << paiement->vReference()
               << " »\n";
        const auto& prelevements = qx::PrelevementsExistants(*paiement);
        if (!prelevements) continue;
        int rang = 0;
        for (const auto& prelevement : prelevements->NewEnum()) {
            const auto& rib = *prelevement->Cls_Rib();
            sortie << "  Prélèvement " << ++rang << " : "
                   << qx::NombreVersTexte(prelevement->vMontant()) << ", référence « "
                   << prelevement->vReference() << " »\n"
                   << "    titulaire : " << rib.vTitulaire() << '\n'
                   << "    banque " << rib.vBanque() << ", guichet " << rib.vGuichet()
                   << ", compte " << rib.vCompte() << ", clé " << rib.vCle() << '\n'
                   << "    IBAN " << rib.vIBAN() << ", BIC " << rib.vBIC() << '\n';
            if (!rib.vComplement().empty())
                sortie << "    complément : " << rib.vComplement() << '\n';
        }
    }
}

Tableau tableauReglements(const qx::Cls_DeclarationTVA& declaration) {
    Tableau tableau;
    tableau.schema = "qxtva.reglements";
    tableau.version = 1;
    tableau.colonnes = {
        {"paiement", "Paiement", Genre::Nombre},
        {"mode", "Mode", Genre::Nombre},
        {"virements", "Virements", Genre::Nombre},
        {"reference", "Référence"},
        {"prelevement", "Prélèvement", Genre::Nombre},
        {"montant", "Montant", Genre::Nombre},
        {"reference_prelevement", "Référence du prélèvement"},
        {"titulaire", "Titulaire"},
        {"banque", "Banque"},
        {"guichet", "Guichet"},
        {"compte", "Compte"},
        {"cle", "Clé"},
        {"iban", "IBAN"},
        {"bic", "BIC"},
        {"complement", "Complément"},
    };
    int numero = 0;
    for (const auto& paiement : declaration.Obj_Paiements()->NewEnum()) {
        const std::vector<std::string> champs = {
            std::to_string(++numero), std::to_string(paiement->vMode()),
            std::to_string(paiement->vNbVirement()), paiement->vReference()};
        std::vector<std::shared_ptr<qx::Cls_Prelevement>> prelevements;
        if (const auto& existants = qx::PrelevementsExistants(*paiement))
            prelevements = existants->NewEnum();
        int rang = 0;
        for (const auto& prelevement : prelevements) {
            const auto& rib = *prelevement->Cls_Rib();
            std::vector<std::string> ligne = champs;
            ligne.insert(
                ligne.end(),
                {std::to_string(++rang), qx::NombreVersTexte(prelevement->vMontant()),
                 prelevement->vReference(), rib.vTitulaire(), rib.vBanque(), rib.vGuichet(),
                 rib.vCompte(), rib.vCle(), rib.vIBAN(), rib.vBIC(), rib.vComplement()});
            tableau.lignes.push_back(std::move(ligne));
        }
        if (rang == 0) {
            std::vector<std::string> ligne = champs;
            ligne.resize(tableau.colonnes.size());
            tableau.lignes.push_back(std::move(ligne));
        }
    }
    return tableau;
}

int executer(const Arguments& arguments) {
    Arguments reste;
    std::optional<std::string> fichier = separerFichier(arguments, reste);
    Options options = Options::analyser(reste, kOptions);
    if (options.aide()) {
        std::cout << kUsage;
        return kSortieSucces;
    }
    if (!fichier) throw ErreurUsage("fichier pivot manquant");
    const Format format = lireFormat(options.valeur("format"));

    qx::Cls_DeclarationTVA declaration;
    if (!declaration.Init_Reglements(*fichier)) {
        std::cerr << "qxtva reglements : « " << *fichier
                  << " » est absent ou n'est pas une déclaration lisible par Ardilo direct\n";
        return kSortieErreur;
    }
    // The table stays the indented text people read; the rows are for programs.
    if (format == Format::Table)
        afficherTexte(std::cout, declaration);
    else
        ecrire(std::cout, format, tableauReglements(declaration));
    return kSortieSucces;
}

}  // namespace

extern const Commande commandeReglements;
const Commande commandeReglements{
    "reglements", "affiche les paiements d'une déclaration enregistrée", kUsage, executer};

}  // namespace qxtva
