// Windows paths are UTF-16: every name goes through the wide-character API.
#include <windows.h>

#include <cstdlib>
#include <cwchar>
#include <memory>

#include "platform/files.h"
#include "platform/utf16.h"

namespace qx {

std::filesystem::path nativePath(std::string_view utf8) {
    return std::filesystem::path(wideFromUtf8(utf8));
}

std::string utf8Path(const std::filesystem::path& path) {
    return utf8FromWide(path.native());
}

FileHandle openFile(const std::string& path, const char* mode) {
    return FileHandle(_wfopen(wideFromUtf8(path).c_str(), wideFromUtf8(mode).c_str()));
}

std::optional<std::string> environmentVariable(const char* name) {
    const wchar_t* value = _wgetenv(wideFromUtf8(name).c_str());
    if (!value) return std::nullopt;
    return utf8FromWide(value);
}

// The system's own listing, not std::filesystem's iterator: libstdc++'s is
// noexcept yet allocates, so running out of memory there would end the
// program instead of failing the call.
std::vector<std::string> folderEntries(const std::string& path) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((wideFromUtf8(path) + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    std::unique_ptr<void, BOOL(WINAPI*)(HANDLE)> closer(search, FindClose);
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") names.push_back(utf8FromWide(name));
    } while (FindNextFileW(search, &found));
    return names;
}

}  // namespace qx
