// A stand-in product installed for one test, keeping the declarations it
// makes, with a private outbox and the message boxes collected.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ardilo/produit_substitut.h"
#include "transmission/ardilo_produit.h"
#include "platform/message_box.h"
#include "support/outils.h"

namespace qx::test {

// Sets text fields of an object: textes(r, &R::SetNom, "nom", &R::SetEmail, "mail", ...).
template <class R>
void textes(R&) {}
template <class R, class Setter, class... Reste>
void textes(R& r, Setter set, const std::string& valeur, Reste... reste) {
    (r.*set)(valeur);
    textes(r, reste...);
}

class BancArdilo {
public:
    BancArdilo() : installe_(produit) {
        produit->conserverDeclarations(true);
        produit->reglagesConnecteur().dossierEnvoi = (dossier / "envoi").string();
        precedent_ = installerMessageBox([this](const std::string& t) { messages.push_back(t); });
    }
    ~BancArdilo() { installerMessageBox(std::move(precedent_)); }

    // Where the first deposit of the day goes.
    fs::path premierDepot() const { return dossier / "envoi" / "ARD-20261205-0001.xml"; }

    std::shared_ptr<ardilo::ProduitSubstitut> produit =
        std::make_shared<ardilo::ProduitSubstitut>();
    const DossierTemporaire dossier;
    std::vector<std::string> messages;

private:
    ProduitTemporaire installe_;
    MessageBoxHandler precedent_;
};

}  // namespace qx::test
