#include "platform/clock.h"

#include <atomic>
#include <limits>

namespace qx {
namespace {
constexpr long long kNotFixed = std::numeric_limits<long long>::min();
std::atomic<long long> fixedDay{kNotFixed};
}  // namespace

Date aujourdhui() {
    long long day = fixedDay.load(std::memory_order_relaxed);
    if (day != kNotFixed) return Date{static_cast<double>(day)};
    const CivilDate today = localClockToday();
    return fromCivil(today.year, today.month, today.day);
}

void fixerDateDuJour(std::optional<Date> date) {
    fixedDay.store(date ? static_cast<long long>(datePart(*date).serial) : kNotFixed,
                   std::memory_order_relaxed);
}

}  // namespace qx
