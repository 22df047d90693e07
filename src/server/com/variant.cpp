#include "server/com/variant.h"

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

void variantDe(const Value& valeur, VARIANT* sortie) {
    VariantInit(sortie);
    switch (valeur.kind()) {
        case ValueKind::Empty:
            return;
        case ValueKind::Null:
            V_VT(sortie) = VT_NULL;
            return;
        case ValueKind::Missing:
            V_VT(sortie) = VT_ERROR;
            V_ERROR(sortie) = DISP_E_PARAMNOTFOUND;
            return;
        case ValueKind::Integer16:
            V_VT(sortie) = VT_I2;
            V_I2(sortie) = valeur.toInt16();
            return;
        case ValueKind::Integer32:
            V_VT(sortie) = VT_I4;
            V_I4(sortie) = valeur.toInt32();
            return;
        case ValueKind::Double:
            V_VT(sortie) = VT_R8;
            V_R8(sortie) = valeur.doubleValue();
            return;
        case ValueKind::Currency:
            V_VT(sortie) = VT_CY;
            V_CY(sortie).int64 = valeur.toCurrency().ticks;
            return;
        case ValueKind::Text:
            V_BSTR(sortie) = newBstr(valeur.text());
            V_VT(sortie) = VT_BSTR;
            return;
        case ValueKind::Date:
            V_VT(sortie) = VT_DATE;
            V_DATE(sortie) = valeur.dateValue().serial;
            return;
        case ValueKind::Boolean:
            V_VT(sortie) = VT_BOOL;
            V_BOOL(sortie) = valeur.toBool() ? VARIANT_TRUE : VARIANT_FALSE;
            return;
        case ValueKind::Object: {
            const ObjectRef& objet = valeur.object();
            IDispatch* dispatch = nullptr;
            if (auto* hote = dynamic_cast<ObjetHote*>(objet.get())) {
                dispatch = hote->objet();
                dispatch->AddRef();
            } else if (objet) {
                dispatch = envelopperObjet(objet);
            }
            V_VT(sortie) = VT_DISPATCH;
            V_DISPATCH(sortie) = dispatch;
            return;
        }
    }
}

void rendreVariant(VARIANT* sortie, const Value& valeur) {
    if (!sortie) throw Error::runtime(err::AppelIncorrect);
    variantDe(valeur, sortie);
}

}  // namespace qx::com
