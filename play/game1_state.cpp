// The screen on which a round of the duel is played: both boards driven tick by tick.
#include "play/game1_state.h"

#include <iterator>

#include "assets/assets.h"
#include "assets/sound.h"
#include "board/effects.h"
#include "board/game_random.h"
#include "board/opponent.h"
#include "board/rules.h"
#include "frame/globals.h"
#include "frame/task_list.h"
#include "play/replay_recorder.h"
#include "screens/continue1_state.h"
#include "screens/pause_state.h"
#include "screens/screen_draw.h"
#include "screens/start_state.h"

namespace vexlorn {

Game1State game1State;
Board* leftBoard = nullptr;
Board* rightBoard = nullptr;
uint8_t newGameFlag = 1;
int32_t riseClock = 0;

namespace {

struct ArrowKey {
    int scancode;
    Direction step;
};

// The same four steps as the opponent's directionTable, by key.
const ArrowKey arrowKeys[] = {
    {KeyUp, {0, -1}},
    {KeyRight, {1, 0}},
    {KeyDown, {0, 1}},
    {KeyLeft, {-1, 0}},
};
static_assert(std::size(arrowKeys) == directionCount, "one entry per arrow key");

constexpr int floatDuration = 120;
constexpr int floatY = 140;
constexpr int leftFloatX = 200;
constexpr int rightFloatX = 440;

// A chain of one shows one picture, a double chain another; longer chains only drop stones.
void showChainFloat(int16_t chainBonus, int16_t x) {
    int object;
    if (chainBonus == 1) {
        object = ObjChain;
    } else if (chainBonus == 2) {
        object = ObjDoubleChain;
    } else {
        return;
    }
    BITMAP* picture = dataBitmap(object);
    if (picture == nullptr) return;
    taskList.add(new (std::nothrow) FloatTask(0, floatDuration, picture, x, floatY));
}

// Recorded before the continue screen changes anything (it takes a continue).
void endRound() {
    roundRecorder.endRound(*leftBoard, *rightBoard);
    stateStack.push(&continue1State);
}

}  // namespace

void Game1State::enter() {
    ReplayHeader start = roundStartNow();
    leftBoard = generateBoard(leftBoard, newGameFlag);
    rightBoard = generateBoard(rightBoard, newGameFlag);
    start.seeds[0] = takenBoardSeed(1);
    start.seeds[1] = takenBoardSeed(0);
    roundRecorder.beginRound(start);
    aiDirection = static_cast<int16_t>(gameRand() % 4);
    playMusic(MusicTrack::Silence);
    // A right board that is topped out from the start ends the round at the first update.
    if (!isToppedOut(*rightBoard)) stateStack.push(&startState);
}

// Esc, or the program closed mid-round: the round ends here.
void Game1State::leave() {
    roundRecorder.endRound(*leftBoard, *rightBoard);
}

void Game1State::activate() {
    tickCount = 0;
    lastTickCount = 0;
    background = static_cast<int16_t>(levelParams(leftBoard->level).background);
}

bool Game1State::update() {
    const int elapsed = elapsedTicks();
    riseClock += elapsed;
    const int32_t riseInterval = levelParams(leftBoard->level).riseInterval;

    // The right board is tested first, so a round where both top out reaches the draw.
    if (isToppedOut(*rightBoard)) {
        endRound();
        return true;
    }
    if (riseClock > riseInterval) {
        if (!advanceRise(*rightBoard)) {
            advanceRise(*leftBoard);
            endRound();
            return true;
        }
        // The opponent moves at most once per rise step, so the level's pace sets its speed.
        if (rightBoard->at(rightBoard->avatarCol, rightBoard->avatarRow).state == Idle) {
            aiDirection = static_cast<int16_t>(chooseAiDirection(*rightBoard, aiDirection));
            const Direction& step = directionTable[aiDirection];
            moveAvatar(*rightBoard, step.dx, step.dy, panRight);
        }
    }
    if (isToppedOut(*leftBoard)) {
        endRound();
        return true;
    }
    if (riseClock > riseInterval) {
        if (!advanceRise(*leftBoard)) {
            advanceRise(*rightBoard);
            endRound();
            return true;
        }
        // One step per update; a larger backlog is worked off by the following updates.
        riseClock -= riseInterval;
    }

    leftResult = updateBoard(*leftBoard, elapsed, panLeft);
    rightResult = updateBoard(*rightBoard, elapsed, panRight);
    showChainFloat(leftResult, leftFloatX);
    showChainFloat(rightResult, rightFloatX);
    dropStones(*leftBoard, rightResult);
    dropStones(*rightBoard, leftResult);

    for (const ArrowKey& arrow : arrowKeys) {
        if (lastKey != arrow.scancode) continue;
        // Consumed even when the move is refused.
        moveAvatar(*leftBoard, arrow.step.dx, arrow.step.dy, panLeft);
        lastKey = 0;
        break;
    }

    if (cheatMode && lastKey == KeyPlusPad) {
        lastKey = 0;
        // The continue screen takes this continue back and, when accepted, regenerates the
        // boards one level on. At the last level the round restarts there instead.
        leftBoard->continues += 1;
        if (leftBoard->level < levelCount - 1) {
            leftBoard->level += 1;
            rightBoard->level += 1;
        }
        endRound();
        return true;
    }

    redrawRound(background, *leftBoard, *rightBoard, elapsed);

    if (lastKey == KeyP) {
        stateStack.push(&pauseState);
        lastTickCount += elapsed;
        lastKey = 0;
        return true;
    }
    if (lastKey == KeyEsc) {
        lastKey = 0;
        // Back to the menu, whose activate has just reset the tick counters.
        stateStack.pop();
        return true;
    }
    lastTickCount += elapsed;
    return true;
}

int Game1State::pauseKey() const {
    return KeyP;
}

}  // namespace vexlorn
