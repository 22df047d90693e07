// UTF-8 and UTF-16, for the Windows calls that take wide texts.
#pragma once

#include <string>
#include <string_view>

namespace qx {

// An invalid sequence becomes U+FFFD in either direction.
std::wstring toUtf16(std::string_view utf8);
std::string toUtf8(std::wstring_view utf16);

}  // namespace qx
