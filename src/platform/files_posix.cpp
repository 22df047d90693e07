// POSIX paths are bytes: a UTF-8 path is already the system's form.
#include <cstdlib>

#include "platform/files.h"

namespace qx {

std::filesystem::path nativePath(std::string_view utf8) {
    return std::filesystem::path(std::string(utf8));
}

std::string utf8Path(const std::filesystem::path& path) {
    return path.native();
}

FileHandle openFile(const std::string& path, const char* mode) {
    return FileHandle(std::fopen(path.c_str(), mode));
}

std::optional<std::string> environmentVariable(const char* name) {
    const char* value = std::getenv(name);
    if (!value) return std::nullopt;
    return std::string(value);
}

}  // namespace qx
