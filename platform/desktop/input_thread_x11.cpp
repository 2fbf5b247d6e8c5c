// Allegro's X input thread, held asleep while the frame loop takes the events.
//
// allegro_init starts a thread that wakes every millisecond and handles X events every 10 ms,
// unless the library's "interrupts" are disabled: then it waits on a condition until they are
// enabled again. The loop already handles the events on every pass (pumpWindowEvents), so it
// disables them once and the thread sleeps for the whole run. The library joins that thread when
// it shuts down, which a held thread would never let it do, so its background manager's exit is
// wrapped to let go first, from any path that shuts the library down. While they are disabled,
// Allegro's handler for a crash signal re-raises the signal without its own clean-up.
#include <allegro.h>
#include <allegro/platform/aintunix.h>

#include "platform/desktop/input_thread.h"

namespace vexlorn {

static bg_manager* libraryManager = nullptr;
static bg_manager heldManager;
static bool held = false;

static void exitReleased() {
    releaseInputThread();
    libraryManager->exit();
}

void holdInputThread() {
    if (held || _unix_bg_man == nullptr || !_unix_bg_man->multi_threaded) return;
    if (libraryManager == nullptr) {
        libraryManager = _unix_bg_man;
        heldManager = *libraryManager;
        heldManager.exit = exitReleased;
        _unix_bg_man = &heldManager;
    }
    held = true;
    libraryManager->disable_interrupts();
}

void releaseInputThread() {
    if (!held) return;
    held = false;
    libraryManager->enable_interrupts();
}

}  // namespace vexlorn
