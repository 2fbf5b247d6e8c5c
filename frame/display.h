// The graphics mode on today's desktops: a window scaled by a whole factor, or full screen at
// the desktop's own resolution with the picture scaled and centred on one monitor.
#pragma once

#include "frame/display_layout.h"

namespace vexlorn {

struct DisplayMode {
    bool windowed = true;
    int factor = 1;
    Area picture;  // where the scaled picture lies in the screen bitmap
};

// Sets the mode, falling back to the 640 x 480 full screen; false when nothing could be set,
// with allegro_error saying why.
bool openDisplay(bool windowed, int askedScale);
// Window to full screen and back, the factor rules applied afresh. When the other mode cannot
// be set the old one is set again; false only when neither can be.
bool toggleDisplay();
const DisplayMode& displayMode();

}  // namespace vexlorn
