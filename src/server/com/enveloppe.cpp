#include "server/com/enveloppe.h"

namespace qx::com {

ObjectRef coeurDe(IUnknown* objet, bool* etranger) {
    if (etranger) *etranger = false;
    if (!objet) return nullptr;
    void* trouve = nullptr;
    if (FAILED(objet->QueryInterface(IID_EnveloppeQx, &trouve)) || !trouve) {
        if (etranger) *etranger = true;
        return nullptr;
    }
    auto* enveloppe = static_cast<EnveloppeQx*>(trouve);
    ObjectRef coeur = enveloppe->objetCoeur();
    enveloppe->Release();
    return coeur;
}

}  // namespace qx::com
