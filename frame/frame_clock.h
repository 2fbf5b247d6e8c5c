// The frame loop's one clock: the ticks fall at fixed times after its start, and the loop counts
// them itself when it wakes for the next, so that no thread of its own wakes beside the loop's.
#pragma once

#include <chrono>

#include "frame/globals.h"

namespace vexlorn {

class FrameClock {
public:
    using Clock = std::chrono::steady_clock;
    using TimePoint = Clock::time_point;
    using Callback = void (*)();

    static constexpr Clock::duration tickLength =
        std::chrono::duration_cast<Clock::duration>(std::chrono::seconds(1)) / ticksPerSecond;
    static_assert(tickLength * ticksPerSecond == std::chrono::seconds(1),
                  "a second must hold a whole number of ticks");

    // Tick k falls at `start` + k ticks (k from 1), second s at `start` + s seconds. Until the
    // clock is started no tick falls.
    void start(TimePoint start, Callback onTick, Callback onSecond);
    bool started() const { return started_; }

    // Fires, in the order they fell, every tick and whole second that has come by `now` and was
    // not fired yet: a wake that comes late, or a pass that outlasts a tick, loses none of them.
    // Returns the ticks fired.
    int catchUp(TimePoint now);

    // The time the next tick falls.
    TimePoint nextTick() const { return start_ + tickLength * (ticks_ + 1); }

    long long ticksFired() const { return ticks_; }

private:
    TimePoint nextSecond() const { return start_ + std::chrono::seconds(seconds_ + 1); }

    TimePoint start_{};
    Callback onTick_ = nullptr;
    Callback onSecond_ = nullptr;
    long long ticks_ = 0;
    long long seconds_ = 0;
    bool started_ = false;
};

// Counts the ticks that have come and sleeps until the next one as long as `due` is false: the
// loop's wait for a tick to show the picture at. `now` and `sleepUntil` are the system's clock
// and sleep, or a test's.
template <typename Now, typename SleepUntil>
void waitForDue(FrameClock& clock, const volatile bool& due, Now now, SleepUntil sleepUntil) {
    // Before the first picture is out there is no tick to wait for.
    if (!clock.started()) return;
    clock.catchUp(now());
    while (!due) {
        sleepUntil(clock.nextTick());
        clock.catchUp(now());
    }
}

extern FrameClock frameClock;

}  // namespace vexlorn
