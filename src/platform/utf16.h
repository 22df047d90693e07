// The library's UTF-8 texts to the UTF-16 of automation and Windows and
// back, with no character lost: a surrogate pair becomes one four-byte
// sequence, and a lone surrogate (which a UTF-16 string may hold) keeps its
// own three-byte form so that it comes back unchanged. Portable.
#pragma once

#include <string>
#include <string_view>

namespace qx {

std::string utf8FromUtf16(std::u16string_view text);
// Bytes that are no UTF-8 become U+FFFD, one per byte.
std::u16string utf16FromUtf8(std::string_view text);

#ifdef _WIN32
// The same for the wide texts of the Windows calls (wchar_t is UTF-16 there).
inline std::wstring wideFromUtf8(std::string_view text) {
    const std::u16string wide = utf16FromUtf8(text);
    return std::wstring(wide.begin(), wide.end());
}
inline std::string utf8FromWide(std::wstring_view text) {
    return utf8FromUtf16(
        std::u16string_view(reinterpret_cast<const char16_t*>(text.data()), text.size()));
}
#endif

}  // namespace qx
