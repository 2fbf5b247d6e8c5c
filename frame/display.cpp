// Setting the graphics mode. Allegro may set a mode again while the game runs: memory bitmaps,
// the back buffer among them, survive; only `screen` is new, so it is cleared to black and the
// present step told to draw the whole picture.
#include "frame/display.h"

#include <allegro.h>

#include "frame/desktop_events.h"
#include "frame/globals.h"
#include "frame/present.h"
#include "platform/desktop/monitors.h"
#include "platform/desktop/window_system.h"

namespace vexlorn {

static DisplayMode current;
static int askedFactor = 0;

const DisplayMode& displayMode() {
    return current;
}

static Area desktopMonitor() {
    Area root{0, 0, screenWidth, screenHeight};
    get_desktop_resolution(&root.width, &root.height);
    return chooseMonitor(desktopMonitors(), root);
}

static bool trySetMode(bool windowed, int factor, int width, int height, const Area& monitor) {
    const int driver = windowed ? GFX_AUTODETECT_WINDOWED : fullScreenDriver();
    prepareModeChange(windowed);
    if (set_gfx_mode(driver, width, height, 0, 0) != 0) return false;
    finishModeChange(windowed);
    current.windowed = windowed;
    current.factor = factor;
    current.picture = placePicture(SCREEN_W, SCREEN_H, monitor, factor);
    set_window_title("Vexlorn");
    clear_bitmap(screen);
    watchFocus();
    forgetShownPicture();
    return true;
}

static bool setMode(bool windowed) {
    const Area monitor = desktopMonitor();
    const int factor = chooseFactor(windowed, askedFactor, monitor.width, monitor.height);
    if (windowed) {
        return trySetMode(true, factor, screenWidth * factor, screenHeight * factor, monitor) ||
               (factor > 1 && trySetMode(true, 1, screenWidth, screenHeight, monitor));
    }
    // The root window spans every monitor; the picture is centred on the chosen one.
    int desktopWidth = 0;
    int desktopHeight = 0;
    if (get_desktop_resolution(&desktopWidth, &desktopHeight) == 0 &&
        trySetMode(false, factor, desktopWidth, desktopHeight, monitor)) {
        return true;
    }
    return trySetMode(false, 1, screenWidth, screenHeight, monitor);
}

bool openDisplay(bool windowed, int askedScale) {
    askedFactor = askedScale;
    return setMode(windowed);
}

bool toggleDisplay() {
    const bool wasWindowed = current.windowed;
    return setMode(!wasWindowed) || setMode(wasWindowed);
}

}  // namespace vexlorn
