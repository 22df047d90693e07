#include "platform/value.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "platform/error.h"
#include "platform/locale.h"

namespace qx {
namespace {

[[noreturn]] void mismatch() {
    throw Error::runtime(err::TypeIncompatible);
}
[[noreturn]] void overflow() {
    throw Error::runtime(err::Depassement);
}
[[noreturn]] void nullUsed() {
    throw Error::runtime(err::NullIncorrect);
}
// An object where a value is needed: Nothing is an unset object (91), as a
// host's Basic reports it; any other object is the wrong type.
[[noreturn]] void objectUsed(const ObjectRef& object) {
    if (!object) throw Error::runtime(err::ObjetNonDefini);
    mismatch();
}

bool startsWith(std::string_view text, size_t pos, std::string_view prefix) {
    return !prefix.empty() && text.substr(pos, prefix.size()) == prefix;
}

// Length of a blank at pos: space, tab, no-break space (U+00A0) or narrow
// no-break space (U+202F); 0 when there is none.
size_t blankAt(std::string_view text, size_t pos) {
    if (pos >= text.size()) return 0;
    if (text[pos] == ' ' || text[pos] == '\t') return 1;
    if (startsWith(text, pos, "\xC2\xA0")) return 2;
    if (startsWith(text, pos, "\xE2\x80\xAF")) return 3;
    return 0;
}

// Turns a local-format number text into the plain "C" form that
// std::from_chars reads; false when the text is not a number.
bool normalizeNumber(std::string_view text, std::string& out) {
    const NumberSeparators sep = localSeparators();
    size_t pos = 0, n = text.size();
    while (size_t b = blankAt(text, pos)) pos += b;
    if (pos < n && (text[pos] == '+' || text[pos] == '-')) {
        if (text[pos] == '-') out.push_back('-');
        ++pos;
    }
    bool digits = false, point = false;
    while (pos < n) {
        char c = text[pos];
        if (c >= '0' && c <= '9') {
            out.push_back(c);
            digits = true;
            ++pos;
        } else if (!point && startsWith(text, pos, sep.decimal)) {
            out.push_back('.');
            point = true;
            pos += sep.decimal.size();
        } else if (!point && c == '.' && sep.thousands != ".") {
            // "." is read as the decimal point wherever it cannot be a group separator.
            out.push_back('.');
            point = true;
            ++pos;
        } else if (!point && digits && startsWith(text, pos, sep.thousands)) {
            pos += sep.thousands.size();
        } else if (!point && digits && blankAt(text, pos) && pos + blankAt(text, pos) < n &&
                   text[pos + blankAt(text, pos)] >= '0' && text[pos + blankAt(text, pos)] <= '9') {
            pos += blankAt(text, pos);  // a blank between digit groups
        } else {
            break;
        }
    }
    if (!digits) return false;
    if (pos < n && (text[pos] == 'e' || text[pos] == 'E')) {
        size_t save = pos, outSave = out.size();
        out.push_back('e');
        ++pos;
        if (pos < n && (text[pos] == '+' || text[pos] == '-')) out.push_back(text[pos++]);
        size_t expStart = pos;
        while (pos < n && text[pos] >= '0' && text[pos] <= '9') out.push_back(text[pos++]);
        if (pos == expStart) {
            pos = save;
            out.resize(outSave);
        }
    }
    while (size_t b = blankAt(text, pos)) pos += b;
    return pos == n;
}

double roundHalfEven(double x) {
    return std::nearbyint(x);
}

template <class Int>
Int toWhole(double x) {
    if (std::isnan(x)) overflow();
    double r = roundHalfEven(x);
    if (r < static_cast<double>(std::numeric_limits<Int>::min()) ||
        r > static_cast<double>(std::numeric_limits<Int>::max()))
        overflow();
    return static_cast<Int>(r);
}

// The numeric reading used by equality; nothing for texts and objects.
bool numericValue(const Value& v, double& out) {
    switch (v.kind()) {
        case ValueKind::Empty:
            out = 0;
            return true;
        case ValueKind::Integer16:
        case ValueKind::Integer32:
        case ValueKind::Double:
        case ValueKind::Currency:
        case ValueKind::Date:
        case ValueKind::Boolean:
            out = v.toDouble();
            return true;
        default:
            return false;
    }
}

}  // namespace

Currency Currency::fromDouble(double amount) {
    double scaled = roundHalfEven(amount * 10000.0);
    if (!std::isfinite(scaled) || scaled < -9.2233720368547758e18 ||
        scaled >= 9.2233720368547758e18)
        overflow();
    return Currency{static_cast<int64_t>(scaled)};
}

bool Value::isNumber() const noexcept {
    switch (kind()) {
        case ValueKind::Integer16:
        case ValueKind::Integer32:
        case ValueKind::Double:
        case ValueKind::Currency:
            return true;
        default:
            return false;
    }
}

double Value::toDouble() const {
    switch (kind()) {
        case ValueKind::Empty:
            return 0.0;
        case ValueKind::Integer16:
            return std::get<int16_t>(data_);
        case ValueKind::Integer32:
            return std::get<int32_t>(data_);
        case ValueKind::Double:
            return std::get<double>(data_);
        case ValueKind::Currency:
            return std::get<Currency>(data_).toDouble();
        case ValueKind::Text:
            return parseLocalNumber(std::get<std::string>(data_));
        case ValueKind::Date:
            return std::get<Date>(data_).serial;
        case ValueKind::Boolean:
            return std::get<bool>(data_) ? -1.0 : 0.0;
        case ValueKind::Null:
            nullUsed();
        case ValueKind::Object:
            objectUsed(std::get<ObjectRef>(data_));
        case ValueKind::Missing:
            break;
    }
    mismatch();
}

Date Value::toDate() const {
    switch (kind()) {
        case ValueKind::Date:
            return std::get<Date>(data_);
        case ValueKind::Text: {
            auto date = parseDateText(std::get<std::string>(data_));
            if (!date) mismatch();
            return *date;
        }
        case ValueKind::Object:
            objectUsed(std::get<ObjectRef>(data_));
        default: {
            double serial = toDouble();
            // The platform's date range: years 100 to 9999.
            if (!(serial >= -657434.0 && serial < 2958466.0)) overflow();
            return Date{serial};
        }
    }
}

std::string Value::toText() const {
    switch (kind()) {
        case ValueKind::Empty:
            return {};
        case ValueKind::Integer16:
            return std::to_string(std::get<int16_t>(data_));
        case ValueKind::Integer32:
            return std::to_string(std::get<int32_t>(data_));
        case ValueKind::Double:
            return formatDouble(std::get<double>(data_), localSeparators().decimal);
        case ValueKind::Currency:
            return formatDouble(std::get<Currency>(data_).toDouble(), localSeparators().decimal);
        case ValueKind::Text:
            return std::get<std::string>(data_);
        case ValueKind::Date:
            return shortDateText(std::get<Date>(data_));
        case ValueKind::Boolean:
            return std::get<bool>(data_) ? "Vrai" : "Faux";
        case ValueKind::Null:
            nullUsed();
        case ValueKind::Object:
            objectUsed(std::get<ObjectRef>(data_));
        case ValueKind::Missing:
            break;
    }
    mismatch();
}

int16_t Value::toInt16() const {
    return toWhole<int16_t>(toDouble());
}
int32_t Value::toInt32() const {
    return toWhole<int32_t>(toDouble());
}

bool Value::toBool() const {
    if (kind() == ValueKind::Boolean) return std::get<bool>(data_);
    if (kind() == ValueKind::Text) {
        const std::string& t = std::get<std::string>(data_);
        if (t == "Vrai" || t == "True" || t == "vrai" || t == "true") return true;
        if (t == "Faux" || t == "False" || t == "faux" || t == "false") return false;
    }
    return toDouble() != 0.0;
}

Currency Value::toCurrency() const {
    if (kind() == ValueKind::Currency) return std::get<Currency>(data_);
    return Currency::fromDouble(toDouble());
}

bool operator==(const Value& a, const Value& b) {
    double x, y;
    if (numericValue(a, x) && numericValue(b, y)) return x == y;
    if (a.kind() == ValueKind::Text && b.kind() == ValueKind::Text) return a.text() == b.text();
    if (a.kind() == ValueKind::Text && b.isEmpty()) return a.text().empty();
    if (b.kind() == ValueKind::Text && a.isEmpty()) return b.text().empty();
    if (a.kind() == ValueKind::Object && b.kind() == ValueKind::Object)
        return a.object() == b.object();
    return false;
}

std::string formatDouble(double x, std::string_view decimalSeparator) {
    if (x == 0.0) return "0";
    if (std::isnan(x)) return "NaN";
    if (std::isinf(x)) return x > 0 ? "1.#INF" : "-1.#INF";
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15G", x);
    std::string text(buffer);
    // "1E+015" on some C libraries, "1E+15" here: the platform writes at least two digits.
    size_t point = text.find('.');
    if (point != std::string::npos) text.replace(point, 1, decimalSeparator);
    return text;
}

double parseLocalNumber(std::string_view text) {
    std::string plain;
    plain.reserve(text.size());
    if (!normalizeNumber(text, plain)) mismatch();
    double result = 0.0;
    auto [end, ec] = std::from_chars(plain.data(), plain.data() + plain.size(), result);
    if (ec == std::errc::result_out_of_range) {
        // Underflow reads as 0; only magnitudes beyond the double range overflow.
        if (plain.find("e-") != std::string::npos) return 0.0;
        overflow();
    }
    if (ec != std::errc() || end != plain.data() + plain.size()) mismatch();
    return result;
}

bool isNumericText(std::string_view text) {
    std::string plain;
    return normalizeNumber(text, plain);
}

}  // namespace qx
