// Collection keys compare without regard to letter case: ASCII letters and
// the Latin-1 letters of UTF-8 texts (À..Þ fold onto à..þ).
#pragma once

#include <string>
#include <string_view>

namespace qx {

std::string foldKey(std::string_view key);

}  // namespace qx
