// The sources that drive a well.
#include "play/well_input.h"

#include <allegro.h>

#include <iterator>

#include "board/opponent.h"
#include "frame/globals.h"
#include "platform/input/pads.h"

namespace vexlorn {

// Both in the order of directionTable: up, right, down, left.
const KeySet arrowKeySet = {{KeyUp, KeyRight, KeyDown, KeyLeft}};
const KeySet wasdKeySet = {{KEY_W, KEY_D, KEY_S, KEY_A}};
static_assert(std::size(KeySet{}.keys) == directionCount, "one key per direction");

namespace {

const PadControl padDirections[] = {PadUp, PadRight, PadDown, PadLeft};
static_assert(std::size(padDirections) == directionCount, "one control per direction");

}  // namespace

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

int PadWellInput::afterUpdate(const Board& board) {
    (void)board;
    const unsigned pressed = pending_;
    pending_ = 0;
    for (int direction = 0; direction < directionCount; ++direction) {
        if ((pressed & padBit(padDirections[direction])) != 0) return direction;
    }
    return noMove;
}

int ComputerInput::atRiseStep(const Board& board) {
    *lastDirection_ = static_cast<int16_t>(chooseAiDirection(board, *lastDirection_));
    return *lastDirection_;
}

}  // namespace vexlorn
