// The one road of a failure to a host: every member runs inside appel(),
// which turns whatever the core raised into the result code and the error
// object a host reads (number, French description, source "Qx_TVA").
// Nothing thrown ever leaves a member.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include "platform/error.h"

namespace qx::com {

// Sets the thread's error object for the failure and gives its result code.
HRESULT signaler(const Error& erreur, REFIID iidInterface, const wchar_t* source);
// The source every error object of this DLL names.
const wchar_t* sourceErreurs();

template <class Corps>
HRESULT appel(REFIID iidInterface, Corps&& corps) noexcept {
    try {
        corps();
        return S_OK;
    } catch (...) {
        try {
            return signaler(Error::fromCurrentException(), iidInterface, sourceErreurs());
        } catch (...) {
            return E_OUTOFMEMORY;
        }
    }
}

}  // namespace qx::com
