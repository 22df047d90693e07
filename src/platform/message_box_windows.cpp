// A modal box needs a desktop someone sees. A service's window station is
// invisible, and a box there would wait for a click that never comes: the
// text then goes to standard error and the debugger output, and the call
// returns at once. Under Wine without a display, the box returns at once by
// itself (Wine's null display driver), so tests there never wait either.
#include <windows.h>

#include <cstdio>

#include "platform/message_box.h"
#include "platform/utf16.h"

namespace qx {
namespace {

bool desktopVisible() {
    HWINSTA station = GetProcessWindowStation();
    USEROBJECTFLAGS flags{};
    if (!station || !GetUserObjectInformationW(station, UOI_FLAGS, &flags, sizeof flags, nullptr))
        return false;
    return (flags.dwFlags & WSF_VISIBLE) != 0 && GetSystemMetrics(SM_CXSCREEN) > 0;
}

}  // namespace

void showSystemMessage(const std::string& text) {
    const std::wstring wide = wideFromUtf8(text);
    // The library's name as title, as an application's message box has its own.
    if (desktopVisible() && MessageBoxW(nullptr, wide.c_str(), L"QX_TVA", MB_OK) != 0) return;
    OutputDebugStringW(wide.c_str());
    std::fprintf(stderr, "%s\n", text.c_str());
}

}  // namespace qx
