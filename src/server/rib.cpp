// Cls_Rib: the bank account a direct debit draws on.
#include "records/paiements.h"
#include "server/classes.h"
#include "server/com/automation.h"
#include "server/proprietes.h"

namespace qx::com {

namespace {

class Rib : public Automation<Rib, _Cls_Rib, qx::Cls_Rib> {
public:
    using Automation::Automation;
    static const CLSID& classe() { return CLSID_Cls_Rib; }

    QX_PROPRIETE_TEXTE(vTitulaire)
    QX_PROPRIETE_TEXTE(vIBAN)
    QX_PROPRIETE_TEXTE(vGuichet)
    QX_PROPRIETE_TEXTE(vCompte)
    QX_PROPRIETE_TEXTE(vComplement)
    QX_PROPRIETE_TEXTE(vCle)
    QX_PROPRIETE_TEXTE(vBIC)
    QX_PROPRIETE_TEXTE(vBanque)
};

}  // namespace

_Cls_Rib* envelopper(const std::shared_ptr<qx::Cls_Rib>& objet) {
    return Rib::envelopper(objet);
}

HRESULT creerRib(REFIID iid, void** sortie) {
    return creerObjet<Rib>(iid, sortie, [] { return std::make_shared<qx::Cls_Rib>(); });
}

}  // namespace qx::com
