// Host values (VARIANT) to the library's tagged values and back.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include "platform/value.h"

namespace qx::com {

// Reads through one level of reference. Null and a missing argument keep
// their kinds; one of our objects gives its core object; a foreign object
// gives an object that holds it (ObjetHote); arrays and other kinds raise 13.
Value valeurDe(const VARIANT& v);
// Writes into a cleared variant; an object goes out through its one wrapper.
void variantDe(const Value& valeur, VARIANT* sortie);

// Hands a value to an [out, retval] VARIANT (5 for a null pointer).
void rendreVariant(VARIANT* sortie, const Value& valeur);

// A foreign automation object handed to the library, kept as it was given.
class ObjetHote : public Object {
public:
    explicit ObjetHote(IDispatch* objet) : objet_(objet) { objet_->AddRef(); }
    ~ObjetHote() override { objet_->Release(); }
    ObjetHote(const ObjetHote&) = delete;
    ObjetHote& operator=(const ObjetHote&) = delete;
    IDispatch* objet() const { return objet_; }

private:
    IDispatch* objet_;
};

// The wrapper of a core object of any class of this DLL, with a reference
// for the caller (each DLL defines it over its own classes); 13 for an
// object this DLL cannot hand out.
IDispatch* envelopperObjet(const ObjectRef& objet);

}  // namespace qx::com
