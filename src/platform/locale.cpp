#include "platform/locale.h"

#include <clocale>

namespace qx {
namespace {
thread_local std::optional<NumberSeparators> fixedSeparators;
}

NumberSeparators localSeparators() {
    if (fixedSeparators) return *fixedSeparators;
    NumberSeparators result;
    if (const lconv* lc = std::localeconv()) {
        if (lc->decimal_point && *lc->decimal_point) result.decimal = lc->decimal_point;
        if (lc->thousands_sep) result.thousands = lc->thousands_sep;
    }
    return result;
}

ScopedSeparators::ScopedSeparators(std::string decimal, std::string thousands)
    : previous_(fixedSeparators) {
    fixedSeparators = NumberSeparators{std::move(decimal), std::move(thousands)};
}

ScopedSeparators::~ScopedSeparators() {
    fixedSeparators = previous_;
}

ScopedSeparatorCache::ScopedSeparatorCache() : previous_(fixedSeparators) {
    fixedSeparators = localSeparators();
}

ScopedSeparatorCache::~ScopedSeparatorCache() {
    fixedSeparators = previous_;
}

}  // namespace qx
