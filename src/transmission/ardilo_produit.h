// How the library reaches the transmission product: objects are created by
// class name through the product installed for the calling thread. Until
// one is installed that is the product of the platform, which the build
// chooses by compiling one file: produit_plateforme_linux.cpp (the stand-in
// of src/ardilo, linked in) or produit_plateforme_windows.cpp (the product
// installed on the machine, reached by its class names). Tests install one
// whose components can be made unavailable.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/value.h"
#include "transmission/ardilo_interface.h"

namespace qx {

// The product of this build's platform, made anew at each call.
std::shared_ptr<ProduitArdilo> ProduitDeLaPlateforme();

// The product of the calling thread (the platform's until one is installed).
std::shared_ptr<ProduitArdilo> ProduitInstalle();
// Installs a product for the calling thread and gives back the previous one;
// installing none brings the platform's back at the next use.
std::shared_ptr<ProduitArdilo> InstallerProduit(std::shared_ptr<ProduitArdilo> produit);

// Keeps a product installed while alive.
class ProduitTemporaire {
public:
    explicit ProduitTemporaire(std::shared_ptr<ProduitArdilo> produit)
        : precedent_(InstallerProduit(std::move(produit))) {}
    ~ProduitTemporaire() { InstallerProduit(std::move(precedent_)); }
    ProduitTemporaire(const ProduitTemporaire&) = delete;
    ProduitTemporaire& operator=(const ProduitTemporaire&) = delete;

private:
    std::shared_ptr<ProduitArdilo> precedent_;
};

// Creation through the installed product; 429 when the class is missing or
// gives an object of another kind.
ObjectRef CreerObjetArdilo(std::string_view classe);
std::shared_ptr<DeclarationEdi> CreerDeclarationEdi();
std::shared_ptr<Connecteur> CreerConnecteur();

}  // namespace qx
