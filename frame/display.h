// The graphics mode on today's desktops: one window, the picture scaled by a whole factor or
// filling it, which the window manager puts in and out of its full-screen state on one monitor,
// the picture scaled and centred there.
#pragma once

#include "frame/display_layout.h"

namespace vexlorn {

struct DisplayMode {
    bool windowed = true;
    int factor = 1;
    bool fill = false;  // scaled to picture's size at a factor that need not be whole
    Area window;        // the part of the screen bitmap the window shows, from its top-left corner
    Area picture;       // where the scaled picture lies in the screen bitmap
};

// Sets the one graphics mode of the run; false when none could be set, with allegro_error
// saying why.
bool openDisplay(bool windowed, int askedScale);
// Window to full screen and back, the factor rules applied afresh, without setting a mode
// again. Where full screen cannot be shown the window stays. False only when no mode is left.
bool toggleDisplay();
// The next larger scale the window or full screen can show; after the largest, "fill" where
// that is larger still, then back to 1.
void stepScale();
const DisplayMode& displayMode();
// What every switch does to the picture: `screen` cleared to black and the next present told to
// draw the whole picture at the mode's place and size.
void changeDisplayMode(const DisplayMode& mode);
// The scale the player asked for (0 when none), as the settings keep it.
int askedScale();

}  // namespace vexlorn
