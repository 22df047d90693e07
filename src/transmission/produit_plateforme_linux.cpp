// On Linux there is no installed product: the library reaches the stand-in,
// linked in.
#include "ardilo/produit_substitut.h"
#include "transmission/ardilo_produit.h"

namespace qx {

std::shared_ptr<ProduitArdilo> ProduitDeLaPlateforme() {
    return std::make_shared<ardilo::ProduitSubstitut>();
}

}  // namespace qx
