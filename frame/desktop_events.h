// What the desktop asks of the game besides keys: the close button, stop signals and the
// keyboard focus. Allegro and the kernel report these on other threads; the callbacks only set
// flags, which the frame loop reads.
#pragma once

namespace vexlorn {

// First thing in main: SIGTERM, SIGINT and SIGHUP wait, blocked, until watchStopRequests. The
// handler allegro_init installs would end the program from inside whatever it was doing, and
// during the library's own start-up that crashes; threads started meanwhile keep them blocked.
void holdStopSignals();
// After allegro_init, so that SIGTERM, SIGINT and SIGHUP reach our handler instead of
// Allegro's; a signal held since holdStopSignals is delivered here.
void watchStopRequests();
// After every set_gfx_mode.
void watchFocus();

// The close button or a stop signal has asked the program to end.
bool stopRequested();
// The exit status the request asks for: 0 after the close button, 128 + N after signal N.
int stopExitStatus();

// True once each time the focus has stayed away from the window for a moment: a brief loss,
// such as the one a switch between window and full screen causes, is no reason to pause.
bool focusLeft();

// Pauses the screen on top as its pause key does, when it has one (the round); elsewhere nothing.
void pauseRoundIfPlaying();

}  // namespace vexlorn
