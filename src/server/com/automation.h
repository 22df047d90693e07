// The template every automation class of these DLLs is made from: the
// reference count, QueryInterface, IDispatch through the type information
// of the class's interface, ISupportErrorInfo and IProvideClassInfo. A
// class adds only its forwarding members:
//
//   class Emetteur : public Automation<Emetteur, _Cls_Emetteur, qx::Cls_Emetteur> {
//       HRESULT STDMETHODCALLTYPE get_vNom(BSTR* v) override {
//           return appel([&] { rendre(v, coeur().vNom()); });
//       }
//   };
//
// Identity: a core object has at most one wrapper, kept in the core's
// identity slot, so a host gets the same object back however it reaches
// it. The wrapper holds the core object; the core never holds the wrapper,
// so the core object lives exactly as long as the host holds it (or the
// library does).
// Apartment-threaded: called on the thread that made it.
#pragma once

#include <windows.h>

#include <oaidl.h>
#include <ocidl.h>

#include <memory>

#include "server/com/arguments.h"
#include "server/com/enveloppe.h"
#include "server/com/erreurs.h"
#include "server/com/module.h"
#include "server/com/types.h"

namespace qx::com {

template <class Classe, class Interface, class Coeur>
class Automation : public Interface,
                   public ISupportErrorInfo,
                   public IProvideClassInfo,
                   public EnveloppeQx {
public:
    // The one wrapper of a core object, with a reference for the caller;
    // null for no object.
    static Interface* envelopper(const std::shared_ptr<Coeur>& coeur) {
        if (!coeur) return nullptr;
        if (void* existant = coeur->hostWrapper()) {
            auto* classe = static_cast<Classe*>(existant);
            classe->AddRef();
            return classe;
        }
        return new Classe(coeur);
    }

    static const IID& iidInterface() { return __uuidof(Interface); }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** sortie) override {
        if (!sortie) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(Interface))
            *sortie = static_cast<Interface*>(this);
        else if (iid == IID_ISupportErrorInfo)
            *sortie = static_cast<ISupportErrorInfo*>(this);
        else if (iid == IID_IProvideClassInfo)
            *sortie = static_cast<IProvideClassInfo*>(this);
        else if (iid == IID_EnveloppeQx)
            *sortie = static_cast<EnveloppeQx*>(this);
        else {
            *sortie = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
    ULONG STDMETHODCALLTYPE Release() override {
        LONG reste = InterlockedDecrement(&references_);
        if (reste == 0) delete static_cast<Classe*>(this);
        return reste;
    }

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override {
        if (!n) return E_POINTER;
        *n = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
        if (index != 0) return DISP_E_BADINDEX;
        return typeInfo(__uuidof(Interface), info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* noms, UINT n, LCID,
                                            DISPID* ids) override {
        ITypeInfo* info = typeInfoCache(__uuidof(Interface));
        if (!info) return E_UNEXPECTED;
        return DispGetIDsOfNames(info, noms, n, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID membre, REFIID, LCID, WORD drapeaux, DISPPARAMS* params,
                                     VARIANT* resultat, EXCEPINFO* exception,
                                     UINT* argErreur) override {
        return invoquer(__uuidof(Interface), static_cast<Interface*>(this), membre, drapeaux,
                        params, resultat, exception, argErreur);
    }

    // ISupportErrorInfo
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override {
        return iid == __uuidof(Interface) ? S_OK : S_FALSE;
    }

    // IProvideClassInfo
    HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** info) override {
        return typeInfo(Classe::classe(), info);
    }

    // EnveloppeQx
    ObjectRef objetCoeur() const override { return coeur_; }

protected:
    explicit Automation(std::shared_ptr<Coeur> coeur) : coeur_(std::move(coeur)) {
        coeur_->setHostWrapper(static_cast<Classe*>(this));
        objetCree();
    }
    virtual ~Automation() {
        coeur_->setHostWrapper(nullptr);
        objetDetruit();
    }
    Automation(const Automation&) = delete;
    Automation& operator=(const Automation&) = delete;

    Coeur& coeur() const { return *coeur_; }
    const std::shared_ptr<Coeur>& coeurPartage() const { return coeur_; }

    // Runs a member's body; every failure becomes the host's error.
    template <class Corps>
    HRESULT appel(Corps&& corps) const noexcept {
        return com::appel(__uuidof(Interface), std::forward<Corps>(corps));
    }

private:
    LONG references_ = 1;
    std::shared_ptr<Coeur> coeur_;
};

// A class factory's work: a new core object made by the given function,
// handed out through its wrapper; its failure is reported as every
// member's is.
template <class Classe, class Fabrication>
HRESULT creerObjet(REFIID iid, void** sortie, Fabrication&& fabriquer) {
    IUnknown* objet = nullptr;
    HRESULT hr = appel(Classe::iidInterface(), [&] { objet = Classe::envelopper(fabriquer()); });
    if (FAILED(hr)) return hr;
    hr = objet->QueryInterface(iid, sortie);
    objet->Release();
    return hr;
}

}  // namespace qx::com
