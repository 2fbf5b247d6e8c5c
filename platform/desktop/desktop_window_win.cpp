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
// Whether windowPlace holds a framed window's place: a game that started full screen has none,
// and its borderless rectangle would put the window in the monitor's corner.
bool placed = false;

// The frame around a drawing area at the window's own DPI where Windows knows it (10, 1607 and
// later); Allegro's window is DPI-aware through the manifest, so the plain call would count the
// frame at 96 DPI on a monitor scaled otherwise.
RECT frameAround(HWND window, int width, int height) {
    RECT frame = {0, 0, width, height};
    using AdjustForDpi = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    using DpiOfWindow = UINT(WINAPI*)(HWND);
    HMODULE user = GetModuleHandleW(L"user32.dll");
    auto adjust = user != nullptr ? reinterpret_cast<AdjustForDpi>(reinterpret_cast<void*>(
                                        GetProcAddress(user, "AdjustWindowRectExForDpi")))
                                  : nullptr;
    auto dpiOf = user != nullptr ? reinterpret_cast<DpiOfWindow>(reinterpret_cast<void*>(
                                       GetProcAddress(user, "GetDpiForWindow")))
                                 : nullptr;
    const UINT dpi = dpiOf != nullptr ? dpiOf(window) : 0;
    if (adjust == nullptr || dpi == 0 || !adjust(&frame, framedStyle, FALSE, 0, dpi)) {
        frame = {0, 0, width, height};
        AdjustWindowRect(&frame, framedStyle, FALSE);
    }
    return frame;
}

// The work area of the monitor the window is on (not always the primary one).
RECT workAreaOf(HWND window) {
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info)) {
        return info.rcWork;
    }
    RECT work = {0, 0, 0, 0};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

// Without a window manager nothing else hands the game the keyboard after a change of shape.
void takeFocus(HWND window) {
    SetForegroundWindow(window);
    SetActiveWindow(window);
    SetFocus(window);
}

}  // namespace

void showFullScreen(const Area& monitor) {
    HWND window = win_get_window();
    if (window == nullptr) return;
    if (!covering && placed) GetWindowRect(window, &windowPlace);
    covering = true;
    SetWindowLongW(window, GWL_STYLE, WS_POPUP | WS_VISIBLE);
    SetWindowPos(window, HWND_TOP, monitor.x, monitor.y, monitor.width, monitor.height,
                 SWP_FRAMECHANGED | SWP_SHOWWINDOW);
    // A new shape shows parts of the canvas the window has not painted yet.
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
    takeFocus(window);
}

bool desktopWindowArea(Area& area) {
    HWND window = win_get_window();
    RECT place = {0, 0, 0, 0};
    if (window == nullptr || !GetWindowRect(window, &place)) return false;
    area = Area{place.left, place.top, place.right - place.left, place.bottom - place.top};
    return true;
}

void showAsWindow(int width, int height) {
    HWND window = win_get_window();
    if (window == nullptr) return;
    const RECT frame = frameAround(window, width, height);
    SetWindowLongW(window, GWL_STYLE, framedStyle | WS_VISIBLE);
    // Back where it was before full screen; otherwise centred on its monitor's work area.
    int x = windowPlace.left;
    int y = windowPlace.top;
    if (!covering || !placed) {
        const RECT work = workAreaOf(window);
        x = work.left + (work.right - work.left - (frame.right - frame.left)) / 2;
        y = work.top + (work.bottom - work.top - (frame.bottom - frame.top)) / 2;
    }
    covering = false;
    placed = true;
    SetWindowPos(window, HWND_NOTOPMOST, x, y, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_FRAMECHANGED | SWP_SHOWWINDOW);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
    takeFocus(window);
}

// The screen bitmap is the canvas already (setCanvasMode).
void useWholeCanvas(int, int) {}

// Task bars take the executable's icon resource and name.
void nameDesktopWindow() {}

}  // namespace vexlorn
