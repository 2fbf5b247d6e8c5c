// Start-up, the frame loop and shutdown.
#pragma once

namespace vexlorn {

// Exit code of a failed start-up.
inline constexpr int startUpFailure = -1;

// scale: the factor asked for with -scale, 0 when none.
bool startUp(bool windowed, int scale = 0);
void runFrame(bool showFps);
// The pass without showing the back buffer or resting: what the headless soak drives.
void updateFrame();
void shutDown();
void onTick();
void onSecond();

// Back to text mode and a message box: the one path for fatal start-up failures.
void reportFatal(const char* message);

int runGame(int argc, const char* const* argv);

}  // namespace vexlorn
