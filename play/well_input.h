// What drives a well: the arrow keys, the second key set, one pad, the computer, or a recorded
// or scripted stream. Every source answers in the same terms, one move or none per update, so a
// round can be played, recorded and played back whoever sits at either well.
#pragma once

#include <cstdint>

#include "board/board.h"

namespace vexlorn {

// A move is an index into directionTable; noMove is none.
inline constexpr int noMove = -1;

class WellInput {
public:
    virtual ~WellInput() = default;
    // The update's ticks, before anything else of the update: for sources with a clock.
    virtual void passTicks(int elapsed) { (void)elapsed; }
    // At the well's rise step, when its avatar is at rest: where the computer decides.
    virtual int atRiseStep(const Board& board) {
        (void)board;
        return noMove;
    }
    // Once per update, after both wells have moved on: where keys and pads act.
    virtual int afterUpdate(const Board& board) {
        (void)board;
        return noMove;
    }
};

// Four keys, in the order of directionTable. A key of the set is taken from lastKey even when
// the move is refused, as the play screen has always done with the arrows.
struct KeySet {
    int keys[4];
};
extern const KeySet arrowKeySet;
extern const KeySet wasdKeySet;
// What a pad seated at each side gives in a match: codes past every scancode of Allegro's, so
// that no keyboard moves that well, and within the byte a recorded round keeps per update.
inline constexpr int firstSeatPadKey = 200;
extern const KeySet seatPadKeySets[2];

// The direction of a key in the set, or noMove.
int keySetDirection(const KeySet& set, int scancode);

class KeySetInput : public WellInput {
public:
    explicit KeySetInput(const KeySet& set) : set_(&set) {}
    int afterUpdate(const Board& board) override;

private:
    const KeySet* set_;
};

// The opponent's search, at most once per rise step. It keeps its last direction where its
// owner says: the search settles ties in its favour.
class ComputerInput : public WellInput {
public:
    explicit ComputerInput(int16_t* lastDirection) : lastDirection_(lastDirection) {}
    int atRiseStep(const Board& board) override;

private:
    int16_t* lastDirection_;
};

// How well a computer seat of a match plays: never the rules, only how it uses them. Ticks are
// the game's 1/50 s.
struct ComputerStrength {
    int decideTicks;  // at least this long from one decision to the next
    int answerTicks;  // how long its figure rests after a move before it decides again
    int depth;        // how far its search looks past the first move
    int errorDraw;    // a decision below this gameRand() draw is a blunder: any direction
    // With nothing in reach: false follows the search's own choice (which climbs), true heads
    // for the tallest column and never climbs.
    bool keepsLow;
    // Above 0: plans of this many moves, played forward with gravity and chains, take the
    // place of the search, so that it sets up chains and sends stones.
    int planMoves;
    // Above 0: only this many of the most promising plans of each length are made longer, so
    // that plans can be long; else every plan is searched.
    int beamWidth;
};
inline constexpr int computerStrengths = 5;  // chosen 1..5
inline constexpr int defaultStrength = 3;
// The ways the seats have played, oldest first; a recording keeps its way so that its rounds
// play again as they were played.
enum ComputerWay : int {
    FirstWay = 0,  // before they planned
    FullPlansWay,  // every plan of up to five moves
    BeamPlansWay,  // the strongest's longer plans, the most promising followed
    computerWays,
};
inline constexpr int currentWay = computerWays - 1;
// Row s - 1 of a way's table for strength s.
extern const ComputerStrength strengthTables[computerWays][computerStrengths];
const ComputerStrength& computerStrength(int strength, int way = currentWay);

// A match's computer seat: the opponent's search on a clock of its own, at its strength, so that
// the well's level sets only the rise. Its blunders draw on the round's own generator, so a
// recorded round plays again move for move.
class PacedComputerInput : public WellInput {
public:
    explicit PacedComputerInput(int16_t* lastDirection) : lastDirection_(lastDirection) {}
    // A new round at this strength, played the given way.
    void begin(int strength, int way = currentWay);
    void passTicks(int elapsed) override;
    int afterUpdate(const Board& board) override;

private:
    int16_t* lastDirection_;
    int strength_ = defaultStrength;
    int way_ = currentWay;
    int sinceDecision_ = 0;
    int resting_ = 0;
};

}  // namespace vexlorn
