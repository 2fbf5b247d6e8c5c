// Allegro's own X input handler, called from the frame loop.
#include "frame/window_events.h"

#include <allegro.h>
#include <xalleg.h>

namespace vexlorn {

// Without a round trip to the X server when nothing has come: a wait for its reply would wake
// the loop's thread once more every pass.
static bool eventsArrived() {
    XLOCK();
    // Writes out what is buffered and reads what the socket already holds, without blocking.
    bool arrived = _xwin.display != nullptr && XEventsQueued(_xwin.display, QueuedAfterFlush) > 0;
    XUNLOCK();
    return arrived;
}

// Serialised with the input thread by Allegro's X lock; without a display it does nothing.
void pumpWindowEvents() {
    if (eventsArrived()) _xwin_handle_input();
}

}  // namespace vexlorn
