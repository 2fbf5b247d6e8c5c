// Allegro's Windows port: its window thread takes the events as they come and its GDI screen is
// a bitmap of its own, so the frame loop has nothing to pump and the present step blits. Full
// screen is a borderless window over the window's monitor: no mode change, so switching is
// quick and the other monitors keep their picture.
#include <allegro.h>
#include <winalleg.h>

#include <cstdio>

#include "platform/desktop/window_system.h"
#include "platform/files/wide_path.h"

namespace vexlorn {

void nameWindow() {}

// Not Allegro's message box: it belongs to the game's window, which may not be showing, and
// without a window manager it can stay behind it with nothing on screen to click.
void showFatalMessage(const char* message) {
    std::fputs(message, stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
    HWND window = win_get_window();
    if (window != nullptr) ShowWindow(window, SW_HIDE);
    std::wstring text = wideFromUtf8(message);
    if (text.empty()) text = L"Vexlorn cannot start.";
    MessageBoxW(nullptr, text.c_str(), L"Vexlorn",
                MB_OK | MB_ICONERROR | MB_SETFOREGROUND | MB_TOPMOST | MB_TASKMODAL);
}

void pumpWindowEvents() {}

bool screenIsWindowImage() {
    return false;
}

void showScreenArea(int, int, int, int) {}

int fullScreenDriver() {
    return GFX_AUTODETECT_WINDOWED;
}

// Made borderless first: a framed window as large as the monitor would not fit on it, and
// Allegro refuses a window whose drawing area comes out smaller than asked.
void prepareModeChange(bool) {
    HWND window = win_get_window();
    if (window != nullptr) SetWindowLongW(window, GWL_STYLE, WS_POPUP);
}

bool setCanvasMode(int, int, int canvasWidth, int canvasHeight) {
    prepareModeChange(true);
    return set_gfx_mode(GFX_AUTODETECT_WINDOWED, canvasWidth, canvasHeight, 0, 0) == 0;
}

// The fallback's full screen covers the monitor; a window is shaped by showAsWindow.
void finishModeChange(bool windowed) {
    HWND window = win_get_window();
    if (window == nullptr || windowed) return;
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &info)) return;
    const RECT& area = info.rcMonitor;
    SetWindowPos(window, HWND_TOP, area.left, area.top, area.right - area.left,
                 area.bottom - area.top, SWP_FRAMECHANGED | SWP_SHOWWINDOW);
}

}  // namespace vexlorn
