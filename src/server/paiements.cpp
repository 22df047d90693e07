// Cls_Paiements: the payments of a declaration.
#include "records/paiements.h"
#include "server/classes.h"
#include "server/collection.h"
#include "server/com/automation.h"

namespace qx::com {

namespace {

class Paiements : public Automation<Paiements, _Cls_Paiements, qx::Cls_Paiements> {
public:
    using Automation::Automation;
    static const CLSID& classe() { return CLSID_Cls_Paiements; }

    QX_PROPRIETE_NOMBRE(LONG, vPaiementImputation)
    // sKey is optional: a host that leaves it out adds the payment without a key.
    HRESULT STDMETHODCALLTYPE Add(short* intKey, BSTR* sKey, _Cls_Paiement** v) override {
        return appel(
            [&] { rendreObjet(v, coeur().Add(lu(intKey), sKey ? texte(*sKey) : std::string())); });
    }
    QX_MEMBRES_COLLECTION(_Cls_Paiement)
};

}  // namespace

_Cls_Paiements* envelopper(const std::shared_ptr<qx::Cls_Paiements>& objet) {
    return Paiements::envelopper(objet);
}

HRESULT creerPaiements(REFIID iid, void** sortie) {
    return creerObjet<Paiements>(iid, sortie, [] { return std::make_shared<qx::Cls_Paiements>(); });
}

}  // namespace qx::com
