// The frame loop's wait for the next tick: it sleeps until the timer thread signals, where
// vsync() under X would poll for the tick once a millisecond.
#pragma once

#include <atomic>
#include <cstdint>

namespace vexlorn {

class TickWait {
public:
    // From the timer callback, after it has set what the loop waits for: one word and one
    // system call, nothing that could lock.
    void signal();

    // Returns once `due` is true: at once if it already is, otherwise after a signal that
    // follows its setting. A signal that lands between the look at `due` and the sleep is not
    // lost: the signal count is read first, and the sleep only begins while it is unchanged.
    void waitUntil(const volatile bool& due) {
        waitUntilTrue([&due] { return due; });
    }

    // The same for any condition the signaller makes true before it signals.
    template <typename IsDue>
    void waitUntilTrue(IsDue isDue) {
        for (;;) {
            std::uint32_t seen = signals_.load(std::memory_order_acquire);
            if (isDue()) return;
            sleepUnlessSignalledSince(seen);
        }
    }

private:
    void sleepUnlessSignalledSince(std::uint32_t seen);

    std::atomic<std::uint32_t> signals_{0};
};

// Signalled by onTick; waited on by the frame loop where a present is due.
extern TickWait tickWait;

}  // namespace vexlorn
