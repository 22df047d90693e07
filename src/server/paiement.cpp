// Cls_Paiement: one payment and its direct debits.
#include "records/paiements.h"
#include "server/classes.h"
#include "server/com/automation.h"
#include "server/com/enveloppe.h"
#include "server/proprietes.h"

namespace qx::com {

namespace {

class Paiement : public Automation<Paiement, _Cls_Paiement, qx::Cls_Paiement> {
public:
    using Automation::Automation;
    static const CLSID& classe() { return CLSID_Cls_Paiement; }

    QX_CHAMP_ENTIER16(Key)
    QX_PROPRIETE_TEXTE(vReference)
    QX_PROPRIETE_NOMBRE(short, vNbVirement)
    QX_PROPRIETE_NOMBRE(short, vMode)

    QX_OBJET(_Cls_Prelevements, Cls_Prelevements)
    HRESULT STDMETHODCALLTYPE putref_Cls_Prelevements(_Cls_Prelevements** v) override {
        return appel(
            [&] { coeur().SetCls_Prelevements(coeurAttendu<qx::Cls_Prelevements>(lu(v), true)); });
    }
};

}  // namespace

_Cls_Paiement* envelopper(const std::shared_ptr<qx::Cls_Paiement>& objet) {
    return Paiement::envelopper(objet);
}

HRESULT creerPaiement(REFIID iid, void** sortie) {
    return creerObjet<Paiement>(iid, sortie, [] { return std::make_shared<qx::Cls_Paiement>(); });
}

}  // namespace qx::com
