#include "server/com/texte_utf16.h"

namespace qx::com {

namespace {

bool estHaut(char32_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool estBas(char32_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

void ajouterUtf8(std::string& sortie, char32_t c) {
    if (c < 0x80) {
        sortie += static_cast<char>(c);
    } else if (c < 0x800) {
        sortie += static_cast<char>(0xC0 | (c >> 6));
        sortie += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        sortie += static_cast<char>(0xE0 | (c >> 12));
        sortie += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        sortie += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        sortie += static_cast<char>(0xF0 | (c >> 18));
        sortie += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        sortie += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        sortie += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Length of the sequence a lead byte opens, 0 for a byte that opens none.
size_t longueurSequence(unsigned char octet) {
    if (octet < 0x80) return 1;
    if (octet >= 0xC2 && octet <= 0xDF) return 2;
    if (octet >= 0xE0 && octet <= 0xEF) return 3;
    if (octet >= 0xF0 && octet <= 0xF4) return 4;
    return 0;
}

}  // namespace

std::string versUtf8(std::u16string_view texte) {
    std::string sortie;
    sortie.reserve(texte.size());
    for (size_t i = 0; i < texte.size(); ++i) {
        char32_t c = texte[i];
        if (estHaut(c) && i + 1 < texte.size() && estBas(texte[i + 1])) {
            c = 0x10000 + ((c - 0xD800) << 10) + (texte[i + 1] - 0xDC00);
            ++i;
        }
        ajouterUtf8(sortie, c);
    }
    return sortie;
}

std::u16string versUtf16(std::string_view texte) {
    std::u16string sortie;
    sortie.reserve(texte.size());
    size_t i = 0;
    while (i < texte.size()) {
        auto octet = static_cast<unsigned char>(texte[i]);
        size_t n = longueurSequence(octet);
        char32_t c = n == 1   ? octet
                     : n == 2 ? (octet & 0x1F)
                     : n == 3 ? (octet & 0x0F)
                              : (octet & 0x07);
        bool valide = n != 0 && i + n <= texte.size();
        for (size_t k = 1; valide && k < n; ++k) {
            auto suite = static_cast<unsigned char>(texte[i + k]);
            valide = (suite & 0xC0) == 0x80;
            c = (c << 6) | (suite & 0x3F);
        }
        // Overlong forms and values beyond U+10FFFF are no characters.
        valide = valide && !(n == 3 && c < 0x800) && !(n == 4 && (c < 0x10000 || c > 0x10FFFF));
        if (!valide) {
            sortie += u'\uFFFD';
            ++i;
            continue;
        }
        if (c >= 0x10000) {
            c -= 0x10000;
            sortie += static_cast<char16_t>(0xD800 + (c >> 10));
            sortie += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            sortie += static_cast<char16_t>(c);
        }
        i += n;
    }
    return sortie;
}

}  // namespace qx::com
