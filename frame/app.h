// Start-up, the frame loop and shutdown.
#pragma once

#include "frame/state_stack.h"

namespace vexlorn {

// Exit code of a failed start-up.
inline constexpr int startUpFailure = -1;

// What the loop runs, told from above the screens: the loop itself knows none of them.
struct Program {
    // Once the display is open: what the screens need. False when it failed, `error` says why.
    bool (*load)(char* error, int errorSize) = nullptr;
    // At shutdown, before the display goes: frees that and saves what the program keeps.
    void (*unload)() = nullptr;
    BaseState* firstScreen = nullptr;
    // The player's display choices (F10, F11, Alt+Enter) written to the settings; off where
    // the program must write nothing, as while watching a recording.
    bool remembersChoices = true;
};

// scale: the factor asked for with -scale, 0 when none.
bool startUp(bool windowed, int scale, const Program& program);
void runFrame(bool showFps);
// The pass without showing the back buffer or resting: what the headless soak drives.
void updateFrame();
// Frees everything, saves what the program keeps, and takes the library down; on Windows the
// process ends with `exitStatus` once the saving is done, without that teardown.
void shutDown(const Program& program, int exitStatus);
void onTick();
void onSecond();

// Back to text mode and a message box: the one path for fatal start-up failures.
void reportFatal(const char* message);

}  // namespace vexlorn
