// Where the 640 x 480 picture goes on today's desktops: the whole-number factor it is scaled
// by, the monitor it fills and its place there. Plain data only, so every rule is testable.
#pragma once

#include <vector>

namespace vexlorn {

struct Area {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Where two areas overlap; an empty area (width 0) where they do not.
Area intersection(const Area& a, const Area& b);

struct Monitor {
    Area area;
    bool primary = false;
};

// A window leaves this much of the monitor's height to its title bar and the desktop's panel.
inline constexpr int windowHeightReserve = 100;

// The largest factor that fits, or `asked` (1..8; 0 = not given) when that is smaller. Without
// a wish a window keeps the picture's own size and full screen fills the monitor. Never below 1.
int chooseFactor(bool windowed, int asked, int monitorWidth, int monitorHeight);

// Whether the picture is shown at a factor that need not be whole: when asked for ("-scale
// fill") and the room holds more than the picture, or in full screen by itself when the whole
// factor would be 1 on a monitor at least 1.25 times the picture both ways (a laptop's
// 1366 x 768), where the picture would fill a third of the screen.
bool usesFill(bool windowed, int asked, int monitorWidth, int monitorHeight);
// The largest picture of the game's shape that the room holds, never smaller than the picture.
// A window's room is the monitor less windowHeightReserve.
Area fillSize(bool windowed, int monitorWidth, int monitorHeight);

// How the picture is scaled: a whole factor, or filling the room at one that need not be.
struct Scale {
    int factor = 1;
    bool fill = false;
};
// For the scale asked (0 = none, 1..8, fillScale), by the rules above.
Scale chooseScale(bool windowed, int asked, int monitorWidth, int monitorHeight);
// What F10 asks for after the scale shown: the next whole factor up to the largest that fits,
// then fill where that is larger still, then 1 again.
int nextScale(bool windowed, const Scale& shown, int monitorWidth, int monitorHeight);

// The monitor whose corner is the desktop's origin (the primary one when several are), so a
// picture centred on it never straddles a seam; the whole root when none is there.
Area chooseMonitor(const std::vector<Monitor>& monitors, const Area& root);

// The monitor that holds the largest part of the window (the first listed of equals); false
// when none holds any of it.
bool monitorHolding(const std::vector<Monitor>& monitors, const Area& window, Area& chosen);

// The scaled picture's place in the screen bitmap: centred on the monitor when the bitmap spans
// it, else centred on the bitmap itself (a mode smaller than the desktop).
Area placePicture(int screenWidth, int screenHeight, const Area& monitor, int factor);

}  // namespace vexlorn
