// The temporaries being written, in fixed memory, for the handler that
// removes them on an interruption: a signal handler (POSIX) may only read
// such memory, and a console handler (Windows) runs on a thread of its own.
// A write that finds no free slot still works; its temporary is only not
// cleaned up on interruption.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <string_view>

namespace qx {

template <class Char, size_t Count>
class TemporarySlots {
public:
    // The slot now holding `path`, or -1.
    int remember(std::basic_string_view<Char> path) {
        if (path.size() >= kLength) return -1;
        for (int i = 0; i < static_cast<int>(Count); ++i) {
            Slot& slot = slots_[i];
            bool expected = false;
            if (!slot.taken.compare_exchange_strong(expected, true)) continue;
            std::copy(path.begin(), path.end(), slot.path);
            slot.path[path.size()] = Char{};
            slot.filled.store(true);
            return i;
        }
        return -1;
    }

    void forget(int& slot) {
        if (slot < 0) return;
        slots_[slot].filled.store(false);
        slots_[slot].taken.store(false);
        slot = -1;
    }

    // Calls remove(path) for every temporary held; nothing else is done, so
    // that a signal handler may call it.
    template <class Remove>
    void removeAll(Remove remove) {
        for (Slot& slot : slots_)
            if (slot.filled.load()) remove(slot.path);
    }

private:
    static constexpr size_t kLength = 4096;
    struct Slot {
        std::atomic<bool> taken{false};
        std::atomic<bool> filled{false};
        Char path[kLength];
    };
    Slot slots_[Count];
};

}  // namespace qx
