// Automation's texts (BSTR: UTF-16 with their length) to the library's
// UTF-8 texts and back, for the automation client and the server. Windows
// only.
#pragma once

#include <windows.h>

#include <oleauto.h>

#include <string>
#include <string_view>

#include "platform/error.h"
#include "platform/utf16.h"

namespace qx {

// A null BSTR is the empty text, as hosts treat it.
inline std::string utf8FromBstr(BSTR b) {
    if (!b) return {};
    return utf8FromUtf16(
        std::u16string_view(reinterpret_cast<const char16_t*>(b), SysStringLen(b)));
}

// A new BSTR; raises 7 when memory runs out.
inline BSTR newBstr(std::string_view text) {
    const std::u16string wide = utf16FromUtf8(text);
    BSTR b = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(wide.data()),
                               static_cast<UINT>(wide.size()));
    if (!b) throw Error::runtime(err::MemoireInsuffisante);
    return b;
}

}  // namespace qx
