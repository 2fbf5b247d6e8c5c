// The frame loop's one clock.
#include "frame/frame_clock.h"

namespace vexlorn {

FrameClock frameClock;

void FrameClock::start(TimePoint start, Callback onTick, Callback onSecond) {
    start_ = start;
    onTick_ = onTick;
    onSecond_ = onSecond;
    ticks_ = 0;
    seconds_ = 0;
    started_ = true;
}

int FrameClock::catchUp(TimePoint now) {
    int fired = 0;
    while (started_) {
        const TimePoint tick = nextTick();
        const TimePoint second = nextSecond();
        // A second that falls with a tick follows it, as the pass-rate count ends on that tick.
        if (tick <= now && tick <= second) {
            ++ticks_;
            ++fired;
            if (onTick_) onTick_();
        } else if (second <= now) {
            ++seconds_;
            if (onSecond_) onSecond_();
        } else {
            break;
        }
    }
    return fired;
}

}  // namespace vexlorn
