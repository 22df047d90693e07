// The four entry points of an in-process server, written once for both
// DLLs: each describes its type library and its classes, and its exports
// call these.
#pragma once

#include <windows.h>

#include <cstddef>

#include "server/com/module.h"

namespace qx::com {

struct ClasseServeur {
    const CLSID* clsid;
    const wchar_t* nom;     // the class's name in the type library
    const wchar_t* progId;  // null for a class hosts may not create
    // Makes a new object and gives the interface asked for; null for a
    // class hosts may not create.
    HRESULT (*creer)(REFIID iid, void** sortie);
};

struct DescriptionServeur {
    const GUID* bibliotheque;
    WORD versionMajeure;
    WORD versionMineure;
    const ClasseServeur* classes;
    size_t nombreClasses;
};

// Registration for the whole machine, or for the current user only (no
// administrator rights needed).
HRESULT enregistrer(const DescriptionServeur& serveur, bool utilisateur);
// Removes exactly what enregistrer wrote; removing twice is harmless.
HRESULT desenregistrer(const DescriptionServeur& serveur, bool utilisateur);
// DllInstall: "user" (any case) registers for the current user only; no
// text registers for the machine.
HRESULT installer(const DescriptionServeur& serveur, BOOL installation, LPCWSTR ligne);
// DllGetClassObject: a factory for the classes hosts may create only.
HRESULT objetClasse(const DescriptionServeur& serveur, REFCLSID clsid, REFIID iid, void** sortie);

}  // namespace qx::com

// The DLL's exports, over its description.
#define QX_POINTS_ENTREE(serveur)                                                 \
    extern "C" {                                                                  \
    HRESULT WINAPI DllRegisterServer() {                                          \
        return qx::com::enregistrer(serveur, false);                              \
    }                                                                             \
    HRESULT WINAPI DllUnregisterServer() {                                        \
        return qx::com::desenregistrer(serveur, false);                           \
    }                                                                             \
    HRESULT WINAPI DllInstall(BOOL installation, LPCWSTR ligne) {                 \
        return qx::com::installer(serveur, installation, ligne);                  \
    }                                                                             \
    HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** sortie) { \
        return qx::com::objetClasse(serveur, clsid, iid, sortie);                 \
    }                                                                             \
    HRESULT WINAPI DllCanUnloadNow() {                                            \
        return qx::com::dechargeable() ? S_OK : S_FALSE;                          \
    }                                                                             \
    }
