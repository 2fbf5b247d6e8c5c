// The few values through which every screen talks to the frame loop.
#pragma once

#include <allegro.h>

#include "assets/data_layout.h"  // the screen size

namespace vexlorn {

// Scancodes of the keys the screens act on (Allegro's numbering).
enum KeyCode : int {
    KeyP = 16,
    Key2 = 29,
    KeyEsc = 59,
    KeyBackspace = 63,
    KeyEnter = 67,
    KeySpace = 75,
    KeyLeft = 82,
    KeyRight = 83,
    KeyUp = 84,
    KeyDown = 85,
    KeyPlusPad = 89,
};

inline constexpr int ticksPerSecond = 50;  // tickCount's rate, and so the game's pace

extern BITMAP* backBuffer;
// Raised by the frame clock's callbacks (onTick, onSecond) on the loop's own thread; volatile, as
// the test and soak drivers that stand in for the clock may change them behind a screen's back.
extern volatile int tickCount;
extern volatile bool presentPending;
extern volatile int loopsThisSecond;
extern volatile int loopsPerSecond;
extern int lastTickCount;
extern bool running;
extern int lastKey;
// The character lastKey's key typed (0 for none), for screens where the player types words.
extern int lastChar;
extern bool cheatMode;

// Ticks the active screen has not yet consumed.
inline int elapsedTicks() {
    return tickCount - lastTickCount;
}

}  // namespace vexlorn
