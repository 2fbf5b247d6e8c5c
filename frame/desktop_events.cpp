// The close button, stop signals and focus changes, as flags for the frame loop.
#include "frame/desktop_events.h"

#include <allegro.h>

#include <chrono>
#include <csignal>

#include "frame/globals.h"
#include "frame/state_stack.h"
#include "platform/system/stop_requests.h"

namespace vexlorn {

static volatile sig_atomic_t stopSignal = 0;
static volatile bool closeClicked = false;
static volatile bool focusAway = false;

static bool awayNoticed = false;
static bool awayHandled = false;
static std::chrono::steady_clock::time_point awaySince;

static void onStopSignal(int number) {
    stopSignal = number;
}

static void onCloseButton() {
    closeClicked = true;
}
END_OF_STATIC_FUNCTION(onCloseButton)

static void onFocusOut() {
    reportFocus(true);
}
END_OF_STATIC_FUNCTION(onFocusOut)

static void onFocusIn() {
    reportFocus(false);
}
END_OF_STATIC_FUNCTION(onFocusIn)

void holdStopSignals() {
    holdStopRequests();
}

void watchStopRequests() {
    forwardStopRequests(onStopSignal);
    LOCK_VARIABLE(closeClicked);
    LOCK_FUNCTION(onCloseButton);
    set_close_button_callback(onCloseButton);
}

void watchFocus() {
    LOCK_VARIABLE(focusAway);
    LOCK_FUNCTION(onFocusOut);
    LOCK_FUNCTION(onFocusIn);
    // Set afresh with every mode: a new mode may come with a new window.
    set_display_switch_mode(SWITCH_BACKGROUND);
    set_display_switch_callback(SWITCH_OUT, onFocusOut);
    set_display_switch_callback(SWITCH_IN, onFocusIn);
    focusAway = false;
    awayNoticed = false;
    awayHandled = false;
}

bool stopRequested() {
    return stopSignal != 0 || closeClicked;
}

int stopExitStatus() {
    return stopSignal != 0 ? 128 + stopSignal : 0;
}

void reportFocus(bool away) {
    focusAway = away;
}

bool focusLeft(DesktopClock::time_point now) {
    if (!focusAway) {
        awayNoticed = false;
        awayHandled = false;
        return false;
    }
    if (!awayNoticed) {
        awayNoticed = true;
        awaySince = now;
    }
    if (awayHandled || now - awaySince < focusGrace) return false;
    awayHandled = true;
    return true;
}

void pauseRoundIfPlaying() {
    // Handed to the screen as the key it already answers, so this is the very pause its key
    // brings, grey picture, stopped music and all.
    const BaseState* top = stateStack.top();
    if (top != nullptr && top->pauseKey() != 0) lastKey = top->pauseKey();
}

bool answerDesktop(DesktopClock::time_point now) {
    if (focusLeft(now)) pauseRoundIfPlaying();
    return stopRequested();
}

}  // namespace vexlorn
