// What the game asks of the window system itself, beyond what Allegro does on every platform.
#pragma once

namespace vexlorn {

// Before allegro_init: the window's icon, the generator's drawing (on Windows a resource).
void setWindowIcon();

// Before allegro_init: the window's class, so task bars group it under the desktop entry.
void nameWindow();

// Sends the window system what has been drawn, then moves the events it has sent back (keys,
// focus, the close button) into Allegro's buffers: the work Allegro's input thread does every
// 10 ms under X, done here so that a key that has reached the program is read in this very pass.
// Where Allegro takes events as they come, nothing.
void pumpWindowEvents();

// True when Allegro's screen bitmap is the very image the window shows, so the present step may
// write its pixels and then show the rectangles it wrote with showScreenArea.
bool screenIsWindowImage();
void showScreenArea(int x, int y, int width, int height);

// A fatal start-up failure told to the player: a message box where one can show, and on Windows
// the same text on stderr as well, since a window program may have no one to see its box. The
// game's own window is out of the way first, so that no black window stays behind it.
void showFatalMessage(const char* message);

// Full screen as this platform makes it. The driver set_gfx_mode is asked for: X's own full
// screen, or on Windows a plain window (no mode change) that finishModeChange then lays
// borderless over its monitor.
int fullScreenDriver();
// A window showing `width` x `height` of a screen bitmap as large as the canvas; false when the
// platform's windowed drivers cannot make one. Windows' drivers have no screen larger than their
// window: there the window starts as large as the canvas, and showAsWindow then shrinks it.
bool setCanvasMode(int width, int height, int canvasWidth, int canvasHeight);
// Before set_gfx_mode: the window's frame for the mode to come, so that its size counts right.
void prepareModeChange(bool windowed);
// After a successful set_gfx_mode.
void finishModeChange(bool windowed);

}  // namespace vexlorn
