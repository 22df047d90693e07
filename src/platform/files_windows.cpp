// Windows paths are UTF-16: every name goes through the wide-character API.
#include <cstdlib>
#include <cwchar>

#include "platform/files.h"
#include "platform/text_utf16.h"

namespace qx {

std::filesystem::path nativePath(std::string_view utf8) {
    return std::filesystem::path(toUtf16(utf8));
}

std::string utf8Path(const std::filesystem::path& path) {
    return toUtf8(path.native());
}

FileHandle openFile(const std::string& path, const char* mode) {
    return FileHandle(_wfopen(toUtf16(path).c_str(), toUtf16(mode).c_str()));
}

std::optional<std::string> environmentVariable(const char* name) {
    const wchar_t* value = _wgetenv(toUtf16(name).c_str());
    if (!value) return std::nullopt;
    return toUtf8(value);
}

}  // namespace qx
