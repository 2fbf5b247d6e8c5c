// Requests from outside the window to end the program: stop signals on Linux; log-off, shutdown
// and the console's close on Windows. The game answers each as it does the close button.
#pragma once

namespace vexlorn {

// After allegro_init, whose own handlers would end the program on the spot. `onStop` gets the
// number of the signal that asked (the exit status is then 128 + it); it may run on any thread
// or in a signal handler, so it should only set a flag.
void forwardStopRequests(void (*onStop)(int number));

// Once the program has saved what it must on its way out: a log-off that waits for that save
// may then go on.
void stopAnswered();

}  // namespace vexlorn
