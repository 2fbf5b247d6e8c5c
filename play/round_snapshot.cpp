// Taking a round's state and putting it back.
#include "play/round_snapshot.h"

#include "board/game_random.h"
#include "frame/globals.h"
#include "play/game1_state.h"
#include "play/replay_record.h"

namespace vexlorn {

RoundSnapshot takeRoundSnapshot() {
    RoundSnapshot snapshot;
    snapshot.left = *leftBoard;
    snapshot.right = *rightBoard;
    snapshot.riseClock = riseClock;
    snapshot.aiDirection = game1State.aiDirection;
    snapshot.leftResult = game1State.leftResult;
    snapshot.rightResult = game1State.rightResult;
    snapshot.random = gameRandomState();
    snapshot.tickCount = tickCount;
    snapshot.lastTickCount = lastTickCount;
    snapshot.lastKey = lastKey;
    return snapshot;
}

void restoreRoundSnapshot(const RoundSnapshot& snapshot) {
    *leftBoard = snapshot.left;
    *rightBoard = snapshot.right;
    riseClock = snapshot.riseClock;
    game1State.aiDirection = snapshot.aiDirection;
    game1State.leftResult = snapshot.leftResult;
    game1State.rightResult = snapshot.rightResult;
    setGameRandomState(snapshot.random);
    tickCount = snapshot.tickCount;
    lastTickCount = snapshot.lastTickCount;
    lastKey = snapshot.lastKey;
}

bool sameRound(const RoundSnapshot& a, const RoundSnapshot& b) {
    return boardsHash(a.left, a.right) == boardsHash(b.left, b.right) &&
           a.riseClock == b.riseClock && a.aiDirection == b.aiDirection &&
           a.leftResult == b.leftResult && a.rightResult == b.rightResult && a.random == b.random &&
           a.tickCount == b.tickCount && a.lastTickCount == b.lastTickCount &&
           a.lastKey == b.lastKey;
}

}  // namespace vexlorn
