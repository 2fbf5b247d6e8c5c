// Window events taken on the frame loop's own thread, just before it reads a key.
#pragma once

namespace vexlorn {

// Sends the X server what has been drawn, then moves the events it has sent back (keys, focus,
// the close button) into Allegro's buffers: the work Allegro's input thread does every 10 ms,
// done here so that a key that has reached the program is read in this very pass.
void pumpWindowEvents();

}  // namespace vexlorn
