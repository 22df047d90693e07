// The forwarding members that only convert and call, written once: an
// object property, a text or number property (get and let over the core's vNom()/SetvNom()), and a
// public field (read and written directly, its let by value). A null
// pointer from a careless host is 5, never a crash.
#pragma once

#include "server/com/bstr.h"

namespace qx::com {

template <class T>
T lu(const T* entree) {
    if (!entree) throw Error::runtime(err::AppelIncorrect);
    return *entree;
}

template <class T>
void rendreValeur(T* sortie, T valeur) {
    if (!sortie) throw Error::runtime(err::AppelIncorrect);
    *sortie = valeur;
}

inline VARIANT_BOOL booleen(bool b) {
    return b ? VARIANT_TRUE : VARIANT_FALSE;
}

}  // namespace qx::com

// An object property: the core's object, wrapped for the host.
#define QX_OBJET(Interface, nom)                                  \
    HRESULT STDMETHODCALLTYPE get_##nom(Interface** v) override { \
        return appel([&] { rendreObjet(v, coeur().nom()); });     \
    }

// Read-only text and number properties.
#define QX_LECTURE_TEXTE(nom)                               \
    HRESULT STDMETHODCALLTYPE get_##nom(BSTR* v) override { \
        return appel([&] { rendre(v, coeur().nom()); });    \
    }
#define QX_LECTURE_NOMBRE(type, nom)                                 \
    HRESULT STDMETHODCALLTYPE get_##nom(type* v) override {          \
        return appel([&] { rendreValeur<type>(v, coeur().nom()); }); \
    }

#define QX_PROPRIETE_TEXTE(nom)                             \
    QX_LECTURE_TEXTE(nom)                                   \
    HRESULT STDMETHODCALLTYPE put_##nom(BSTR* v) override { \
        return appel([&] { coeur().Set##nom(texte(v)); });  \
    }

#define QX_PROPRIETE_NOMBRE(type, nom)                      \
    QX_LECTURE_NOMBRE(type, nom)                            \
    HRESULT STDMETHODCALLTYPE put_##nom(type* v) override { \
        return appel([&] { coeur().Set##nom(lu(v)); });     \
    }

#define QX_CHAMP_TEXTE(nom)                                 \
    HRESULT STDMETHODCALLTYPE get_##nom(BSTR* v) override { \
        return appel([&] { rendre(v, coeur().nom); });      \
    }                                                       \
    HRESULT STDMETHODCALLTYPE put_##nom(BSTR v) override {  \
        return appel([&] { coeur().nom = texte(v); });      \
    }

#define QX_CHAMP_ENTIER16(nom)                                      \
    HRESULT STDMETHODCALLTYPE get_##nom(short* v) override {        \
        return appel([&] { rendreValeur<short>(v, coeur().nom); }); \
    }                                                               \
    HRESULT STDMETHODCALLTYPE put_##nom(short v) override {         \
        return appel([&] { coeur().nom = v; });                     \
    }
