// The game's one window on the desktop, after Allegro has made it: its size, the full-screen
// state the window manager keeps, and what task bars read to name it. Nothing here waits on the
// window manager: each call sends its requests and returns, so no switch can hang the game.
#pragma once

#include "frame/display_layout.h"

namespace vexlorn {

// The window manager's full-screen state asked for, over the given monitor; without a window
// manager, the window moved over the monitor itself. Back in a window, it is where it was.
void showFullScreen(const Area& monitor);
// Where the window is on the desktop and how large (its drawing area); false before it exists.
bool desktopWindowArea(Area& area);
// Out of the full-screen state: a window of exactly this size, which the player cannot resize.
void showAsWindow(int width, int height);

// After the graphics mode: the window's drawing area grown to the whole screen bitmap (the
// canvas, as large as the monitor), so that a switch only changes what the window shows of it.
void useWholeCanvas(int width, int height);

// The properties task bars and switchers read: the icon at several sizes (the one
// setWindowIcon chose), the process and the machine it runs on.
void nameDesktopWindow();

}  // namespace vexlorn
