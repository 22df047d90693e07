// The type library embedded in this DLL, loaded once, and the type
// information of each interface and class, loaded once and kept: dispatch
// and error reporting read them on every call.
#pragma once

#include <windows.h>

#include <oaidl.h>

namespace qx::com {

// The type information of an interface or class of the embedded library;
// the caller receives its own reference.
HRESULT typeInfo(REFGUID guid, ITypeInfo** resultat);
// The same without a reference of its own, for calls made while the DLL
// keeps the cache (nullptr when the library cannot be read).
ITypeInfo* typeInfoCache(REFGUID guid);

// The type information of an entry named in the embedded library (a
// record), kept the same way; nullptr when there is none.
ITypeInfo* typeInfoNomme(const wchar_t* nom);

// The vtable side of a dual interface, kept the same way.
ITypeInfo* typeInfoVtable(REFIID iid);

}  // namespace qx::com
