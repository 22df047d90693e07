// IDispatch::Invoke for every interface of these DLLs. The member is found
// in the interface's type information and called through its vtable slot;
// on the way every argument is made exactly what the slot declares:
// - a by-reference argument that arrives as VT_BYREF|VT_VARIANT (what
//   script hosts send for a variable) is converted to the declared type and
//   written back after the call; a value that arrives by value is passed
//   through a temporary;
// - a missing optional argument is passed as its empty value;
// - conversions follow the library's own rules: 13 type mismatch, 6
//   overflow, 94 Null where a value is needed;
// - a property read called as a method and the other way round both work.
// A failure comes back as DISP_E_EXCEPTION with the error object's number,
// description and source in EXCEPINFO.
#pragma once

#include <windows.h>

#include <oaidl.h>

namespace qx::com {

HRESULT invoquer(REFIID iidInterface, IDispatch* objet, DISPID membre, WORD drapeaux,
                 DISPPARAMS* params, VARIANT* resultat, EXCEPINFO* exception, UINT* argErreur);

}  // namespace qx::com
