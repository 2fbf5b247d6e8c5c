// Game pads through SDL's game-controller API, folded into the ten controls the game uses.
// Only this folder sees SDL's input headers; the game gets plain records.
#pragma once

#include <string>

namespace vexlorn {

// Every pad's D-pad and left stick give the four directions; its face buttons give the rest.
enum PadControl : int {
    PadUp,
    PadDown,
    PadLeft,
    PadRight,
    PadA,  // south
    PadB,  // east
    PadX,
    PadY,
    PadBack,
    PadStart,
    PadControlCount,
};

inline constexpr unsigned padBit(PadControl control) {
    return 1u << control;
}

// What one pad pressed since the last poll. `pad` is SDL's instance id, which stays the pad's
// own for as long as it is plugged in.
struct OnePadPresses {
    int pad = -1;
    unsigned pressed = 0;
    unsigned held = 0;
};

// The pads told apart; more than this many open pads play as one.
inline constexpr int padsApart = 4;

// What the pads did since the last poll, all pads together and each on its own.
struct PadInput {
    unsigned held = 0;              // padBit of each control down on some pad now
    unsigned pressed = 0;           // went down since the last poll, even if it is up again already
    int removed = 0;                // pads pulled out since the last poll
    OnePadPresses each[padsApart];  // in the order the pads were opened
    int padCount = 0;
};

// Real mapping databases have about 2,000 lines in well under a megabyte; a larger file is not one.
inline constexpr long maxMappingFileBytes = 1L << 20;
inline constexpr int maxMappingFileLines = 10000;

// Starts SDL's controller support and opens every pad present. Extra mappings are read from
// `mappingFile` when it names a regular file within the limits above; a missing, damaged or
// larger one is passed over silently.
// False when SDL's controller support cannot start: the game then simply has no pads.
bool startPads(const std::string& mappingFile);
void stopPads();
bool padsStarted();

// Takes SDL's pending events: pads plugged in are opened, pads pulled out closed.
PadInput pollPads();
int openPadCount();

// Whether a mapping file's text is within the limits.
bool mappingFileFits(const std::string& text);

// Where extra mappings are looked for: $XDG_CONFIG_HOME/vexlorn/gamecontrollerdb.txt, or the
// same under ~/.config. Empty when neither variable helps. Either argument may be null.
std::string padMappingPath(const char* xdgConfigHome, const char* home);

// The stick counts as pushed past about a third of its travel and as let go only back inside a
// quarter, so a stick resting near the edge does not chatter.
inline constexpr int stickPushAt = 32767 / 3;
inline constexpr int stickReleaseAt = 32767 / 4;

// One stick axis as -1, 0 or +1, given the direction it gave before.
int stickAxisDirection(int previous, int value);

}  // namespace vexlorn
