// Today's date, which the tests and the command-line tool can fix.
#pragma once

#include <optional>

#include "platform/date.h"

namespace qx {

// Today at midnight, local time (or the fixed day).
Date aujourdhui();

// Fixes today's date for the whole process; nothing gives the machine's date back.
void fixerDateDuJour(std::optional<Date> date);

// The machine's local calendar day, whatever day is fixed.
CivilDate localClockToday();

}  // namespace qx
