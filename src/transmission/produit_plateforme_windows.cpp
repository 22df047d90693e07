// On Windows the library reaches the product installed on the machine:
// its objects are created by their ProgIDs and driven through automation.
#include "platform/automation_client.h"
#include "platform/text_key.h"
#include "transmission/ardilo_produit.h"
#include "transmission/objets_automation.h"

namespace qx {
namespace {

class ProduitAutomation : public ProduitArdilo {
public:
    ObjectRef CreerObjet(std::string_view classe) override {
        auto objet = AutomationObject::create(classe);
        const std::string cle = foldKey(classe);
        if (cle == foldKey(kClasseConnecteur)) return AdapterConnecteur(std::move(objet));
        if (cle == foldKey(kClasseDeclarationEdi)) return AdapterDeclarationEdi(std::move(objet));
        // The VAT component: only its creation is asked of it.
        return objet;
    }
};

}  // namespace

std::shared_ptr<ProduitArdilo> ProduitDeLaPlateforme() {
    return std::make_shared<ProduitAutomation>();
}

}  // namespace qx
