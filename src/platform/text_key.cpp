#include "platform/text_key.h"

namespace qx {

std::string foldKey(std::string_view key) {
    std::string folded(key);
    for (size_t i = 0; i < folded.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(folded[i]);
        if (c >= 'A' && c <= 'Z') {
            folded[i] = static_cast<char>(c + 32);
        } else if (c == 0xC3 && i + 1 < folded.size()) {
            unsigned char next = static_cast<unsigned char>(folded[i + 1]);
            // U+00C0..U+00DE are upper-case letters, except U+00D7 (×).
            if (next >= 0x80 && next <= 0x9E && next != 0x97)
                folded[i + 1] = static_cast<char>(next + 0x20);
            ++i;
        }
    }
    return folded;
}

}  // namespace qx
