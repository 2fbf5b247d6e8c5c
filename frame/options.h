// The command line: "-window", "-fps", "-cheat", "-scale N", "-xdg-data" and "-replay FILE",
// compared without regard to case.
#pragma once

namespace vexlorn {

inline constexpr int largestScale = 8;

struct Options {
    bool windowed = false;
    bool showFps = false;
    bool cheat = false;
    int scale = 0;                 // 1..largestScale as asked for; 0 = the mode's own default
    bool dataHome = false;         // "-xdg-data", which the desktop entry passes
    const char* replay = nullptr;  // the recording to play instead of the game
};

Options parseOptions(int argc, const char* const* argv);

}  // namespace vexlorn
