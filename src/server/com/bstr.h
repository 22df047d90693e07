// Host texts (BSTR, UTF-16) to the library's UTF-8 texts and back.
#pragma once

#include <windows.h>

#include <oleauto.h>

#include <string>
#include <string_view>

#include "platform/error.h"
#include "platform/utf16.h"

namespace qx::com {

// A null BSTR is the empty text, as hosts treat it.
inline std::string texte(BSTR b) {
    return utf8FromUtf16(std::u16string_view(reinterpret_cast<const char16_t*>(b ? b : L""),
                                             b ? SysStringLen(b) : 0));
}

// A text passed by reference; 5 for a null reference.
inline std::string texte(const BSTR* b) {
    if (!b) throw Error::runtime(err::AppelIncorrect);
    return texte(*b);
}

inline std::u16string texteHote(std::string_view t) {
    return utf16FromUtf8(t);
}

// A new BSTR; raises 7 when memory runs out.
BSTR nouveauBstr(std::string_view t);

// Hands a text to an [out, retval] BSTR; 5 for a null pointer.
inline void rendre(BSTR* sortie, std::string_view t) {
    if (!sortie) throw Error::runtime(err::AppelIncorrect);
    *sortie = nouveauBstr(t);
}

}  // namespace qx::com
