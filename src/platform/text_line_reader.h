// Reads a text file line by line in fixed-size blocks, so that memory stays
// flat whatever the file's size. A line ends at LF, CR LF or a lone CR; the
// line break is not part of the line. Bytes are handed on as they are (no
// decoding).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace qx {

class TextLineReader {
public:
    // Raises 53 (file not found) for a missing path or a directory.
    explicit TextLineReader(const std::string& path);
    ~TextLineReader();
    TextLineReader(const TextLineReader&) = delete;
    TextLineReader& operator=(const TextLineReader&) = delete;

    // The next line, valid until the next call; false at the end of the
    // file. A read failure raises 75 (path/file access error).
    bool next(std::string_view& line);
    // 1-based number of the line last returned.
    uint64_t lineNumber() const { return lineNumber_; }
    // Bytes read so far, and the file's size (for a progress display).
    uint64_t bytesRead() const { return bytesRead_; }
    uint64_t size() const { return size_; }

private:
    bool fill();  // false at the end of the file

    std::FILE* file_ = nullptr;
    std::string path_;
    std::vector<char> buffer_;
    size_t begin_ = 0, end_ = 0;
    bool eof_ = false;
    bool pendingCr_ = false;  // the last block ended on CR: skip a leading LF
    std::string carry_;       // a line that spans two blocks
    uint64_t lineNumber_ = 0;
    uint64_t bytesRead_ = 0;
    uint64_t size_ = 0;
};

}  // namespace qx
