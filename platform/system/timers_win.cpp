// Windows' timer resolution: 15.6 ms unless a program asks for more, and every program's request
// costs the whole machine power, so the game asks only while it runs.
#include <windows.h>
// After windows.h, whose types it uses.
#include <timeapi.h>

#include "platform/system/timers.h"

namespace vexlorn {

static bool held = false;

void setTimerSlack(unsigned long) {}

void holdFineTimer() {
    if (!held) held = timeBeginPeriod(1) == TIMERR_NOERROR;
}

void releaseFineTimer() {
    if (held) timeEndPeriod(1);
    held = false;
}

}  // namespace vexlorn
