// The command line: "-window", "-fps", "-cheat", "-scale N|fill", "-versus", "-user-data" (or
// "-xdg-data", its older name), "-replay FILE", "-host [PORT]" and "-join ADDRESS[:PORT]", compared
// without regard to case.
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
    const char* replay = nullptr;    // the recording to play instead of the game
    bool replayWithoutFile = false;  // "-replay" last, or before an empty argument: refused
    bool host = false;               // "-host [PORT]": wait for an online player
    int hostPort = 27850;
    const char* join = nullptr;  // "-join ADDRESS[:PORT]": join an online game
};

Options parseOptions(int argc, const char* const* argv);
// A scale as written after "-scale" or in the settings: one digit 1..largestScale or "fill"
// (any case); 0 for anything else.
int scaleValue(const char* text);
// A port as written after "-host": 1..65535; 0 for anything else.
int portValue(const char* text);

}  // namespace vexlorn
