#include "platform/text_line_reader.h"

#include <cerrno>
#include <cstring>

#include "platform/error.h"
#include "platform/files.h"

namespace qx {

namespace {
constexpr size_t kBlock = 1 << 16;
}

TextLineReader::TextLineReader(const std::string& path) : path_(path), buffer_(kBlock) {
    if (!isFile(path)) throw Error(err::FichierIntrouvable, "Fichier introuvable : " + path);
    file_ = openFile(path, "rb").release();
    if (!file_)
        throw Error(err::FichierIntrouvable,
                    "Fichier introuvable : " + path + " (" + std::strerror(errno) + ")");
    size_ = fileSize(path).value_or(0);
}

TextLineReader::~TextLineReader() {
    if (file_) std::fclose(file_);
}

bool TextLineReader::fill() {
    if (eof_) return false;
    const size_t n = std::fread(buffer_.data(), 1, buffer_.size(), file_);
    if (n < buffer_.size()) {
        if (std::ferror(file_))
            throw Error(err::AccesFichier,
                        std::string(errorDescription(err::AccesFichier)) + " : lecture de " + path_);
        eof_ = true;
    }
    bytesRead_ += n;
    begin_ = 0;
    end_ = n;
    return n > 0;
}

bool TextLineReader::next(std::string_view& line) {
    carry_.clear();
    bool spans = false;
    for (;;) {
        if (begin_ == end_ && !fill()) {
            if (!spans) return false;
            ++lineNumber_;
            line = carry_;
            return true;
        }
        if (pendingCr_) {
            pendingCr_ = false;
            if (buffer_[begin_] == '\n' && ++begin_ == end_) continue;
        }
        const char* start = buffer_.data() + begin_;
        const char* stop = buffer_.data() + end_;
        const char* brk = start;
        while (brk < stop && *brk != '\n' && *brk != '\r') ++brk;
        if (brk == stop) {
            carry_.append(start, stop);
            spans = true;
            begin_ = end_;
            continue;
        }
        const size_t length = brk - start;
        begin_ += length + 1;
        if (*brk == '\r') {
            if (begin_ < end_) {
                if (buffer_[begin_] == '\n') ++begin_;
            } else {
                pendingCr_ = true;
            }
        }
        ++lineNumber_;
        if (spans) {
            carry_.append(start, length);
            line = carry_;
        } else {
            line = std::string_view(start, length);
        }
        return true;
    }
}

}  // namespace qx
