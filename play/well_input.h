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

}  // namespace vexlorn
