// POSIX paths are bytes: a UTF-8 path is already the system's form.
#include <dirent.h>

#include <cstdlib>
#include <cstring>
#include <memory>

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

// The system's own listing, not std::filesystem's iterator: libstdc++'s is
// noexcept yet allocates, so running out of memory there would end the
// program instead of failing the call.
std::vector<std::string> folderEntries(const std::string& path) {
    std::vector<std::string> names;
    std::unique_ptr<DIR, int (*)(DIR*)> folder(opendir(path.c_str()), closedir);
    if (!folder) return names;
    while (const dirent* entry = readdir(folder.get()))
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            names.emplace_back(entry->d_name);
    return names;
}

}  // namespace qx
