// Files and folders named by UTF-8 paths, the one form of path inside the
// library. On Windows every call goes through the wide-character API, so
// that a name such as "C:\Dossiers\Société été\résultat.xml" works whatever
// the system's code page; on POSIX the bytes pass unchanged. None of these
// throws: each reports failure by its result.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qx {

// The system's form of a UTF-8 path, and back. A path that is not valid
// UTF-8 has its invalid bytes replaced on Windows (it names no file a user typed).
std::filesystem::path nativePath(std::string_view utf8);
std::string utf8Path(const std::filesystem::path& path);

// A name in a folder, with the system's separator.
std::string joinPath(const std::string& folder, std::string_view name);

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// Opens with a C mode ("rb", "wb"); empty on failure.
FileHandle openFile(const std::string& path, const char* mode);

// Whether something of that name exists and is not a folder.
bool isFile(const std::string& path);
bool isFolder(const std::string& path);
// The size in bytes of a file; nothing when it cannot be read.
std::optional<uint64_t> fileSize(const std::string& path);

// The rest of an open file; nothing on a read error.
std::optional<std::string> readAll(std::FILE* file);

// Removes a file (never a folder); true when it is gone, also when it was
// not there.
bool removeFile(const std::string& path);

// Creates a folder and its missing parents; an empty text when done,
// otherwise the system's reason.
std::string createFolders(const std::string& path);

// The names of the entries of a folder, in no particular order; empty when
// it cannot be read.
std::vector<std::string> folderEntries(const std::string& path);

// The system's folder for temporary files; empty when it has none.
std::string temporaryFolder();

// The value of an environment variable in UTF-8; nothing when unset.
std::optional<std::string> environmentVariable(const char* name);

}  // namespace qx
