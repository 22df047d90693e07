#include "platform/xml_encodings.h"

#include <libxml/encoding.h>
#include <libxml/parser.h>

#include <cstdint>
#include <mutex>

namespace qx {
namespace {

// The characters of bytes 0x80..0xFF; 0 where the encoding defines none.
struct Table {
    char16_t chars[128];
};

constexpr char16_t kUndefined = 0;

constexpr Table latin1() {
    Table t{};
    for (int i = 0; i < 128; ++i) t.chars[i] = static_cast<char16_t>(0x80 + i);
    return t;
}

// Latin-1 with the typographic signs of Windows in place of the controls.
constexpr Table windows1252 = [] {
    constexpr char16_t signs[32] = {
        0x20AC, kUndefined, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, kUndefined, 0x017D, kUndefined,
        kUndefined, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, kUndefined, 0x017E, 0x0178};
    Table t = latin1();
    for (int i = 0; i < 32; ++i) t.chars[i] = signs[i];
    return t;
}();

// Latin-1 with the euro sign and seven letters in place of eight signs.
constexpr Table iso885915 = [] {
    Table t = latin1();
    t.chars[0xA4 - 0x80] = 0x20AC;  // €
    t.chars[0xA6 - 0x80] = 0x0160;  // Š
    t.chars[0xA8 - 0x80] = 0x0161;  // š
    t.chars[0xB4 - 0x80] = 0x017D;  // Ž
    t.chars[0xB8 - 0x80] = 0x017E;  // ž
    t.chars[0xBC - 0x80] = 0x0152;  // Œ
    t.chars[0xBD - 0x80] = 0x0153;  // œ
    t.chars[0xBE - 0x80] = 0x0178;  // Ÿ
    return t;
}();

// Bytes to UTF-8. Returns the bytes written; -2 at a byte the encoding does
// not define. *inlen and *outlen say how much was read and written.
int decode(const Table& table, unsigned char* out, int* outlen, const unsigned char* in,
           int* inlen) {
    unsigned char* o = out;
    unsigned char* const outEnd = out + *outlen;
    const unsigned char* i = in;
    const unsigned char* const inEnd = in + *inlen;
    int result = 0;
    for (; i < inEnd; ++i) {
        const char16_t c = *i < 0x80 ? *i : table.chars[*i - 0x80];
        if (*i >= 0x80 && c == kUndefined) {
            result = -2;
            break;
        }
        const int need = c < 0x80 ? 1 : c < 0x800 ? 2 : 3;
        if (outEnd - o < need) break;
        if (need == 1) {
            *o++ = static_cast<unsigned char>(c);
        } else if (need == 2) {
            *o++ = static_cast<unsigned char>(0xC0 | (c >> 6));
            *o++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
        } else {
            *o++ = static_cast<unsigned char>(0xE0 | (c >> 12));
            *o++ = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
            *o++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
        }
    }
    *inlen = static_cast<int>(i - in);
    *outlen = static_cast<int>(o - out);
    return result < 0 ? result : *outlen;
}

// UTF-8 to bytes. Returns the bytes written; -2 at a character the encoding
// cannot hold (the writer then puts a character reference). An incomplete
// sequence at the end is left for the next call.
int encode(const Table& table, unsigned char* out, int* outlen, const unsigned char* in,
           int* inlen) {
    if (!in) {  // the writer's initial call
        *outlen = 0;
        *inlen = 0;
        return 0;
    }
    unsigned char* o = out;
    unsigned char* const outEnd = out + *outlen;
    const unsigned char* i = in;
    const unsigned char* const inEnd = in + *inlen;
    int result = 0;
    while (i < inEnd && o < outEnd) {
        const unsigned char lead = *i;
        const int length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        if (inEnd - i < length) break;
        uint32_t c = length == 1 ? lead : lead & (0x3F >> (length - 1));
        for (int k = 1; k < length; ++k) c = (c << 6) | (i[k] & 0x3F);
        int byte = c < 0x80 ? static_cast<int>(c) : -1;
        for (int k = 0; k < 128 && byte < 0; ++k)
            if (table.chars[k] != kUndefined && table.chars[k] == c) byte = 0x80 + k;
        if (byte < 0) {
            result = -2;
            break;
        }
        *o++ = static_cast<unsigned char>(byte);
        i += length;
    }
    *inlen = static_cast<int>(i - in);
    *outlen = static_cast<int>(o - out);
    return result < 0 ? result : *outlen;
}

int windows1252ToUtf8(unsigned char* out, int* outlen, const unsigned char* in, int* inlen) {
    return decode(windows1252, out, outlen, in, inlen);
}
int utf8ToWindows1252(unsigned char* out, int* outlen, const unsigned char* in, int* inlen) {
    return encode(windows1252, out, outlen, in, inlen);
}
int iso885915ToUtf8(unsigned char* out, int* outlen, const unsigned char* in, int* inlen) {
    return decode(iso885915, out, outlen, in, inlen);
}
int utf8ToIso885915(unsigned char* out, int* outlen, const unsigned char* in, int* inlen) {
    return encode(iso885915, out, outlen, in, inlen);
}

}  // namespace

void registerXmlEncodings() {
    static std::once_flag once;
    std::call_once(once, [] {
        xmlInitParser();
        // Each creation registers the handler under the name, upper-cased.
        xmlNewCharEncodingHandler("windows-1252", windows1252ToUtf8, utf8ToWindows1252);
        xmlNewCharEncodingHandler("ISO-8859-15", iso885915ToUtf8, utf8ToIso885915);
    });
}

}  // namespace qx
