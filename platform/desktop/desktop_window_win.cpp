// The window on Windows: full screen is the window without its frame, laid over the monitor (no
// mode change, so a switch is quick and the other monitors keep their picture); a window gets
// Allegro's frame back and the asked size of drawing area, where it was before.
#include <allegro.h>
#include <winalleg.h>

#include "platform/desktop/desktop_window.h"

namespace vexlorn {

namespace {

// The style Allegro gives its window: a title bar, the close button, no resizing.
constexpr LONG framedStyle = WS_SYSMENU | WS_CAPTION | WS_MINIMIZEBOX;

RECT windowPlace = {0, 0, 0, 0};
bool covering = false;

}  // namespace

void showFullScreen(const Area& monitor) {
    HWND window = win_get_window();
    if (window == nullptr) return;
    if (!covering) GetWindowRect(window, &windowPlace);
    covering = true;
    SetWindowLongW(window, GWL_STYLE, WS_POPUP | WS_VISIBLE);
    SetWindowPos(window, HWND_TOP, monitor.x, monitor.y, monitor.width, monitor.height,
                 SWP_FRAMECHANGED | SWP_SHOWWINDOW);
    // A new shape shows parts of the canvas the window has not painted yet.
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
    SetForegroundWindow(window);
}

void showAsWindow(int width, int height) {
    HWND window = win_get_window();
    if (window == nullptr) return;
    RECT frame = {0, 0, width, height};
    AdjustWindowRect(&frame, framedStyle, FALSE);
    SetWindowLongW(window, GWL_STYLE, framedStyle | WS_VISIBLE);
    // Back where it was before full screen; the first time, centred on the work area.
    int x = windowPlace.left;
    int y = windowPlace.top;
    if (!covering) {
        RECT work = {0, 0, 0, 0};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        x = work.left + (work.right - work.left - (frame.right - frame.left)) / 2;
        y = work.top + (work.bottom - work.top - (frame.bottom - frame.top)) / 2;
    }
    covering = false;
    SetWindowPos(window, HWND_NOTOPMOST, x, y, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_FRAMECHANGED | SWP_SHOWWINDOW);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
}

// The screen bitmap is the canvas already (setCanvasMode).
void useWholeCanvas(int, int) {}

// Task bars take the executable's icon resource and name.
void nameDesktopWindow() {}

}  // namespace vexlorn
