// Allegro without a display, for tests on memory bitmaps.
#pragma once

#include <allegro.h>
#include <errno.h>
#include <stdlib.h>

namespace vexlorn {

// Starts Allegro's system-less driver once per process at 32 bits per pixel.
// Keyboard, timers and graphics modes do not exist here: code under test must not call them.
inline void ensureHeadlessAllegro() {
    static bool started = false;
    if (started) return;
    install_allegro(SYSTEM_NONE, &errno, atexit);
    set_color_depth(32);
    set_color_conversion(COLORCONV_24_TO_32);
    started = true;
}

}  // namespace vexlorn
