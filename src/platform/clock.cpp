#include "platform/clock.h"

#include <atomic>
#include <ctime>
#include <limits>

namespace qx {
namespace {
constexpr long long kNotFixed = std::numeric_limits<long long>::min();
std::atomic<long long> fixedDay{kNotFixed};
}  // namespace

Date aujourdhui() {
    long long day = fixedDay.load(std::memory_order_relaxed);
    if (day != kNotFixed) return Date{static_cast<double>(day)};
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return fromCivil(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

void fixerDateDuJour(std::optional<Date> date) {
    fixedDay.store(date ? static_cast<long long>(datePart(*date).serial) : kNotFixed,
                   std::memory_order_relaxed);
}

}  // namespace qx
