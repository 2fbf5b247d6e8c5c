// The command line: "-window", "-fps", "-cheat" and "-scale N", compared without regard to case.
#pragma once

namespace vexlorn {

inline constexpr int largestScale = 8;

struct Options {
    bool windowed = false;
    bool showFps = false;
    bool cheat = false;
    int scale = 0;  // 1..largestScale as asked for; 0 = the mode's own default
};

Options parseOptions(int argc, const char* const* argv);

}  // namespace vexlorn
