#include "platform/date.h"

#include <cmath>
#include <cstdio>

namespace qx {
namespace {

// Days from 1970-01-01 of a proleptic Gregorian day (Howard Hinnant's algorithm).
long daysFromCivil(long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long>(doe) - 719468;
}

CivilDate civilFromDays(long z) {
    z += 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long y = static_cast<long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp + (mp < 10 ? 3 : -9);
    return {static_cast<int>(y + (m <= 2)), static_cast<int>(m), static_cast<int>(d)};
}

const long kEpochOffset = daysFromCivil(1899, 12, 30);

bool isLeap(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

// Reads up to maxDigits digits; nothing when there is none.
std::optional<int> readNumber(std::string_view text, size_t& pos, size_t maxDigits) {
    size_t start = pos;
    int value = 0;
    while (pos < text.size() && pos - start < maxDigits && text[pos] >= '0' && text[pos] <= '9') {
        value = value * 10 + (text[pos] - '0');
        ++pos;
    }
    if (pos == start) return std::nullopt;
    return value;
}

bool isSeparator(char c) {
    return c == '/' || c == '-' || c == '.';
}

}  // namespace

bool isValidCivil(int year, int month, int day) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
    int limit = kDays[month - 1] + (month == 2 && isLeap(year) ? 1 : 0);
    return day <= limit;
}

Date fromCivil(int year, int month, int day) {
    return Date{static_cast<double>(
        daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) -
        kEpochOffset)};
}

CivilDate toCivil(Date date) {
    // Negative serials count days backwards while the fraction still runs
    // forward in the day, so the day is the truncation, not the floor.
    double whole = std::trunc(date.serial);
    if (!std::isfinite(whole)) return {};
    return civilFromDays(static_cast<long>(whole) + kEpochOffset);
}

Date datePart(Date date) {
    return Date{std::trunc(date.serial)};
}

std::string shortDateText(Date date) {
    CivilDate c = toCivil(date);
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02d/%02d/%04d", c.day, c.month, c.year);
    return buffer;
}

std::optional<Date> parseDateText(std::string_view text) {
    size_t pos = 0;
    while (pos < text.size() && text[pos] == ' ') ++pos;
    size_t first = pos;
    auto a = readNumber(text, pos, 4);
    if (!a || pos >= text.size() || !isSeparator(text[pos])) return std::nullopt;
    bool yearFirst = pos - first == 4;
    ++pos;
    auto b = readNumber(text, pos, 2);
    if (!b || pos >= text.size() || !isSeparator(text[pos])) return std::nullopt;
    ++pos;
    auto c = readNumber(text, pos, yearFirst ? 2 : 4);
    if (!c) return std::nullopt;
    // Anything after the date must be blanks or a time of day.
    while (pos < text.size() && text[pos] == ' ') ++pos;
    for (size_t i = pos; i < text.size(); ++i) {
        char ch = text[i];
        if (!(ch == ':' || ch == ' ' || (ch >= '0' && ch <= '9'))) return std::nullopt;
    }
    int year = yearFirst ? *a : *c, month = *b, day = yearFirst ? *c : *a;
    if (!yearFirst && *c < 100) year = *c < 30 ? 2000 + *c : 1900 + *c;
    if (!isValidCivil(year, month, day)) return std::nullopt;
    return fromCivil(year, month, day);
}

}  // namespace qx
