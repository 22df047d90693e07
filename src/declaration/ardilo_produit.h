// How the library reaches the transmission product: objects are created by
// class name through the product installed for the calling thread. By
// default that is the stand-in product of src/ardilo; a host build for
// Windows installs the real product, and tests install one whose
// components can be made unavailable.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "declaration/ardilo_interface.h"
#include "platform/value.h"

namespace qx {

// The product of the calling thread (the stand-in until one is installed).
std::shared_ptr<ProduitArdilo> ProduitInstalle();
// Installs a product for the calling thread and gives back the previous one;
// nothing restores the stand-in.
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
