// A match between two sides at one computer: who plays each side, and the tally of its rounds.
#pragma once

#include <cstdint>

#include "play/round.h"
#include "play/well_input.h"

namespace vexlorn {

// Who sits at a well. The pad is SDL's instance id of the pad that claimed the slot. The numbers
// are kept in recordings.
enum class SlotSource : uint8_t { Free = 0, Arrows = 1, SecondKeys = 2, Pad = 3, Computer = 4 };

inline constexpr int versusLevels = levelCount;  // chosen 1..5, as the level table's rows

struct VersusSlot {
    SlotSource source = SlotSource::Free;
    int pad = -1;
    int level = 1;  // 1..versusLevels
    // A computer's: how well it plays, 1..computerStrengths; its level only sets the rise.
    int strength = defaultStrength;
    // A computer's level follows the other seat's until it is chosen for the computer itself.
    bool levelChosen = false;
    // A recorded computer plays again the way the seats played when it was recorded.
    int way = currentWay;
};

// The two slots of the set-up screen. An input claims the first free slot; one already seated
// keeps its own.
struct VersusSlots {
    VersusSlot slots[2];

    // The slot the input sits at, or -1. The computer is never looked up this way.
    int seatOf(SlotSource source, int pad = -1) const;
    // Seats the input at the first free slot, unless it is seated already. Its slot, or -1
    // when both are taken.
    int claim(SlotSource source, int pad = -1);
    // The first free slot becomes the computer at the default strength and the other seat's
    // level; with none free, the computer's strength goes up by one (past the last, back to
    // the first). The slot changed, or -1.
    int addComputer();
    // The computer's level goes up by one, past the last back to the first, and stays where it
    // is chosen. The slot changed, or -1.
    int stepComputerLevel();
    // A computer at the other slot whose level was never chosen follows.
    void changeLevel(int slot, int by);
    // The last slot taken is given up again.
    void releaseLast();
    bool ready() const;
    // Both seats the computer's: a match to watch, started by any seat's start key.
    bool computersOnly() const;
    void clear();
};

inline constexpr int roundsToWin = 2;

// First to two won rounds; a draw counts for nobody and is played again.
struct MatchTally {
    int wins[2] = {0, 0};
    int roundsPlayed = 0;
    int lastWinner = -1;  // of the last round: LeftSide, RightSide or -1 for a draw

    void addRound(int winner);
    bool over() const;
    int matchWinner() const;  // -1 until the match is over
    void reset();
};

}  // namespace vexlorn
