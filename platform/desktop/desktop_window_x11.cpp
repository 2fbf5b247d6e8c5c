// The window on X11, through Allegro's own connection and windows. Allegro makes two windows:
// the one the window manager manages (wm_window) and, inside it, the one it draws in (window).
// The drawing window is made as large as the canvas once; after that only the managed window
// changes size, so a switch never sets a graphics mode again (setting one waits, without end
// under some window managers, for the new window to be mapped).
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <allegro.h>
#include <unistd.h>
#include <xalleg.h>

#include <climits>
#include <cstddef>

#include "platform/desktop/desktop_window.h"

namespace vexlorn {

// X11's own: called by setWindowIcon (window_icon_x11.cpp).
void keepNetWmIcon(const unsigned long* data, std::size_t length);

namespace {

// EWMH's _NET_WM_STATE actions.
constexpr long stateRemove = 0;
constexpr long stateAdd = 1;
constexpr long sourceApplication = 1;

// Not kept: every call interns afresh, which costs one round trip to the server, not the WM.
Atom atom(const char* name) {
    return XInternAtom(_xwin.display, name, False);
}

Window windowProperty(Window window, Atom property) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    Window found = None;
    if (XGetWindowProperty(_xwin.display, window, property, 0, 1, False, XA_WINDOW, &type, &format,
                           &count, &after, &data) == Success &&
        type == XA_WINDOW && format == 32 && count == 1) {
        found = *reinterpret_cast<Window*>(data);
    }
    if (data != nullptr) XFree(data);
    return found;
}

// A window manager that follows EWMH names its check window on the root and on that window
// itself; a stale name left by one that has gone does not point back.
bool windowManagerRunning() {
    const Atom check = atom("_NET_SUPPORTING_WM_CHECK");
    const Window root = XDefaultRootWindow(_xwin.display);
    const Window child = windowProperty(root, check);
    return child != None && windowProperty(child, check) == child;
}

void askFullScreenState(long action) {
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = _xwin.wm_window;
    event.xclient.message_type = atom("_NET_WM_STATE");
    event.xclient.format = 32;
    event.xclient.data.l[0] = action;
    event.xclient.data.l[1] = long(atom("_NET_WM_STATE_FULLSCREEN"));
    event.xclient.data.l[3] = sourceApplication;
    XSendEvent(_xwin.display, XDefaultRootWindow(_xwin.display), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &event);
}

// Fixed size in a window; in full screen the window manager decides, so nothing is fixed.
void setSizeHints(int width, int height, bool fixed) {
    XSizeHints* hints = XAllocSizeHints();
    if (hints == nullptr) return;
    if (fixed) {
        hints->flags = PMinSize | PMaxSize | PBaseSize;
        hints->min_width = hints->max_width = hints->base_width = width;
        hints->min_height = hints->max_height = hints->base_height = height;
    }
    XSetWMNormalHints(_xwin.display, _xwin.wm_window, hints);
    XFree(hints);
}

bool usable() {
    return _xwin.display != nullptr && _xwin.wm_window != None;
}

// _NET_WM_ICON's data (width, height and ARGB pixels for each size in turn), which only the
// game links: setWindowIcon hands it over.
const unsigned long* iconData = nullptr;
std::size_t iconLength = 0;

// Where the window was before it covered the monitor without a window manager.
int windowX = 0;
int windowY = 0;
bool covering = false;

// Under the lock.
bool readWindowArea(Area& area) {
    if (!usable()) return false;
    Window root = None;
    Window child = None;
    int x = 0;
    int y = 0;
    unsigned width = 0;
    unsigned height = 0;
    unsigned border = 0;
    unsigned depth = 0;
    if (!XGetGeometry(_xwin.display, _xwin.wm_window, &root, &x, &y, &width, &height, &border,
                      &depth)) {
        return false;
    }
    // A managed window sits in its frame: its place on the desktop is the root's coordinates.
    if (!XTranslateCoordinates(_xwin.display, _xwin.wm_window, root, 0, 0, &x, &y, &child))
        return false;
    area = Area{x, y, int(width), int(height)};
    return true;
}

bool holdsCentre(const Area& monitor, const Area& window) {
    const int x = window.x + window.width / 2;
    const int y = window.y + window.height / 2;
    return x >= monitor.x && x < monitor.x + monitor.width && y >= monitor.y &&
           y < monitor.y + monitor.height;
}

}  // namespace

bool desktopWindowArea(Area& area) {
    XLOCK();
    const bool read = readWindowArea(area);
    XUNLOCK();
    return read;
}

namespace {

void showUnder(const Area& monitor) {
    // The window manager fills the monitor the window is on, and puts the window back where it
    // was when the state is taken away: the window is only moved when it is elsewhere.
    Area window;
    if (!readWindowArea(window) || !holdsCentre(monitor, window))
        XMoveWindow(_xwin.display, _xwin.wm_window, monitor.x, monitor.y);
    askFullScreenState(stateAdd);
}

}  // namespace

void showFullScreen(const Area& monitor) {
    XLOCK();
    if (usable()) {
        setSizeHints(monitor.width, monitor.height, false);
        if (windowManagerRunning()) {
            showUnder(monitor);
        } else {
            Window root = None;
            unsigned width = 0;
            unsigned height = 0;
            unsigned border = 0;
            unsigned depth = 0;
            if (!covering) {
                XGetGeometry(_xwin.display, _xwin.wm_window, &root, &windowX, &windowY, &width,
                             &height, &border, &depth);
            }
            covering = true;
            XMoveResizeWindow(_xwin.display, _xwin.wm_window, monitor.x, monitor.y,
                              unsigned(monitor.width), unsigned(monitor.height));
            XRaiseWindow(_xwin.display, _xwin.wm_window);
        }
        XFlush(_xwin.display);
    }
    XUNLOCK();
}

void showAsWindow(int width, int height) {
    XLOCK();
    if (usable()) {
        const bool managed = windowManagerRunning();
        if (managed) askFullScreenState(stateRemove);
        setSizeHints(width, height, true);
        if (managed || !covering) {
            XResizeWindow(_xwin.display, _xwin.wm_window, unsigned(width), unsigned(height));
        } else {
            XMoveResizeWindow(_xwin.display, _xwin.wm_window, windowX, windowY, unsigned(width),
                              unsigned(height));
        }
        covering = false;
        XFlush(_xwin.display);
    }
    XUNLOCK();
}

void useWholeCanvas(int width, int height) {
    XLOCK();
    if (usable() && _xwin.window != None) {
        // Allegro clips what it copies to the window to the size the mode was set with.
        _xwin.window_width = _xwin.screen_width = width;
        _xwin.window_height = _xwin.screen_height = height;
        XResizeWindow(_xwin.display, _xwin.window, unsigned(width), unsigned(height));
    }
    XUNLOCK();
}

void keepNetWmIcon(const unsigned long* data, std::size_t length) {
    iconData = data;
    iconLength = length;
}

void nameDesktopWindow() {
    XLOCK();
    if (usable()) {
        if (iconData != nullptr) {
            XChangeProperty(_xwin.display, _xwin.wm_window, atom("_NET_WM_ICON"), XA_CARDINAL, 32,
                            PropModeReplace, reinterpret_cast<const unsigned char*>(iconData),
                            int(iconLength));
        }
        const unsigned long pid = static_cast<unsigned long>(getpid());
        XChangeProperty(_xwin.display, _xwin.wm_window, atom("_NET_WM_PID"), XA_CARDINAL, 32,
                        PropModeReplace, reinterpret_cast<const unsigned char*>(&pid), 1);
        char host[HOST_NAME_MAX + 1] = {};
        if (gethostname(host, sizeof host - 1) == 0) {
            XTextProperty machine = {};
            char* names[] = {host};
            if (XStringListToTextProperty(names, 1, &machine) != 0) {
                XSetWMClientMachine(_xwin.display, _xwin.wm_window, &machine);
                XFree(machine.value);
            }
        }
        XFlush(_xwin.display);
    }
    XUNLOCK();
}

}  // namespace vexlorn
