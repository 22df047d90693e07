#include "ardilo/produit_substitut.h"

#include "ardilo/declaration_substitut.h"
#include "platform/error.h"
#include "platform/text_key.h"

namespace qx::ardilo {

ObjectRef ProduitSubstitut::CreerObjet(std::string_view classe) {
    std::string cle = foldKey(classe);
    if (!indisponibles_.count(cle)) {
        if (cle == foldKey(kClasseDeclarationEdi)) {
            auto declaration = std::make_shared<DeclarationSubstitut>();
            if (conserver_) declarations_.push_back(declaration);
            return declaration;
        }
        if (cle == foldKey(kClasseConnecteur))
            return std::make_shared<ConnecteurSubstitut>(reglages_);
        if (cle == foldKey(kComposantTva)) return std::make_shared<ComposantTvaSubstitut>();
    }
    throw Error::runtime(qx::err::CreationObjet);
}

void ProduitSubstitut::RendreIndisponible(std::string_view classe) {
    indisponibles_.insert(foldKey(classe));
}

void ProduitSubstitut::RendreDisponible(std::string_view classe) {
    indisponibles_.erase(foldKey(classe));
}

}  // namespace qx::ardilo
