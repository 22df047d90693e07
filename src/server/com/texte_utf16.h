// UTF-16 texts of automation hosts to the library's UTF-8 and back, with no
// character lost: pairs of surrogates become one four-byte sequence, and a
// lone surrogate (which a host's string may hold) is kept as its own
// three-byte form so that it comes back unchanged. Portable: no OS header.
#pragma once

#include <string>
#include <string_view>

namespace qx::com {

std::string versUtf8(std::u16string_view texte);
// Bytes that are no UTF-8 become U+FFFD, one per byte.
std::u16string versUtf16(std::string_view texte);

}  // namespace qx::com
