// Storage for the frame globals.
#include "frame/globals.h"

namespace vexlorn {

BITMAP* backBuffer = nullptr;
volatile int tickCount = 0;
volatile bool presentPending = true;
volatile int loopsThisSecond = 0;
volatile int loopsPerSecond = 0;
int lastTickCount = 0;
bool running = true;
int lastKey = 0;
int lastChar = 0;
bool cheatMode = false;

}  // namespace vexlorn
