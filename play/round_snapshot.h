// A round's whole state between two updates, apart from the screens above it and the effects
// (which only draw): taken and put back, it lets a round be resumed at any update without its
// recording.
#pragma once

#include <cstdint>

#include "board/board.h"

namespace vexlorn {

struct RoundSnapshot {
    Board left{};
    Board right{};
    int32_t riseClock = 0;
    int16_t aiDirection = 0;
    int16_t leftResult = 0;
    int16_t rightResult = 0;
    uint32_t random = 0;
    int tickCount = 0;
    int lastTickCount = 0;
    int lastKey = 0;
};

RoundSnapshot takeRoundSnapshot();
void restoreRoundSnapshot(const RoundSnapshot& snapshot);
bool sameRound(const RoundSnapshot& a, const RoundSnapshot& b);

}  // namespace vexlorn
