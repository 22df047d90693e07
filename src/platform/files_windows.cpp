// Windows paths are UTF-16: every name goes through the wide-character API.
#include <cstdlib>
#include <cwchar>

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

}  // namespace qx
