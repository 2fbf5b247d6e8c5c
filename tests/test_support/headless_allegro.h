// Allegro without a display, for tests, benchmarks and fuzz targets on memory bitmaps.
#pragma once

namespace vexlorn {

// Starts Allegro's system-less driver once per process at 32 bits per pixel, with 24-bit data
// converted as the game converts it. Keyboard, timers and graphics modes do not exist here:
// code under test must not call them.
void ensureHeadlessAllegro();

// Letters, digits, space and minus as Allegro numbers them; the library's own table needs a
// keyboard driver. Stands in for keyToAscii.
int headlessKeyToAscii(int scancode);

}  // namespace vexlorn
