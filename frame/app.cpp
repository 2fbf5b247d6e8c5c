// Start-up, the frame loop and shutdown.
//
// Two clocks: Allegro's timer thread counts ticks fifty times a second and marks the back buffer
// due; the loop hands the counted ticks to the screens (tickCount) once a cycle. A cycle is two
// passes of one update each, the first consuming the ticks, the second between ticks with none,
// then a sleep until onTick signals the next tick (under X, vsync() would look for it every
// millisecond), then the present. The number of updates does change how a round plays: a cell
// that has landed settles, and the opponent decides, in any update, ticked or not. So the cadence
// is fixed, whatever the machine's load: after every update that consumes ticks comes exactly one
// that has none, as in a loop resting a millisecond per pass, and a late cycle only hands over
// more ticks at once. A screen that would draw and decide nothing between ticks (no round runs
// under it) says so, and its update is then left out while no key has come (quietPass).
#include "frame/app.h"

#include <allegro.h>

#include <cstdio>

#include "assets/sound.h"
#include "frame/desktop_events.h"
#include "frame/display.h"
#include "frame/frame_cycle.h"
#include "frame/globals.h"
#include "frame/pad_keys.h"
#include "frame/picture_changes.h"
#include "frame/present.h"
#include "frame/settings.h"
#include "platform/desktop/window_system.h"
#include "platform/system/tick_wait.h"
#include "platform/system/timers.h"

namespace vexlorn {

void onTick() {
    countedTicks = countedTicks + 1;
    presentPending = true;
    tickWait.signal();
}
END_OF_FUNCTION(onTick)

void onSecond() {
    loopsPerSecond = loopsThisSecond;
    loopsThisSecond = 0;
}
END_OF_FUNCTION(onSecond)

// Linux lets a thread's timers fire late by its timer slack, to merge wake-ups. The input thread
// allegro_init starts sleeps a millisecond at a time and handles X events every 10 ms. The loop
// takes those events itself just before it reads a key (pumpWindowEvents), so that thread only
// matters while no pass runs, as during loading: a fifth of a second of slack takes it from a
// thousand wake-ups a second to about ten. The loop thread, whose only sleep is the wait for
// the tick, gets a millisecond; Allegro's timer thread, which counts the ticks, keeps the default.
constexpr unsigned long inputThreadTimerSlackNs = 200000000;
constexpr unsigned long loopTimerSlackNs = 1000000;
constexpr unsigned long defaultTimerSlack = 0;

// Set once allegro_init has succeeded: before that, even going back to text mode crashes.
static bool libraryStarted = false;

void reportFatal(const char* message) {
    if (libraryStarted) set_gfx_mode(GFX_TEXT, 0, 0, 0, 0);
    allegro_message("%s", message);
}

static bool startLibrary(bool windowed, int scale) {
    nameWindow();
    // Without a display allegro_init fails, and install_keyboard would then crash.
    setTimerSlack(inputThreadTimerSlackNs);  // inherited by the input thread started here
    bool started = allegro_init() == 0;
    setTimerSlack(defaultTimerSlack);  // and not by the timer thread
    if (!started) return false;
    libraryStarted = true;
    watchStopRequests();
    if (install_keyboard() != 0) return false;
    if (install_timer() != 0) return false;
    set_color_depth(32);
    set_color_conversion(COLORCONV_24_TO_32);
    return openDisplay(windowed, scale);
}

bool startUp(bool windowed, int scale, const Program& program) {
    tickCount = 0;
    presentPending = true;
    running = true;
    lastKey = 0;
    holdFineTimer();
    openAudioDevice();
    if (!startLibrary(windowed, scale)) {
        char message[512];
        // With no display at all Allegro leaves its error text empty.
        const char* reason =
            allegro_error[0] != '\0' ? allegro_error : "No display could be opened.";
        std::snprintf(message, sizeof message, "Unable to set graphics mode\n%s\n", reason);
        reportFatal(message);
        return false;
    }
    backBuffer = create_bitmap(screenWidth, screenHeight);
    text_mode(-1);
    LOCK_VARIABLE(countedTicks);
    LOCK_VARIABLE(presentPending);
    LOCK_VARIABLE(loopsThisSecond);
    LOCK_VARIABLE(loopsPerSecond);
    LOCK_FUNCTION(onTick);
    LOCK_FUNCTION(onSecond);
    install_int_ex(onTick, BPS_TO_TIMER(ticksPerSecond));
    install_int_ex(onSecond, SECS_TO_TIMER(1));
    char error[1024];
    if (!program.load(error, sizeof error)) {
        reportFatal(error);
        return false;
    }
    loadSounds();
    startPadKeys();
    stateStack.push(program.firstScreen);
    setTimerSlack(loopTimerSlackNs);
    return true;
}

// Ends the program as the menu's EXIT does: every screen popped, then the normal shutdown.
static void requestQuit() {
    if (BaseState* top = stateStack.top()) top->closing();
    stateStack.popAll();
    running = false;
}

// Alt+Enter and F11 switch between window and full screen, F10 steps through the scales; none
// of them reaches the screens.
static bool isDisplayToggle(int scancode) {
    const bool enter = scancode == KEY_ENTER || scancode == KEY_ENTER_PAD;
    return scancode == KEY_F11 || (enter && (key_shifts & KB_ALT_FLAG) != 0);
}

static void readKey() {
    if (!keypressed()) return;
    const int scancode = readkey() >> 8;
    if (isDisplayToggle(scancode)) {
        if (!toggleDisplay()) requestQuit();
    } else if (scancode == KEY_F10) {
        stepScale();
    } else {
        lastKey = scancode;
        return;
    }
    rememberDisplay(displayMode().windowed, askedScale());
}

// A quiet pass is no pass for the screens: it reports no changes and counts as no update, so
// the screens' own watch on what ran in between still holds on the next pass.
void updateFrame() {
    const bool quiet = quietPass();
    if (!quiet) {
        beginPassChanges();
        running = runUpdate();
    }
    updateAudio();
    pollPadKeys();
    pumpWindowEvents();
    readKey();
    if (answerDesktop(DesktopClock::now())) requestQuit();
    if (!quiet) endPassChanges();
}

static void drawPassRate() {
    char text[32];
    std::snprintf(text, sizeof text, "FPS: %d", loopsPerSecond);
    textout(backBuffer, font, text, 0, 0, makecol(255, 255, 255));
    markChanged(Area{0, 0, text_length(font, text), text_height(font)});
}

void runFrame(bool showFps) {
    auto pass = [] {
        updateFrame();
        loopsThisSecond = loopsThisSecond + 1;
    };
    auto waitForTick = [] {
        tickWait.waitUntil(presentPending);
        presentPending = false;
    };
    auto present = [showFps] {
        if (showFps) drawPassRate();
        presentPicture(backBuffer);
    };
    runCycle(pass, waitForTick, present);
}

void shutDown(const Program& program) {
    stopPadKeys();
    releaseSounds();
    program.unload();
    // Bitmaps must go before main returns: Allegro's exit handler runs before static destructors.
    releasePresent();
    if (backBuffer != nullptr) {
        destroy_bitmap(backBuffer);
        backBuffer = nullptr;
    }
    releaseFineTimer();
}

}  // namespace vexlorn
