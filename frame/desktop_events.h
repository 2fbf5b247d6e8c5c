// What the desktop asks of the game besides keys: the close button, stop signals and the
// keyboard focus. Allegro and the kernel report these on other threads; the callbacks only set
// flags, which the frame loop reads.
#pragma once

#include <chrono>

namespace vexlorn {

using DesktopClock = std::chrono::steady_clock;

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

// What the window's focus callbacks report: the focus has gone elsewhere, or come back.
void reportFocus(bool away);

// How long the focus must stay away before the round pauses: a brief loss, such as the one a
// switch between window and full screen causes, is no reason to pause.
inline constexpr auto focusGrace = std::chrono::milliseconds(150);
// True once each time the focus has stayed away from the window for focusGrace by `now`.
bool focusLeft(DesktopClock::time_point now);

// Pauses the screen on top as its pause key does, when it has one (the round); elsewhere nothing.
void pauseRoundIfPlaying();

// The frame loop's step for all of this, once a pass at `now`: the screen on top paused once
// the focus has stayed away long enough; true when the program is asked to end.
bool answerDesktop(DesktopClock::time_point now);

}  // namespace vexlorn
