// A file of the system's temporary folder, removed when the object ends.
#pragma once

#include <string>
#include <string_view>

namespace qx {

class TemporaryFile {
public:
    // A new, empty file whose name starts with `prefix` and ends with `suffix`.
    TemporaryFile(std::string_view prefix, std::string_view suffix);
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    const std::string& path() const { return path_; }

private:
    std::string path_;
};

}  // namespace qx
