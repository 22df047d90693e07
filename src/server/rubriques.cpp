// CRubriques: the engine's rubrics. Item gives Nothing for a key or a
// position it does not hold.
#include "engine/rubriques.h"

#include "engine/calcul_tva.h"
#include "server/classes.h"
#include "server/collection.h"
#include "server/com/automation.h"

namespace qx::com {

namespace {

class Rubriques : public Automation<Rubriques, _CRubriques, qx::CRubriques> {
public:
    using Automation::Automation;
    static const CLSID& classe() { return CLSID_CRubriques; }

    HRESULT STDMETHODCALLTYPE get_Item(VARIANT* cle, _CRubrique** v) override {
        return appel([&] { rendreObjet(v, coeur().Item(indice(cle))); });
    }
    HRESULT STDMETHODCALLTYPE IsKeyExist(BSTR* Key, VARIANT_BOOL* v) override {
        return appel([&] { rendreValeur(v, booleen(coeur().IsKeyExist(texte(Key)))); });
    }
    QX_LECTURE_NOMBRE(LONG, Count)
    HRESULT STDMETHODCALLTYPE Remove(VARIANT* cle) override {
        return appel([&] { coeur().Remove(indice(cle)); });
    }
    HRESULT STDMETHODCALLTYPE get_NewEnum(IUnknown** v) override {
        return appel([&] { rendreValeur(v, nouvelEnumerateur(coeur().NewEnum())); });
    }
    QX_OBJET(_CCalculTVA, CalculTVA)
};

}  // namespace

_CRubriques* envelopper(const std::shared_ptr<qx::CRubriques>& objet) {
    return Rubriques::envelopper(objet);
}

}  // namespace qx::com
