// A host process keeps the C runtime's locale at "C": the separators come
// from the user's regional settings instead, read again at each call so that
// a change in the control panel is seen without restarting the host.
#include <windows.h>

#include "platform/locale.h"
#include "platform/utf16.h"

namespace qx {
namespace {

// Empty when the setting cannot be read.
std::string userSetting(LCTYPE type) {
    wchar_t buffer[16];  // the settings allow at most 3 characters and the end
    const int n = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type, buffer, 16);
    if (n <= 1) return {};
    return utf8FromWide(std::wstring_view(buffer, static_cast<size_t>(n - 1)));
}

}  // namespace

NumberSeparators systemSeparators() {
    NumberSeparators result;
    if (std::string decimal = userSetting(LOCALE_SDECIMAL); !decimal.empty())
        result.decimal = std::move(decimal);
    result.thousands = userSetting(LOCALE_STHOUSAND);
    return result;
}

}  // namespace qx
