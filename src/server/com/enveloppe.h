// What every automation object of these DLLs has in common beside its own
// interface: the core object it stands for. A host hands objects back to us
// as bare IUnknown or IDispatch pointers; IID_EnveloppeQx tells ours from a
// foreign one and reaches the core object behind it.
#pragma once

#include <windows.h>

#include <unknwn.h>

#include "platform/error.h"
#include "platform/value.h"

namespace qx::com {

// {6A1F5C3E-2B7D-4E0A-9C61-3F8B2D4E7A10}: private, never registered.
inline constexpr IID IID_EnveloppeQx = {
    0x6a1f5c3e, 0x2b7d, 0x4e0a, {0x9c, 0x61, 0x3f, 0x8b, 0x2d, 0x4e, 0x7a, 0x10}};

class EnveloppeQx {
public:
    virtual ULONG STDMETHODCALLTYPE AddRef() = 0;
    virtual ULONG STDMETHODCALLTYPE Release() = 0;
    virtual ObjectRef objetCoeur() const = 0;

protected:
    ~EnveloppeQx() = default;
};

// The core object behind a host's object: none for a null pointer, and
// none with *etranger set when the object is not one of ours.
ObjectRef coeurDe(IUnknown* objet, bool* etranger = nullptr);

// The core object of the class a member expects; raises 13 for an object
// of another class or a foreign one, 91 for Nothing when one is needed.
template <class T>
std::shared_ptr<T> coeurAttendu(IUnknown* objet, bool nothingPermis) {
    if (!objet) {
        if (nothingPermis) return nullptr;
        throw Error::runtime(err::ObjetNonDefini);
    }
    auto coeur = std::dynamic_pointer_cast<T>(coeurDe(objet));
    if (!coeur) throw Error::runtime(err::TypeIncompatible);
    return coeur;
}

}  // namespace qx::com
