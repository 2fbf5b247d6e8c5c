// Requests from outside the window to end the program: stop signals on Linux; log-off, shutdown
// and the console's close on Windows. The game answers each as it does the close button.
#pragma once

namespace vexlorn {

// First thing in main: stop signals wait, blocked, until forwardStopRequests. The handler
// allegro_init installs would end the program from inside whatever it was doing, and during the
// library's own start-up that crashes; threads started meanwhile keep them blocked. On Windows,
// nothing: log-off reaches only the window, which exists once Allegro has started.
void holdStopRequests();

// After allegro_init, whose own handlers would end the program on the spot; a signal held since
// holdStopRequests is delivered here. `onStop` gets the
// number of the signal that asked (the exit status is then 128 + it); it may run on any thread
// or in a signal handler, so it should only set a flag.
void forwardStopRequests(void (*onStop)(int number));

// Once the program has saved what it must on its way out: a log-off that waits for that save
// may then go on.
void stopAnswered();

}  // namespace vexlorn
