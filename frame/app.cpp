// Start-up, the frame loop and shutdown.
//
// One clock: the loop's own thread sleeps until the next tick is due (frameClock), counts every
// tick that has come with onTick, and hands them to the screens (tickCount) once a cycle. No
// thread of the library's wakes beside it: Allegro's timer thread is never started (its
// keyboard on X repeats through the server, and its Windows drivers start the timer themselves
// when they need it), and its X input thread is held asleep while the loop takes the events. A
// cycle is two passes of one update each, the first consuming the ticks, the second between
// ticks with none, then the sleep until the next tick, then the present. The number of updates
// does change how a round plays: a cell that has landed settles, and the opponent decides, in
// any update, ticked or not. So the cadence is fixed, whatever the machine's load: after every
// update that consumes ticks comes exactly one that has none, as in a loop resting a millisecond
// per pass, and a late cycle only hands over more ticks at once. A screen that would draw and
// decide nothing between ticks (no round runs under it) says so, and its update is then left out
// while no key has come (quietPass).
#include "frame/app.h"

#include <allegro.h>

#include <cstdio>
#include <thread>

#include "assets/sound.h"
#include "frame/desktop_events.h"
#include "frame/display.h"
#include "frame/frame_clock.h"
#include "frame/frame_cycle.h"
#include "frame/globals.h"
#include "frame/key_chords.h"
#include "frame/pad_keys.h"
#include "frame/picture_changes.h"
#include "frame/present.h"
#include "frame/settings.h"
#include "platform/desktop/input_thread.h"
#include "platform/desktop/window_system.h"
#include "platform/system/freed_memory.h"
#include "platform/system/process_end.h"
#include "platform/system/stop_requests.h"
#include "platform/system/timers.h"

namespace vexlorn {

void onTick() {
    countedTicks = countedTicks + 1;
    presentPending = true;
}

void onSecond() {
    loopsPerSecond = loopsThisSecond;
    loopsThisSecond = 0;
}

// Linux lets a thread's timers fire late by its timer slack, to merge wake-ups. The input thread
// allegro_init starts sleeps a millisecond at a time and handles X events every 10 ms. The loop
// takes those events itself just before it reads a key (pumpWindowEvents) and holds that thread
// asleep once it runs; until then, as during loading, a fifth of a second of slack takes it from
// a thousand wake-ups a second to about ten. The loop thread, whose only sleep is the wait for
// the tick, gets a millisecond; threads started later keep the default.
constexpr unsigned long inputThreadTimerSlackNs = 200000000;
constexpr unsigned long loopTimerSlackNs = 1000000;
constexpr unsigned long defaultTimerSlack = 0;

// The program the loop runs, from startUp on.
static const Program* runningProgram = nullptr;

// Set once allegro_init has succeeded: before that, even going back to text mode crashes.
static bool libraryStarted = false;

// The library taken down here, in order, rather than left to its exit handler: on Windows that
// handler runs inside exit(), where Allegro's window thread can wait for ever on a lock the
// exiting thread holds, and the process then lives on with its window gone. Sound and pads have
// been closed by then (shutDown). After a normal run Windows never gets here: the process ends
// once everything is saved.
static void stopLibrary() {
    if (!libraryStarted) return;
    remove_int(onTick);
    remove_int(onSecond);
    remove_timer();
    remove_keyboard();
    set_gfx_mode(GFX_TEXT, 0, 0, 0, 0);
    allegro_exit();
    libraryStarted = false;
}

void reportFatal(const char* message) {
    if (libraryStarted) set_gfx_mode(GFX_TEXT, 0, 0, 0, 0);
    showFatalMessage(message);
}

static bool startLibrary(bool windowed, int scale) {
    nameWindow();
    // Without a display allegro_init fails, and install_keyboard would then crash.
    setTimerSlack(inputThreadTimerSlackNs);  // inherited by the input thread started here
    bool started = allegro_init() == 0;
    setTimerSlack(defaultTimerSlack);  // and by no thread started later
    if (!started) return false;
    libraryStarted = true;
    watchStopRequests();
    if (install_keyboard() != 0) return false;
    keepAltWithKeys();
    set_color_depth(32);
    set_color_conversion(COLORCONV_24_TO_32);
    return openDisplay(windowed, scale);
}

bool startUp(bool windowed, int scale, const Program& program) {
    runningProgram = &program;
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
        stopLibrary();
        return false;
    }
    backBuffer = create_bitmap(screenWidth, screenHeight);
    text_mode(-1);
    char error[1024];
    if (!program.load(error, sizeof error)) {
        reportFatal(error);
        // Nothing was loaded and nothing is saved: the hall of fame stays as it was.
        destroy_bitmap(backBuffer);
        backBuffer = nullptr;
        stopLibrary();
        return false;
    }
    loadSounds();
    dropSoundData();
    returnFreedMemory();
    startPadKeys();
    stateStack.push(program.firstScreen);
    setTimerSlack(loopTimerSlackNs);
    holdInputThread();
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
static bool isDisplayToggle(const TakenKey& taken) {
    const bool enter = taken.scancode == KEY_ENTER || taken.scancode == KEY_ENTER_PAD;
    return taken.scancode == KEY_F11 || (enter && taken.alt);
}

static void readKey() {
    TakenKey taken;
    if (!takeKey(taken)) return;
    const int scancode = taken.scancode;
    if (isDisplayToggle(taken)) {
        if (!toggleDisplay()) requestQuit();
    } else if (scancode == KEY_F10) {
        stepScale();
    } else {
        lastKey = scancode;
        lastChar = taken.character;
        return;
    }
    if (runningProgram == nullptr || runningProgram->remembersChoices) {
        rememberDisplay(displayMode().windowed, askedScale());
    }
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
        waitForDue(frameClock, presentPending, FrameClock::Clock::now,
                   [](FrameClock::TimePoint tick) { std::this_thread::sleep_until(tick); });
        presentPending = false;
    };
    auto present = [showFps] {
        if (showFps) drawPassRate();
        presentPicture(backBuffer);
        // The first screen's time starts once its first picture is out: neither the loading nor
        // the window's first showing takes ticks from the intro's opening.
        if (!frameClock.started()) frameClock.start(FrameClock::Clock::now(), onTick, onSecond);
    };
    runCycle(pass, waitForTick, present);
}

void shutDown(const Program& program, int exitStatus) {
    releaseInputThread();
    stopPadKeys();
    releaseSounds();
    program.unload();
    // Saved: a log-off waiting for it may go on. Before the library stops, since on Windows the
    // wait holds Allegro's window thread, which taking the window down needs.
    stopAnswered();
    endProcessOnceSaved(exitStatus);
    // Bitmaps must go before main returns: Allegro's exit handler runs before static destructors.
    releasePresent();
    if (backBuffer != nullptr) {
        destroy_bitmap(backBuffer);
        backBuffer = nullptr;
    }
    stopLibrary();
    releaseFineTimer();
}

}  // namespace vexlorn
