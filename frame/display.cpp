// Setting the graphics mode once, and switching between window and full screen without setting
// it again. The screen bitmap (the canvas) is made as large as the monitor from the start; the
// window shows its top-left corner, or all of it in full screen. Memory bitmaps, the back
// buffer among them, are never touched by a switch; the canvas is cleared to black and the
// present step told to draw the whole picture at its new place.
#include "frame/display.h"

#include <allegro.h>

#include <algorithm>

#include "frame/desktop_events.h"
#include "frame/globals.h"
#include "frame/present.h"
#include "platform/desktop/desktop_window.h"
#include "platform/desktop/monitors.h"
#include "platform/desktop/window_system.h"

namespace vexlorn {

static DisplayMode current;
static int askedFactor = 0;
static Area canvas;
static bool switchable = false;  // the canvas holds full screen; false after a fallback mode

const DisplayMode& displayMode() {
    return current;
}

int askedScale() {
    return askedFactor;
}

// The monitor the window is on; before there is one, the monitor at the desktop's corner.
static Area desktopMonitor() {
    Area monitor;
    if (windowMonitor(monitor) && monitor.width > 0 && monitor.height > 0) return monitor;
    Area root{0, 0, screenWidth, screenHeight};
    get_desktop_resolution(&root.width, &root.height);
    return chooseMonitor(desktopMonitors(), root);
}

// The window's size and the picture's place in it, for the mode on this monitor.
static DisplayMode layout(bool windowed, const Area& monitor) {
    DisplayMode mode;
    mode.windowed = windowed;
    const Scale scale = chooseScale(windowed, askedFactor, monitor.width, monitor.height);
    mode.factor = scale.factor;
    mode.fill = scale.fill;
    Area picture{0, 0, screenWidth * mode.factor, screenHeight * mode.factor};
    if (mode.fill) picture = fillSize(windowed, monitor.width, monitor.height);
    mode.window = windowed ? picture : Area{0, 0, monitor.width, monitor.height};
    picture.x = std::max(0, (mode.window.width - picture.width) / 2);
    picture.y = std::max(0, (mode.window.height - picture.height) / 2);
    mode.picture = picture;
    return mode;
}

static bool fitsCanvas(const DisplayMode& mode) {
    return mode.window.width <= canvas.width && mode.window.height <= canvas.height;
}

void changeDisplayMode(const DisplayMode& mode) {
    current = mode;
    clear_bitmap(screen);
    forgetShownPicture();
}

static void show(const DisplayMode& mode, const Area& monitor) {
    changeDisplayMode(mode);
    if (mode.windowed) {
        showAsWindow(mode.window.width, mode.window.height);
    } else {
        showFullScreen(Area{monitor.x, monitor.y, mode.window.width, mode.window.height});
    }
}

// The last resort where no window can be made: Allegro's own full screen at the picture's size.
static bool setFallbackMode() {
    prepareModeChange(false);
    if (set_gfx_mode(fullScreenDriver(), screenWidth, screenHeight, 0, 0) != 0) return false;
    finishModeChange(false);
    DisplayMode mode;
    mode.windowed = false;
    mode.window = Area{0, 0, SCREEN_W, SCREEN_H};
    mode.picture = placePicture(SCREEN_W, SCREEN_H, mode.window, 1);
    changeDisplayMode(mode);
    watchFocus();
    return true;
}

bool openDisplay(bool windowed, int askedScale) {
    askedFactor = askedScale;
    const Area monitor = desktopMonitor();
    const DisplayMode window = layout(true, monitor);
    canvas = Area{0, 0, std::max(monitor.width, window.window.width),
                  std::max(monitor.height, window.window.height)};
    const int width = window.window.width;
    const int height = window.window.height;
    // Before the window is mapped where Allegro has made it already: window managers read the
    // process id when they take a window on.
    nameDesktopWindow();
    prepareModeChange(true);
    switchable = setCanvasMode(width, height, canvas.width, canvas.height);
    if (!switchable) {
        canvas = window.window;
        if (set_gfx_mode(GFX_AUTODETECT_WINDOWED, width, height, 0, 0) != 0) {
            return setFallbackMode();
        }
    }
    finishModeChange(true);
    // The title last: what looks for the window by its title finds it whole.
    nameDesktopWindow();
    useWholeCanvas(canvas.width, canvas.height);
    set_clip_rect(screen, 0, 0, canvas.width - 1, canvas.height - 1);
    set_window_title("Vexlorn");
    watchFocus();
    const DisplayMode wanted = layout(windowed, monitor);
    show(switchable && fitsCanvas(wanted) ? wanted : window, monitor);
    return true;
}

bool toggleDisplay() {
    if (screen == nullptr) return false;
    if (!switchable) return true;
    const Area monitor = desktopMonitor();
    const DisplayMode next = layout(!current.windowed, monitor);
    if (fitsCanvas(next)) show(next, monitor);
    return true;
}

void stepScale() {
    if (screen == nullptr || !switchable) return;
    const Area monitor = desktopMonitor();
    const bool windowed = current.windowed;
    askedFactor =
        nextScale(windowed, Scale{current.factor, current.fill}, monitor.width, monitor.height);
    const DisplayMode next = layout(windowed, monitor);
    if (fitsCanvas(next)) show(next, monitor);
}

}  // namespace vexlorn
