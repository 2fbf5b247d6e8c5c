// The command line: "-window", "-fps", "-cheat", "-scale N", "-versus" and "-xdg-data",
// compared without regard to case.
#pragma once

namespace vexlorn {

inline constexpr int largestScale = 8;

struct Options {
    bool windowed = false;
    bool showFps = false;
    bool cheat = false;
    int scale = 0;          // 1..largestScale as asked for; 0 = the mode's own default
    bool dataHome = false;  // "-xdg-data", which the desktop entry passes
    bool versus = false;    // start at the set-up of a match between two players
};

Options parseOptions(int argc, const char* const* argv);

}  // namespace vexlorn
