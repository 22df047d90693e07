#include "rubrics/conventions.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "platform/clock.h"
#include "platform/error.h"
#include "platform/locale.h"

namespace qx {
namespace {

bool commencePar(std::string_view texte, size_t pos, std::string_view prefixe) {
    // The first byte decides almost every call of the amount walk cheaply.
    return !prefixe.empty() && texte[pos] == prefixe[0] &&
           texte.substr(pos, prefixe.size()) == prefixe;
}

// Reads the shape sign, digits, at most one "." and digits from the start of
// a number text and stops at the first character that does not fit. Fed one
// character at a time so that callers need not build the text first.
class LecteurNombre {
public:
    // False once the reading has stopped; later characters are ignored.
    bool ajouter(char c) {
        if (arrete_) return false;
        if (c >= '0' && c <= '9') {
            chiffres_ = true;
            texte_.push_back(c);
        } else if ((c == '+' || c == '-') && texte_.empty() && !signe_) {
            signe_ = true;
            if (c == '-') texte_.push_back('-');
        } else if (c == '.' && !point_) {
            point_ = true;
            texte_.push_back('.');
        } else {
            arrete_ = true;
        }
        return !arrete_;
    }

    // 0 when no digit came before the stop; 6 beyond the range of a double.
    double valeur() const {
        if (!chiffres_) return 0.0;
        double resultat = 0.0;
        const auto lu = std::from_chars(texte_.data(), texte_.data() + texte_.size(), resultat,
                                        std::chars_format::fixed);
        if (lu.ec == std::errc::result_out_of_range) {
            // A long run of zeros after the point underflows to 0; only a
            // magnitude beyond the double range is an overflow.
            if (texte_.find_first_of("123456789") == std::string::npos) return 0.0;
            size_t debut = texte_.find_first_not_of("-0");
            if (debut != std::string::npos && texte_[debut] == '.') return 0.0;
            throw Error::runtime(err::Depassement);
        }
        return resultat;
    }

private:
    std::string texte_;  // short amounts stay within the string's inline buffer
    bool signe_ = false;
    bool point_ = false;
    bool chiffres_ = false;
    bool arrete_ = false;
};

// Byte offset of the character at a 1-based position of a UTF-8 text, or
// the text's size when the text is shorter.
size_t decalageCaractere(std::string_view texte, size_t position) {
    size_t octet = 0;
    for (size_t n = 1; n < position && octet < texte.size(); ++n) {
        ++octet;
        while (octet < texte.size() && (static_cast<unsigned char>(texte[octet]) & 0xC0) == 0x80)
            ++octet;
    }
    return octet;
}

// The characters of a 1-based position and count, as a string function of
// the host's language would take them: fewer when the text is shorter.
std::string_view sousTexte(std::string_view texte, size_t position, size_t longueur) {
    size_t debut = decalageCaractere(texte, position);
    size_t fin = decalageCaractere(texte, position + longueur);
    return texte.substr(debut, fin - debut);
}

// A group of a date text as a whole number: blanks around, an optional sign
// and digits only. 13 for anything else, an empty group included.
int nombreEntier(std::string_view groupe) {
    while (!groupe.empty() && groupe.front() == ' ') groupe.remove_prefix(1);
    while (!groupe.empty() && groupe.back() == ' ') groupe.remove_suffix(1);
    bool negatif = false;
    if (!groupe.empty() && (groupe.front() == '+' || groupe.front() == '-')) {
        negatif = groupe.front() == '-';
        groupe.remove_prefix(1);
    }
    if (groupe.empty()) throw Error::runtime(err::TypeIncompatible);
    int valeur = 0;
    for (char c : groupe) {
        if (c < '0' || c > '9') throw Error::runtime(err::TypeIncompatible);
        valeur = valeur * 10 + (c - '0');
    }
    return negatif ? -valeur : valeur;
}

bool estBlanc(std::string_view texte) {
    return texte.find_first_not_of(' ') == std::string_view::npos;
}

}  // namespace

std::string CleRubrique(std::string_view codeImprime, std::string_view codeRubrique) {
    std::string cle;
    cle.reserve(codeImprime.size() + codeRubrique.size());
    cle.append(codeImprime).append(codeRubrique);
    return cle;
}

namespace detail {
void leverDepassement() {
    throw Error::runtime(err::Depassement);
}
}  // namespace detail

double VersDouble(const Value& v) {
    try {
        return v.toDouble();
    } catch (const Error&) {
    }
    try {
        const std::string texte = v.toText();
        LecteurNombre lecteur;
        for (char c : texte)
            if (!lecteur.ajouter(c)) break;
        return lecteur.valeur();
    } catch (const Error&) {
        return 0.0;
    }
}

std::string NombreVersTexte(double x) {
    // Writing straight with "." is the default text with every "," replaced.
    return formatDouble(x, ".");
}

namespace {

// Exact powers of ten: every one up to 1e22 is a double.
constexpr double kPuissancesDix[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                     1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

// The amounts of a data file are almost all plain: an optional sign, digits,
// and a "." or "," with more digits. With at most 15 digits the mantissa and
// the power of ten are exact doubles, so their quotient is the correctly
// rounded value, the same as reading the text. Such a text never reaches the
// local separators: digits, signs, "." and "," are decided before them.
// False for any other shape, which takes the full walk.
bool lireMontantSimple(std::string_view s, double& resultat) {
    size_t pos = 0;
    const bool negatif = s[0] == '-';
    if (negatif || s[0] == '+') pos = 1;
    uint64_t mantisse = 0;
    int chiffres = 0;
    int decimales = 0;
    bool separateur = false;
    for (; pos < s.size(); ++pos) {
        const char c = s[pos];
        if (c >= '0' && c <= '9') {
            mantisse = mantisse * 10 + static_cast<uint64_t>(c - '0');
            ++chiffres;
            if (separateur) ++decimales;
        } else if ((c == '.' || c == ',') && !separateur) {
            separateur = true;
        } else {
            return false;
        }
    }
    if (chiffres == 0 || chiffres > 15) return false;
    const double valeur = static_cast<double>(mantisse) / kPuissancesDix[decimales];
    resultat = negatif ? -valeur : valeur;
    return true;
}

}  // namespace

double TexteVersNombre(std::string_view s) {
    if (s.empty()) return 0.0;
    double resultat;
    if (lireMontantSimple(s, resultat)) return resultat;
    return detail::TexteVersNombreParcours(s);
}

double detail::TexteVersNombreParcours(std::string_view s) {
    if (s.empty()) return 0.0;
    const NumberSeparators local = localSeparators();
    LecteurNombre lecteur;
    size_t pos = 0;
    while (pos < s.size()) {
        const char c = s[pos];
        char ajout = 0;
        size_t avance = 1;
        if ((c >= '0' && c <= '9') || c == '+' || c == '-') {
            ajout = c;
        } else if (commencePar(s, pos, local.decimal)) {
            ajout = '.';
            avance = local.decimal.size();
        } else if (c == ',' || c == '.') {
            ajout = '.';
        } else if (c == ' ') {
        } else if (commencePar(s, pos, "\xC2\xA0")) {  // no-break space
            avance = 2;
        } else if (commencePar(s, pos, "\xE2\x80\xAF")) {  // narrow no-break space
            avance = 3;
        } else if (static_cast<unsigned char>(c) == 0xA0) {
            // A lone code 160: a no-break space of a text that came in the 8-bit code page.
        } else if (commencePar(s, pos, local.thousands)) {
            avance = local.thousands.size();
        } else {
            break;
        }
        // Once the number is read, the rest of the walk cannot change it.
        if (ajout && !lecteur.ajouter(ajout)) break;
        pos += avance;
    }
    return lecteur.valeur();
}

std::string DateVersTexte(const Value& v) {
    if (v.kind() != ValueKind::Date) return {};
    const Date date = v.dateValue();
    if (date.serial == 0.0 || date == aujourdhui()) return {};
    const CivilDate c = toCivil(date);
    char tampon[32];
    std::snprintf(tampon, sizeof tampon, "%04d-%02d-%02d", c.year, c.month, c.day);
    return tampon;
}

Date TexteVersDate(std::string_view s) {
    const Date aujourdHui = aujourdhui();
    if (estBlanc(s)) return aujourdHui;
    const int annee = nombreEntier(sousTexte(s, 1, 4));
    const int mois = nombreEntier(sousTexte(s, 6, 2));
    const int jour = nombreEntier(sousTexte(s, 9, 2));
    // Strict reading: a month above 12 is an impossible date, not a day and
    // month written the other way round, since the exchange text is always
    // year, month, day and guessing would turn a typing error into a date.
    if (!isValidCivil(annee, mois, jour)) return aujourdHui;
    return fromCivil(annee, mois, jour);
}

}  // namespace qx
