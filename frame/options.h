// The command line: "-window", "-fps", "-cheat", "-scale N|fill", "-versus", "-user-data" (or
// "-xdg-data", its older name) and "-replay FILE", compared without regard to case.
#pragma once

namespace vexlorn {

inline constexpr int largestScale = 8;
// "-scale fill": the largest picture that fits, at a factor that need not be whole.
inline constexpr int fillScale = -1;

struct Options {
    bool windowed = false;
    bool showFps = false;
    bool cheat = false;
    int scale = 0;          // 1..largestScale or fillScale as asked for; 0 = the mode's own default
    bool dataHome = false;  // "-user-data", which the desktop entry and Start-menu shortcut pass
    bool versus = false;    // start at the set-up of a match between two players
    const char* replay = nullptr;  // the recording to play instead of the game
};

Options parseOptions(int argc, const char* const* argv);
// A scale as written after "-scale" or in the settings: one digit 1..largestScale or "fill"
// (any case); 0 for anything else.
int scaleValue(const char* text);

}  // namespace vexlorn
