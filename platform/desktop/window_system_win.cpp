// Allegro's Windows port: its window thread takes the events as they come and its GDI screen is
// a bitmap of its own, so the frame loop has nothing to pump and the present step blits. Full
// screen is a borderless window over the window's monitor: no mode change, so switching is
// quick and the other monitors keep their picture.
#include <allegro.h>
#include <winalleg.h>

#include "platform/desktop/window_system.h"

namespace vexlorn {

// The style Allegro gives its window.
constexpr LONG framedStyle = WS_SYSMENU | WS_CAPTION | WS_MINIMIZEBOX;

void nameWindow() {}

void pumpWindowEvents() {}

bool screenIsWindowImage() {
    return false;
}

void showScreenArea(int, int, int, int) {}

int fullScreenDriver() {
    return GFX_AUTODETECT_WINDOWED;
}

void prepareModeChange(bool windowed) {
    HWND window = win_get_window();
    if (window == nullptr) return;
    SetWindowLongW(window, GWL_STYLE, windowed ? framedStyle : WS_POPUP);
}

void finishModeChange(bool windowed) {
    HWND window = win_get_window();
    if (window == nullptr) return;
    if (windowed) {
        SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_FRAMECHANGED | SWP_SHOWWINDOW);
        return;
    }
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &info)) return;
    const RECT& area = info.rcMonitor;
    SetWindowPos(window, HWND_TOP, area.left, area.top, area.right - area.left,
                 area.bottom - area.top, SWP_FRAMECHANGED | SWP_SHOWWINDOW);
    SetForegroundWindow(window);
}

}  // namespace vexlorn
