#include "platform/locale.h"

namespace qx {
namespace {
thread_local std::optional<NumberSeparators> fixedSeparators;
}

NumberSeparators localSeparators() {
    if (fixedSeparators) return *fixedSeparators;
    return systemSeparators();
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
