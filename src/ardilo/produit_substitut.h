// The stand-in for "Ardilo direct": it makes the product's declarations,
// connectors and VAT component. Any of its classes can be made unavailable,
// as on a machine where that part of the product is not installed; asking
// for it then fails with 429. The connectors it makes take its settings.
#pragma once

#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "ardilo/connecteur_substitut.h"
#include "ardilo/declaration_substitut.h"
#include "transmission/ardilo_interface.h"

namespace qx::ardilo {

// The VAT component: the product's presence, nothing else is asked of it.
class ComposantTvaSubstitut : public Object {
public:
    static constexpr std::string_view kVersion = "4.3.0.0";
};

class ProduitSubstitut : public ProduitArdilo {
public:
    ObjectRef CreerObjet(std::string_view classe) override;

    // Class names compare without regard to case.
    void RendreIndisponible(std::string_view classe);
    void RendreDisponible(std::string_view classe);
    // Settings given to every connector made from now on.
    ReglagesConnecteur& reglagesConnecteur() { return reglages_; }
    // When asked to, keeps every declaration it makes, so that what a caller
    // put into one can be looked at after the caller let it go.
    void conserverDeclarations(bool oui) { conserver_ = oui; }
    const std::vector<std::shared_ptr<DeclarationSubstitut>>& declarationsCreees() const {
        return declarations_;
    }

private:
    std::set<std::string> indisponibles_;  // folded class names
    ReglagesConnecteur reglages_;
    bool conserver_ = false;
    std::vector<std::shared_ptr<DeclarationSubstitut>> declarations_;
};

}  // namespace qx::ardilo
