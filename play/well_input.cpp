// The sources that drive a well.
#include "play/well_input.h"

#include <allegro.h>

#include <iterator>

#include "board/opponent.h"
#include "frame/globals.h"

namespace vexlorn {

// Both in the order of directionTable: up, right, down, left.
const KeySet arrowKeySet = {{KeyUp, KeyRight, KeyDown, KeyLeft}};
const KeySet wasdKeySet = {{KEY_W, KEY_D, KEY_S, KEY_A}};
const KeySet seatPadKeySets[2] = {
    {{firstSeatPadKey, firstSeatPadKey + 1, firstSeatPadKey + 2, firstSeatPadKey + 3}},
    {{firstSeatPadKey + 4, firstSeatPadKey + 5, firstSeatPadKey + 6, firstSeatPadKey + 7}},
};
static_assert(std::size(KeySet{}.keys) == directionCount, "one key per direction");
static_assert(firstSeatPadKey > KEY_MAX && firstSeatPadKey + 7 <= 255, "no scancode, one byte");

int keySetDirection(const KeySet& set, int scancode) {
    for (int direction = 0; direction < directionCount; ++direction) {
        if (scancode != 0 && set.keys[direction] == scancode) return direction;
    }
    return noMove;
}

int KeySetInput::afterUpdate(const Board& board) {
    (void)board;
    const int direction = keySetDirection(*set_, lastKey);
    if (direction != noMove) lastKey = 0;
    return direction;
}

int ComputerInput::atRiseStep(const Board& board) {
    *lastDirection_ = static_cast<int16_t>(chooseAiDirection(board, *lastDirection_));
    return *lastDirection_;
}

}  // namespace vexlorn
