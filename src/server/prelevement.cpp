// Cls_Prelevement: one direct debit and the account it draws on.
#include "records/paiements.h"
#include "server/classes.h"
#include "server/com/automation.h"
#include "server/com/enveloppe.h"
#include "server/proprietes.h"

namespace qx::com {

namespace {

class Prelevement : public Automation<Prelevement, _Cls_Prelevement, qx::Cls_Prelevement> {
public:
    using Automation::Automation;
    static const CLSID& classe() { return CLSID_Cls_Prelevement; }

    QX_CHAMP_ENTIER16(Key)
    QX_PROPRIETE_TEXTE(vReference)
    QX_PROPRIETE_NOMBRE(double, vMontant)

    QX_OBJET(_Cls_Rib, Cls_Rib)
    HRESULT STDMETHODCALLTYPE putref_Cls_Rib(_Cls_Rib** v) override {
        return appel([&] { coeur().SetCls_Rib(coeurAttendu<qx::Cls_Rib>(lu(v), true)); });
    }
};

}  // namespace

_Cls_Prelevement* envelopper(const std::shared_ptr<qx::Cls_Prelevement>& objet) {
    return Prelevement::envelopper(objet);
}

}  // namespace qx::com
