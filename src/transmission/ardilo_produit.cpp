#include "transmission/ardilo_produit.h"

#include "platform/error.h"

namespace qx {
namespace {

// Objects are single-threaded, so each thread has its own product.
thread_local std::shared_ptr<ProduitArdilo> produitCourant;

template <class T>
std::shared_ptr<T> creer(std::string_view classe) {
    auto objet = std::dynamic_pointer_cast<T>(CreerObjetArdilo(classe));
    if (!objet) throw Error::runtime(err::CreationObjet);
    return objet;
}

}  // namespace

std::shared_ptr<ProduitArdilo> ProduitInstalle() {
    if (!produitCourant) produitCourant = ProduitDeLaPlateforme();
    return produitCourant;
}

std::shared_ptr<ProduitArdilo> InstallerProduit(std::shared_ptr<ProduitArdilo> produit) {
    auto precedent = std::move(produitCourant);
    produitCourant = std::move(produit);
    return precedent;
}

ObjectRef CreerObjetArdilo(std::string_view classe) {
    ObjectRef objet = ProduitInstalle()->CreerObjet(classe);
    if (!objet) throw Error::runtime(err::CreationObjet);
    return objet;
}

std::shared_ptr<DeclarationEdi> CreerDeclarationEdi() {
    return creer<DeclarationEdi>(kClasseDeclarationEdi);
}

std::shared_ptr<Connecteur> CreerConnecteur() {
    return creer<Connecteur>(kClasseConnecteur);
}

}  // namespace qx
