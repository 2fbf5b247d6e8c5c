// An auto-reset event under the frame loop's wait for the tick.
#include <windows.h>

#include "platform/system/tick_wait.h"

namespace vexlorn {

// A signal left set by a tick nobody waited for only costs the next wait one extra look at its
// condition.
static HANDLE tickEvent() {
    static const HANDLE event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    return event;
}

// Longer than a tick; a wait that outlasts it looks at its condition again.
constexpr DWORD longestSleepMs = 100;

TickWait tickWait;

void TickWait::signal() {
    signals_.fetch_add(1, std::memory_order_release);
    SetEvent(tickEvent());
}

void TickWait::sleepUnlessSignalledSince(std::uint32_t seen) {
    const HANDLE event = tickEvent();
    if (event == nullptr) {
        Sleep(1);
        return;
    }
    if (signals_.load(std::memory_order_acquire) != seen) return;
    WaitForSingleObject(event, longestSleepMs);
}

}  // namespace vexlorn
