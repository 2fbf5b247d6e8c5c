// Windows' monitor list, in desktop coordinates as Windows gives them.
#include <allegro.h>
#include <winalleg.h>
#include <windows.h>

#include "platform/desktop/monitors.h"

namespace vexlorn {

static BOOL CALLBACK addMonitor(HMONITOR handle, HDC, LPRECT, LPARAM list) {
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(handle, &info)) {
        const RECT& area = info.rcMonitor;
        Monitor monitor;
        monitor.area = Area{area.left, area.top, area.right - area.left, area.bottom - area.top};
        monitor.primary = (info.dwFlags & MONITORINFOF_PRIMARY) != 0;
        reinterpret_cast<std::vector<Monitor>*>(list)->push_back(monitor);
    }
    return TRUE;
}

std::vector<Monitor> desktopMonitors() {
    std::vector<Monitor> monitors;
    EnumDisplayMonitors(nullptr, nullptr, addMonitor, reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}

// Windows' own answer: the monitor with the largest part of the window.
bool windowMonitor(Area& monitor) {
    HWND window = win_get_window();
    if (window == nullptr) return false;
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONULL), &info)) return false;
    const RECT& area = info.rcMonitor;
    monitor = Area{area.left, area.top, area.right - area.left, area.bottom - area.top};
    return true;
}

}  // namespace vexlorn
