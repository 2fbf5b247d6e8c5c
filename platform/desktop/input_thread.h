// The game library's own input thread, where it has one.
#pragma once

namespace vexlorn {

// Once the frame loop takes the window's events itself on every pass: keeps the library's input
// thread asleep until releaseInputThread, or until the library shuts down, whichever is first.
// Where the library has no such thread, nothing.
void holdInputThread();
void releaseInputThread();

}  // namespace vexlorn
