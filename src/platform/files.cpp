#include "platform/files.h"

#include <system_error>

namespace qx {

namespace fs = std::filesystem;

std::string joinPath(const std::string& folder, std::string_view name) {
    return utf8Path(nativePath(folder) / nativePath(name));
}

bool isFile(const std::string& path) {
    if (path.empty()) return false;
    std::error_code ec;
    const fs::file_status status = fs::status(nativePath(path), ec);
    return !ec && fs::exists(status) && !fs::is_directory(status);
}

bool isFolder(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::is_directory(nativePath(path), ec);
}

std::optional<uint64_t> fileSize(const std::string& path) {
    std::error_code ec;
    const uintmax_t size = fs::file_size(nativePath(path), ec);
    if (ec) return std::nullopt;
    return static_cast<uint64_t>(size);
}

std::optional<std::string> readAll(std::FILE* file) {
    std::string content;
    char buffer[64 * 1024];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) content.append(buffer, n);
    if (std::ferror(file)) return std::nullopt;
    return content;
}

bool removeFile(const std::string& path) {
    const fs::path native = nativePath(path);
    std::error_code ec;
    if (fs::is_directory(native, ec)) return false;
    fs::remove(native, ec);
    return !ec;
}

std::string createFolders(const std::string& path) {
    std::error_code ec;
    fs::create_directories(nativePath(path), ec);
    return ec ? ec.message() : std::string();
}

std::string temporaryFolder() {
    std::error_code ec;
    const fs::path folder = fs::temp_directory_path(ec);
    return ec ? std::string() : utf8Path(folder);
}

}  // namespace qx
