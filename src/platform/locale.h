// The local number settings: the only ambient input besides today's date.
// They are read at each call, from the system (the current C locale on
// POSIX, the user's regional settings on Windows), unless a test or the
// command-line tool has fixed them for the calling thread.
#pragma once

#include <optional>
#include <string>

namespace qx {

struct NumberSeparators {
    std::string decimal = ".";  // UTF-8, one character
    std::string thousands;      // UTF-8, may be empty
};

NumberSeparators localSeparators();

// The system's separators, whatever a thread has fixed.
NumberSeparators systemSeparators();

// Fixes the separators for the calling thread while alive; restores the
// previous setting on destruction.
class ScopedSeparators {
public:
    ScopedSeparators(std::string decimal, std::string thousands);
    ~ScopedSeparators();
    ScopedSeparators(const ScopedSeparators&) = delete;
    ScopedSeparators& operator=(const ScopedSeparators&) = delete;

private:
    std::optional<NumberSeparators> previous_;
};

// Takes the separators once and keeps them for the calling thread while
// alive, so that a long synchronous pass does not ask the locale for every
// amount; restores the previous setting on destruction. Separators fixed
// later, inside its lifetime, still take precedence until they end.
class ScopedSeparatorCache {
public:
    ScopedSeparatorCache();
    ~ScopedSeparatorCache();
    ScopedSeparatorCache(const ScopedSeparatorCache&) = delete;
    ScopedSeparatorCache& operator=(const ScopedSeparatorCache&) = delete;

private:
    std::optional<NumberSeparators> previous_;
};

}  // namespace qx
