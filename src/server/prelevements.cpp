// Cls_Prelevements: the direct debits of a payment.
#include "records/paiements.h"
#include "server/classes.h"
#include "server/collection.h"
#include "server/com/automation.h"

namespace qx::com {

namespace {

class Prelevements : public Automation<Prelevements, _Cls_Prelevements, qx::Cls_Prelevements> {
public:
    using Automation::Automation;
    static const CLSID& classe() { return CLSID_Cls_Prelevements; }

    // sKey is optional: a host that leaves it out adds the debit without a key.
    HRESULT STDMETHODCALLTYPE Add(short* intKey, BSTR* sKey, _Cls_Prelevement** v) override {
        return appel(
            [&] { rendreObjet(v, coeur().Add(lu(intKey), sKey ? texte(*sKey) : std::string())); });
    }
    QX_MEMBRES_COLLECTION(_Cls_Prelevement)
};

}  // namespace

_Cls_Prelevements* envelopper(const std::shared_ptr<qx::Cls_Prelevements>& objet) {
    return Prelevements::envelopper(objet);
}

HRESULT creerPrelevements(REFIID iid, void** sortie) {
    return creerObjet<Prelevements>(iid, sortie,
                                    [] { return std::make_shared<qx::Cls_Prelevements>(); });
}

}  // namespace qx::com
