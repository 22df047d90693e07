// Automation dates: a day count as a double from 30 December 1899 at
// midnight, the time of day as the fraction.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qx {

struct Date {
    double serial = 0.0;

    friend bool operator==(Date a, Date b) { return a.serial == b.serial; }
};

struct CivilDate {
    int year = 1899;
    int month = 12;
    int day = 30;
};

// Whether year/month/day name a real calendar day (years 100 to 9999).
bool isValidCivil(int year, int month, int day);
// The date at midnight of a valid calendar day.
Date fromCivil(int year, int month, int day);
// The calendar day of a date (its time of day is dropped).
CivilDate toCivil(Date date);
// The date part only (midnight of the same day).
Date datePart(Date date);

// The French short date "dd/mm/yyyy".
std::string shortDateText(Date date);
// Reads a date as the platform's text-to-date conversion does: "dd/mm/yyyy"
// (also with "-" or "." between the groups) or "yyyy-mm-dd", surrounding
// blanks allowed, an optional time of day ignored. Nothing when the text
// is no date.
std::optional<Date> parseDateText(std::string_view text);

}  // namespace qx
