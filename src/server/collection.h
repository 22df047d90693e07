// The members every collection class shares (Item, Count, Remove,
// NewEnum), written once over the core collection's own members.
#pragma once

#include "server/com/enumerateur.h"
#include "server/com/variant.h"
#include "server/proprietes.h"

namespace qx::com {

// A position or a key given by reference; 5 for a null reference.
inline Value indice(const VARIANT* v) {
    if (!v) throw Error::runtime(err::AppelIncorrect);
    return valeurDe(*v);
}

}  // namespace qx::com

#define QX_MEMBRES_COLLECTION(Membre)                                                 \
    HRESULT STDMETHODCALLTYPE get_Item(VARIANT* cle, Membre** v) override {           \
        return appel([&] { rendreObjet(v, coeur().Item(indice(cle))); });             \
    }                                                                                 \
    QX_LECTURE_NOMBRE(LONG, Count)                                                    \
    HRESULT STDMETHODCALLTYPE Remove(VARIANT* cle) override {                         \
        return appel([&] { coeur().Remove(indice(cle)); });                           \
    }                                                                                 \
    HRESULT STDMETHODCALLTYPE get_NewEnum(IUnknown** v) override {                    \
        return appel([&] { rendreValeur(v, nouvelEnumerateur(coeur().NewEnum())); }); \
    }
