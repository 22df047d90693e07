// Host texts (BSTR, UTF-16) to the library's UTF-8 texts and back.
#pragma once

#include <windows.h>

#include <oleauto.h>

#include <string>
#include <string_view>

#include "platform/bstr.h"
#include "platform/error.h"

namespace qx::com {

// A null BSTR is the empty text, as hosts treat it.
inline std::string texte(BSTR b) {
    return utf8FromBstr(b);
}

// A text passed by reference; 5 for a null reference.
inline std::string texte(const BSTR* b) {
    if (!b) throw Error::runtime(err::AppelIncorrect);
    return texte(*b);
}

// Hands a text to an [out, retval] BSTR; 5 for a null pointer.
inline void rendre(BSTR* sortie, std::string_view t) {
    if (!sortie) throw Error::runtime(err::AppelIncorrect);
    *sortie = newBstr(t);
}

}  // namespace qx::com
