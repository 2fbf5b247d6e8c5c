// XRandR's monitor list, through a short connection of our own.
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include "platform/desktop/desktop_window.h"
#include "platform/desktop/monitors.h"

namespace vexlorn {

std::vector<Monitor> desktopMonitors() {
    std::vector<Monitor> monitors;
    ::Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return monitors;
    int eventBase = 0;
    int errorBase = 0;
    if (XRRQueryExtension(display, &eventBase, &errorBase)) {
        int count = 0;
        XRRMonitorInfo* list = XRRGetMonitors(display, DefaultRootWindow(display), True, &count);
        for (int i = 0; list != nullptr && i < count; ++i) {
            Monitor monitor;
            monitor.area = Area{list[i].x, list[i].y, list[i].width, list[i].height};
            monitor.primary = list[i].primary != 0;
            monitors.push_back(monitor);
        }
        if (list != nullptr) XRRFreeMonitors(list);
    }
    XCloseDisplay(display);
    return monitors;
}

bool windowMonitor(Area& monitor) {
    Area window;
    return desktopWindowArea(window) && monitorHolding(desktopMonitors(), window, monitor);
}

}  // namespace vexlorn
