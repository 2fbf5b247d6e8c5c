// Allegro's X11 port: the window's class, its input handler called from the frame loop, and its
// shared-memory screen image.
#include <allegro.h>
#include <xalleg.h>

#include "platform/desktop/window_system.h"

// Allegro's X11 port exports this without declaring it: it copies the given rectangle of the
// screen bitmap to the window, as its own drawing calls do after writing to the screen.
extern "C" void _xwin_update_screen(int x, int y, int w, int h);

namespace vexlorn {

void nameWindow() {
    xwin_set_window_name("vexlorn", "Vexlorn");
}

// Allegro's own: xmessage where a display is, else the text on stdout.
void showFatalMessage(const char* message) {
    allegro_message("%s", message);
}

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

bool screenIsWindowImage() {
    return system_driver != nullptr && system_driver->id == SYSTEM_XWINDOWS &&
           is_linear_bitmap(screen) && bitmap_color_depth(screen) == 32;
}

void showScreenArea(int x, int y, int width, int height) {
    _xwin_update_screen(x, y, width, height);
}

// The window manager covers the monitor itself for a window that asks for full screen.
int fullScreenDriver() {
    return GFX_AUTODETECT_FULLSCREEN;
}

bool setCanvasMode(int width, int height, int canvasWidth, int canvasHeight) {
    return set_gfx_mode(GFX_AUTODETECT_WINDOWED, width, height, canvasWidth, canvasHeight) == 0;
}

void prepareModeChange(bool) {}

void finishModeChange(bool) {}

}  // namespace vexlorn
