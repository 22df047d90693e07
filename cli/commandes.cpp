#include <array>

#include "commande.h"
#include "platform/error.h"

namespace qxtva {

// Each subcommand defines its entry in its own file.
extern const Commande commandeCalcul;
extern const Commande commandeDeclarer;
extern const Commande commandeExplique;
extern const Commande commandeFec2Donnees;
extern const Commande commandeLot;
extern const Commande commandeMontant;
extern const Commande commandePivot;
extern const Commande commandeRapport;
extern const Commande commandeReglements;
extern const Commande commandeVerifier;

namespace {
const std::array<const Commande*, 10> kCommandes = {
    &commandeCalcul,  &commandeDeclarer, &commandeExplique, &commandeFec2Donnees, &commandeLot,
    &commandeMontant, &commandePivot,    &commandeRapport,  &commandeReglements,  &commandeVerifier,
};
}  // namespace

std::span<const Commande* const> commandes() {
    return kCommandes;
}

const Commande* trouverCommande(std::string_view nom) {
    for (const Commande* commande : kCommandes)
        if (commande->nom == nom) return commande;
    return nullptr;
}

std::string ligneErreur(int32_t numero, std::string_view description) {
    std::string ligne = "erreur " + qx::errorNumberText(numero) + " : ";
    for (size_t i = 0; i < description.size(); ++i) {
        char c = description[i];
        if (c == '\r' || c == '\n') {
            // CR LF is one line break, hence one blank.
            if (c == '\r' && i + 1 < description.size() && description[i + 1] == '\n') ++i;
            ligne += ' ';
        } else {
            ligne += c;
        }
    }
    return ligne;
}

}  // namespace qxtva
