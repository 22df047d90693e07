#include "server/com/arguments.h"

#include <vector>

#include "server/com/bstr.h"
#include "server/com/erreurs.h"
#include "server/com/types.h"
#include "server/com/variant.h"

namespace qx::com {

namespace {

// What a parameter slot takes, once aliases and enumerations are resolved.
struct TypeParametre {
    VARTYPE type = VT_EMPTY;  // VT_BSTR, VT_I2, ..., VT_VARIANT, VT_DISPATCH, VT_UNKNOWN, VT_ARRAY
    bool parReference = false;
};

// One argument as the slot receives it, with what it takes to give the
// host's variable its new value afterwards.
struct Argument {
    VARIANT temporaire;     // the converted value, owned
    VARIANT* passe;         // what DispCallFunc reads: &temporaire or the host's own variant
    VARIANT* variableHote;  // the host's variable to write back, or null
    bool ecrireEnRetour = false;

    Argument() : passe(&temporaire), variableHote(nullptr) { VariantInit(&temporaire); }
    ~Argument() { VariantClear(&temporaire); }
    Argument(const Argument&) = delete;
    Argument& operator=(const Argument&) = delete;
};

TypeParametre resoudre(ITypeInfo* info, const TYPEDESC& description) {
    const TYPEDESC* t = &description;
    TypeParametre resultat;
    if (t->vt == VT_PTR) {
        const TYPEDESC* cible = t->lptdesc;
        bool interfaceParValeur = false;
        if (cible->vt == VT_USERDEFINED) {
            ITypeInfo* reference = nullptr;
            if (SUCCEEDED(info->GetRefTypeInfo(cible->hreftype, &reference))) {
                TYPEATTR* attributs = nullptr;
                reference->GetTypeAttr(&attributs);
                interfaceParValeur =
                    attributs->typekind == TKIND_DISPATCH || attributs->typekind == TKIND_INTERFACE;
                reference->ReleaseTypeAttr(attributs);
                reference->Release();
            }
        }
        if (!interfaceParValeur) {
            resultat.parReference = true;
            t = cible;
        }
    }
    switch (t->vt) {
        case VT_PTR:
            resultat.type = VT_DISPATCH;  // an interface pointer
            if (t->lptdesc->vt == VT_UNKNOWN) resultat.type = VT_UNKNOWN;
            return resultat;
        case VT_SAFEARRAY:
            resultat.type = VT_ARRAY;
            return resultat;
        case VT_USERDEFINED: {
            ITypeInfo* reference = nullptr;
            resultat.type = VT_I4;  // enumerations
            if (SUCCEEDED(info->GetRefTypeInfo(t->hreftype, &reference))) {
                TYPEATTR* attributs = nullptr;
                reference->GetTypeAttr(&attributs);
                if (attributs->typekind == TKIND_ALIAS)
                    resultat.type = resoudre(reference, attributs->tdescAlias).type;
                reference->ReleaseTypeAttr(attributs);
                reference->Release();
            }
            return resultat;
        }
        default:
            resultat.type = t->vt;
            return resultat;
    }
}

// The value of a host's argument converted to a slot's simple type.
void convertir(const VARIANT& source, VARTYPE type, VARIANT* sortie) {
    Value valeur = valeurDe(source);
    if (valeur.isMissing()) throw Error::runtime(err::AppelIncorrect);
    switch (type) {
        case VT_BSTR:
            V_BSTR(sortie) = newBstr(valeur.toText());
            break;
        case VT_I2:
            V_I2(sortie) = valeur.toInt16();
            break;
        case VT_I4:
            V_I4(sortie) = valeur.toInt32();
            break;
        case VT_R8:
            V_R8(sortie) = valeur.toDouble();
            break;
        case VT_DATE:
            V_DATE(sortie) = valeur.toDate().serial;
            break;
        case VT_BOOL:
            V_BOOL(sortie) = valeur.toBool() ? VARIANT_TRUE : VARIANT_FALSE;
            break;
        case VT_CY:
            V_CY(sortie).int64 = valeur.toCurrency().ticks;
            break;
        default:
            throw Error::runtime(err::TypeIncompatible);
    }
    V_VT(sortie) = type;
}

// An object argument: one of ours or a foreign one, or Nothing.
void convertirObjet(const VARIANT& source, VARTYPE type, VARIANT* sortie) {
    const VARIANT* v = &source;
    if (V_VT(v) == (VT_BYREF | VT_VARIANT)) v = V_VARIANTREF(v);
    IUnknown* objet = nullptr;
    switch (V_VT(v)) {
        case VT_DISPATCH:
            objet = V_DISPATCH(v);
            break;
        case VT_UNKNOWN:
            objet = V_UNKNOWN(v);
            break;
        case VT_BYREF | VT_DISPATCH:
            objet = *V_DISPATCHREF(v);
            break;
        case VT_BYREF | VT_UNKNOWN:
            objet = *V_UNKNOWNREF(v);
            break;
        case VT_NULL:
            throw Error::runtime(err::NullIncorrect);
        default:
            throw Error::runtime(err::TypeIncompatible);
    }
    V_VT(sortie) = type;
    V_UNKNOWN(sortie) = nullptr;
    if (objet && FAILED(objet->QueryInterface(type == VT_DISPATCH ? IID_IDispatch : IID_IUnknown,
                                              reinterpret_cast<void**>(&V_UNKNOWN(sortie)))))
        throw Error::runtime(err::TypeIncompatible);
}

bool manquant(const VARIANT* v) {
    return !v || (V_VT(v) == VT_ERROR && V_ERROR(v) == DISP_E_PARAMNOTFOUND);
}

// Prepares one argument for a slot's parameter.
void preparer(const VARIANT* hote, const ELEMDESC& parametre, const TypeParametre& type,
              Argument& argument) {
    VARIANT* temporaire = &argument.temporaire;
    bool sortant = (parametre.paramdesc.wParamFlags & PARAMFLAG_FOUT) != 0;
    if (manquant(hote)) {
        if (type.type == VT_VARIANT) {
            V_VT(temporaire) = VT_ERROR;
            V_ERROR(temporaire) = DISP_E_PARAMNOTFOUND;
        } else {
            V_VT(temporaire) = type.type;  // the empty value of the type (a null BSTR)
        }
        return;
    }
    // The host's own variable, when it passed one.
    VARIANT* variable = V_VT(hote) == (VT_BYREF | VT_VARIANT) ? V_VARIANTREF(hote) : nullptr;
    if (type.parReference && V_VT(hote) == (VT_BYREF | type.type) && type.type != VT_ARRAY) {
        argument.passe = const_cast<VARIANT*>(hote);  // already what the slot takes
        return;
    }
    switch (type.type) {
        case VT_VARIANT:
            if (type.parReference && variable) {
                argument.passe = variable;  // the slot sees the host's variable itself
                return;
            }
            if (FAILED(VariantCopyInd(temporaire, const_cast<VARIANT*>(hote))))
                throw Error::runtime(err::TypeIncompatible);
            return;
        case VT_DISPATCH:
        case VT_UNKNOWN:
            convertirObjet(*hote, type.type, temporaire);
            return;
        case VT_ARRAY: {
            // An array of records: the slot resizes and fills the host's own array.
            const VARIANT* v = variable ? variable : hote;
            if (V_VT(v) == (VT_BYREF | VT_ARRAY | VT_RECORD)) {
                argument.passe = const_cast<VARIANT*>(v);
                return;
            }
            if (!variable ||
                !(V_VT(variable) == VT_EMPTY || V_VT(variable) == (VT_ARRAY | VT_RECORD)))
                throw Error::runtime(err::TypeIncompatible);
            V_VT(temporaire) = VT_ARRAY | VT_RECORD;
            V_ARRAY(temporaire) = V_VT(variable) == VT_EMPTY ? nullptr : V_ARRAY(variable);
            V_VT(variable) = VT_EMPTY;  // the array moves to the temporary and comes back
            argument.variableHote = variable;
            argument.ecrireEnRetour = true;
            return;
        }
        default:
            convertir(*hote, type.type, temporaire);
            if (variable && sortant) {
                argument.variableHote = variable;
                argument.ecrireEnRetour = true;
            }
            return;
    }
}

// The variant DispCallFunc reads for a slot's parameter: the value itself,
// or a reference to it.
void pourAppel(const Argument& argument, const TypeParametre& type, VARIANT* appel) {
    VARIANT* source = argument.passe;
    VariantInit(appel);
    if (!type.parReference || source != &argument.temporaire) {
        *appel = *source;  // a shallow copy: the argument keeps ownership
        if (type.type == VT_VARIANT && type.parReference) {
            V_VT(appel) = VT_BYREF | VT_VARIANT;
            V_VARIANTREF(appel) = source;
        }
        return;
    }
    if (type.type == VT_VARIANT) {
        V_VT(appel) = VT_BYREF | VT_VARIANT;
        V_VARIANTREF(appel) = source;
        return;
    }
    V_VT(appel) = VT_BYREF | (type.type == VT_ARRAY ? VT_ARRAY | VT_RECORD : type.type);
    V_BYREF(appel) = &V_BYREF(source);
}

// The member a call names: its kind is chosen from the call's flags, and a
// property read called as a method (or the reverse) finds it all the same.
HRESULT trouver(ITypeInfo* info, DISPID membre, WORD drapeaux, FUNCDESC** fonction) {
    TYPEATTR* attributs = nullptr;
    HRESULT hr = info->GetTypeAttr(&attributs);
    if (FAILED(hr)) return hr;
    FUNCDESC* candidats[9] = {};  // by INVOKEKIND
    for (UINT i = 0; i < attributs->cFuncs; ++i) {
        FUNCDESC* f = nullptr;
        if (FAILED(info->GetFuncDesc(i, &f))) continue;
        if (f->memid == membre && f->invkind < 9 && !candidats[f->invkind])
            candidats[f->invkind] = f;
        else
            info->ReleaseFuncDesc(f);
    }
    info->ReleaseTypeAttr(attributs);
    static const INVOKEKIND ecriture[] = {INVOKE_PROPERTYPUTREF, INVOKE_PROPERTYPUT};
    static const INVOKEKIND ecritureValeur[] = {INVOKE_PROPERTYPUT, INVOKE_PROPERTYPUTREF};
    static const INVOKEKIND methode[] = {INVOKE_FUNC, INVOKE_PROPERTYGET};
    static const INVOKEKIND lecture[] = {INVOKE_PROPERTYGET, INVOKE_FUNC};
    const INVOKEKIND* ordre = (drapeaux & DISPATCH_PROPERTYPUTREF) ? ecriture
                              : (drapeaux & DISPATCH_PROPERTYPUT)  ? ecritureValeur
                              : (drapeaux & DISPATCH_METHOD)       ? methode
                                                                   : lecture;
    *fonction = candidats[ordre[0]] ? candidats[ordre[0]] : candidats[ordre[1]];
    for (FUNCDESC* f : candidats)
        if (f && f != *fonction) info->ReleaseFuncDesc(f);
    return *fonction ? S_OK : DISP_E_MEMBERNOTFOUND;
}

// Fills EXCEPINFO from the error object the member set.
HRESULT exception(HRESULT code, EXCEPINFO* sortie) {
    if (!sortie) return code;
    ZeroMemory(sortie, sizeof *sortie);
    sortie->scode = code;
    IErrorInfo* info = nullptr;
    if (GetErrorInfo(0, &info) == S_OK && info) {
        info->GetSource(&sortie->bstrSource);
        info->GetDescription(&sortie->bstrDescription);
        info->Release();
    }
    return DISP_E_EXCEPTION;
}

struct FonctionLiberee {
    ITypeInfo* info;
    FUNCDESC* fonction;
    ~FonctionLiberee() { info->ReleaseFuncDesc(fonction); }
};

}  // namespace

HRESULT invoquer(REFIID iidInterface, IDispatch* objet, DISPID membre, WORD drapeaux,
                 DISPPARAMS* params, VARIANT* resultat, EXCEPINFO* exceptionHote, UINT* argErreur) {
    ITypeInfo* info = typeInfoVtable(iidInterface);
    if (!info) return E_UNEXPECTED;
    FUNCDESC* fonction = nullptr;
    HRESULT hr = trouver(info, membre, drapeaux, &fonction);
    if (FAILED(hr)) return hr;
    FonctionLiberee liberation{info, fonction};

    DISPPARAMS vide{};
    if (!params) params = &vide;
    bool ecriture =
        fonction->invkind == INVOKE_PROPERTYPUT || fonction->invkind == INVOKE_PROPERTYPUTREF;
    int nombre = fonction->cParams;
    bool avecRetour = nombre > 0 && (fonction->lprgelemdescParam[nombre - 1].paramdesc.wParamFlags &
                                     PARAMFLAG_FRETVAL);
    int entrees = nombre - (avecRetour ? 1 : 0);

    // Where each parameter's argument sits in the host's list.
    int nommes = static_cast<int>(params->cNamedArgs);
    int positionnels = static_cast<int>(params->cArgs) - nommes;
    const VARIANT* valeurEcrite = nullptr;
    for (int i = 0; i < nommes; ++i) {
        if (ecriture && params->rgdispidNamedArgs[i] == DISPID_PROPERTYPUT)
            valeurEcrite = &params->rgvarg[i];
        else
            return DISP_E_NONAMEDARGS;
    }
    if (ecriture && !valeurEcrite) return DISP_E_PARAMNOTOPTIONAL;
    int attendus = ecriture ? entrees - 1 : entrees;
    if (positionnels > attendus) {
        // A host that indexes what a member gives (calcul.Rubriques("CA3HD"),
        // rubrique.LignesRubrique(1)) means the default member of the
        // object it returns, as Visual Basic reads it.
        if (ecriture || entrees != 0 || !avecRetour || nommes != 0) return DISP_E_BADPARAMCOUNT;
        VARIANT rendu;
        VariantInit(&rendu);
        hr = invoquer(iidInterface, objet, membre, drapeaux, &vide, &rendu, exceptionHote,
                      argErreur);
        if (SUCCEEDED(hr) && V_VT(&rendu) == VT_DISPATCH && V_DISPATCH(&rendu))
            hr = V_DISPATCH(&rendu)->Invoke(DISPID_VALUE, IID_NULL, LOCALE_USER_DEFAULT, drapeaux,
                                            params, resultat, exceptionHote, argErreur);
        else if (SUCCEEDED(hr))
            hr = DISP_E_BADPARAMCOUNT;
        VariantClear(&rendu);
        return hr;
    }

    auto argumentHote = [&](int i) -> const VARIANT* {
        if (ecriture && i == entrees - 1) return valeurEcrite;
        if (i < positionnels) return &params->rgvarg[params->cArgs - 1 - static_cast<UINT>(i)];
        return nullptr;
    };
    for (int i = 0; i < entrees; ++i)
        if (manquant(argumentHote(i)) &&
            !(fonction->lprgelemdescParam[i].paramdesc.wParamFlags & PARAMFLAG_FOPT))
            return DISP_E_PARAMNOTOPTIONAL;

    std::vector<Argument> arguments(static_cast<size_t>(nombre));
    std::vector<TypeParametre> types(static_cast<size_t>(nombre));
    HRESULT conversion = appel(iidInterface, [&] {
        for (int i = 0; i < entrees; ++i) {
            const VARIANT* hote = argumentHote(i);
            types[i] = resoudre(info, fonction->lprgelemdescParam[i].tdesc);
            try {
                preparer(hote, fonction->lprgelemdescParam[i], types[i], arguments[i]);
            } catch (...) {
                if (argErreur && !(ecriture && i == entrees - 1))
                    *argErreur = params->cArgs - 1 - static_cast<UINT>(i);
                throw;
            }
        }
        if (avecRetour) {
            types[entrees] = resoudre(info, fonction->lprgelemdescParam[entrees].tdesc);
            VARTYPE t = types[entrees].type;
            VARTYPE vide = t;
            if (t == VT_ARRAY) vide = VT_ARRAY | VT_RECORD;
            if (t == VT_VARIANT) vide = VT_EMPTY;
            V_VT(&arguments[entrees].temporaire) = vide;
        }
    });
    if (FAILED(conversion)) return exception(conversion, exceptionHote);

    std::vector<VARIANT> pourSlot(static_cast<size_t>(nombre));
    std::vector<VARIANT*> pointeurs(static_cast<size_t>(nombre));
    std::vector<VARTYPE> typesSlot(static_cast<size_t>(nombre));
    for (int i = 0; i < nombre; ++i) {
        pourAppel(arguments[i], types[i], &pourSlot[i]);
        pointeurs[i] = &pourSlot[i];
        typesSlot[i] = V_VT(&pourSlot[i]);
    }
    VARIANT retour;
    VariantInit(&retour);
    hr = DispCallFunc(objet, fonction->oVft, CC_STDCALL, VT_ERROR, static_cast<UINT>(nombre),
                      typesSlot.data(), pointeurs.data(), &retour);
    if (FAILED(hr)) return hr;
    HRESULT code = V_ERROR(&retour);
    if (FAILED(code)) return exception(code, exceptionHote);

    for (int i = 0; i < entrees; ++i) {
        Argument& a = arguments[i];
        if (!a.ecrireEnRetour) continue;
        // An Empty variable the member left unsized stays Empty.
        if (V_VT(&a.temporaire) == (VT_ARRAY | VT_RECORD) && !V_ARRAY(&a.temporaire))
            V_VT(&a.temporaire) = VT_EMPTY;
        VariantClear(a.variableHote);
        *a.variableHote = a.temporaire;  // moves the value to the host
        VariantInit(&a.temporaire);
    }
    if (avecRetour) {
        VARIANT& valeur = arguments[entrees].temporaire;
        if (resultat) {
            VariantClear(resultat);
            *resultat = valeur;  // moves the result to the host
            VariantInit(&valeur);
        }
    }
    return S_OK;
}

}  // namespace qx::com
