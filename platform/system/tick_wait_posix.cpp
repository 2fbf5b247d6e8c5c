// A futex under the frame loop's wait for the tick.
#include <linux/futex.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "platform/system/tick_wait.h"

namespace vexlorn {

static_assert(sizeof(std::atomic<std::uint32_t>) == sizeof(std::uint32_t) &&
                  std::atomic<std::uint32_t>::is_always_lock_free,
              "the futex word must be the atomic's own storage");

static void futex(std::atomic<std::uint32_t>& word, int op, std::uint32_t value) {
    syscall(SYS_futex, reinterpret_cast<std::uint32_t*>(&word), op, value, nullptr, nullptr, 0);
}

TickWait tickWait;

void TickWait::signal() {
    signals_.fetch_add(1, std::memory_order_release);
    futex(signals_, FUTEX_WAKE_PRIVATE, 1);
}

// The kernel compares the word with `seen` before it sleeps, and refuses when a signal has
// changed it; an interrupted or refused sleep just sends the caller round its loop again.
void TickWait::sleepUnlessSignalledSince(std::uint32_t seen) {
    futex(signals_, FUTEX_WAIT_PRIVATE, seen);
}

}  // namespace vexlorn
