// The enumerator a collection's NewEnum hands out: IEnumVARIANT over the
// members as they were when it was made (Next, Skip, Reset, Clone), so that
// For Each in VBScript and VBA and JScript's Enumerator walk them in
// position order even if the host changes the collection meanwhile.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include <memory>
#include <vector>

#include "platform/value.h"

namespace qx::com {

// A new enumerator over the objects, with a reference for the caller.
IUnknown* nouvelEnumerateur(const std::vector<ObjectRef>& membres);

template <class T>
IUnknown* nouvelEnumerateur(const std::vector<std::shared_ptr<T>>& membres) {
    return nouvelEnumerateur(std::vector<ObjectRef>(membres.begin(), membres.end()));
}

}  // namespace qx::com
