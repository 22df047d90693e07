#include "server/com/variant.h"

#include "platform/variant.h"
#include "server/com/bstr.h"
#include "server/com/enveloppe.h"

namespace qx::com {

Value valeurDe(const VARIANT& entree) {
    const VARIANT* v = &entree;
    if (V_VT(v) == (VT_BYREF | VT_VARIANT)) v = V_VARIANTREF(v);
    bool parRef = (V_VT(v) & VT_BYREF) != 0;
    VARTYPE type = V_VT(v) & ~VT_BYREF;
    auto lire = [&](auto valeur, auto* reference) { return parRef ? *reference : valeur; };
    switch (type) {
        case VT_EMPTY:
            return Value();
        case VT_NULL:
            return Value::null();
        case VT_I2:
            return Value(lire(V_I2(v), V_I2REF(v)));
        case VT_I4:
            return Value(static_cast<int32_t>(lire(V_I4(v), V_I4REF(v))));
        case VT_UI1:
            return Value(static_cast<int16_t>(lire(V_UI1(v), V_UI1REF(v))));
        case VT_R4:
            return Value(static_cast<double>(lire(V_R4(v), V_R4REF(v))));
        case VT_R8:
            return Value(lire(V_R8(v), V_R8REF(v)));
        case VT_CY:
            return Value(Currency{lire(V_CY(v), V_CYREF(v)).int64});
        case VT_DATE:
            return Value(Date{lire(V_DATE(v), V_DATEREF(v))});
        case VT_BOOL:
            return Value(lire(V_BOOL(v), V_BOOLREF(v)) != VARIANT_FALSE);
        case VT_BSTR:
            return Value(texte(lire(V_BSTR(v), V_BSTRREF(v))));
        case VT_ERROR:
            if (lire(V_ERROR(v), V_ERRORREF(v)) == DISP_E_PARAMNOTFOUND) return Value::missing();
            break;
        case VT_DISPATCH:
        case VT_UNKNOWN: {
            IUnknown* objet = type == VT_DISPATCH ? lire(V_DISPATCH(v), V_DISPATCHREF(v))
                                                  : lire(V_UNKNOWN(v), V_UNKNOWNREF(v));
            bool etranger = false;
            ObjectRef coeur = coeurDe(objet, &etranger);
            if (!etranger) return Value(coeur);
            IDispatch* dispatch = nullptr;
            if (FAILED(objet->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch))))
                break;
            auto hote = std::make_shared<ObjetHote>(dispatch);
            dispatch->Release();
            return Value(ObjectRef(std::move(hote)));
        }
        default: {
            // Other numeric kinds a host may send (bytes, unsigned, 64-bit, decimal).
            VARIANT double_;
            VariantInit(&double_);
            if (!(type & VT_ARRAY) &&
                SUCCEEDED(VariantChangeType(&double_, const_cast<VARIANT*>(v), 0, VT_R8)))
                return Value(V_R8(&double_));
            break;
        }
    }
    throw Error::runtime(err::TypeIncompatible);
}

namespace {

// Our objects go out through their one wrapper, a host's as it gave them.
IDispatch* dispatchDe(const Value& valeur) {
    const ObjectRef& objet = valeur.object();
    if (auto* hote = dynamic_cast<ObjetHote*>(objet.get())) {
        hote->objet()->AddRef();
        return hote->objet();
    }
    return objet ? envelopperObjet(objet) : nullptr;
}

}  // namespace

void variantDe(const Value& valeur, VARIANT* sortie) {
    variantOf(valeur, *sortie, dispatchDe);
}

void rendreVariant(VARIANT* sortie, const Value& valeur) {
    if (!sortie) throw Error::runtime(err::AppelIncorrect);
    variantDe(valeur, sortie);
}

}  // namespace qx::com
