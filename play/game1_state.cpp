// The screen on which a round of the duel is played: both boards driven tick by tick.
#include "play/game1_state.h"

#include "assets/sound.h"
#include "board/game_random.h"
#include "board/rules.h"
#include "frame/globals.h"
#include "play/replay_recorder.h"
#include "play/round.h"
#include "screens/continue1_state.h"
#include "screens/screen_draw.h"
#include "screens/start_state.h"

namespace vexlorn {

Game1State game1State;
Board* leftBoard = nullptr;
Board* rightBoard = nullptr;
uint8_t newGameFlag = 1;
int32_t riseClock = 0;

namespace {

constexpr int leftFloatX = 200;
constexpr int rightFloatX = 440;

KeySetInput arrowInput(arrowKeySet);
ComputerInput computerInput(&game1State.aiDirection);

// Recorded before the continue screen changes anything (it takes a continue). A round that
// ends with neither well topped out ended on the player's well running out: a loss.
void endRound() {
    roundRecorder.endRound(*leftBoard, *rightBoard, 0);
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
    startState.seatTags = false;
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
    // Both wells rise together at the player's level; the computer plays the right one.
    const int32_t riseInterval = levelParams(leftBoard->level).riseInterval;
    RoundSide left{leftBoard, &arrowInput, &riseClock, riseInterval, panLeft, leftFloatX};
    RoundSide right{rightBoard, &computerInput, &riseClock, riseInterval, panRight, rightFloatX};
    if (stepRound(left, right, elapsed) == RoundStep::Ended) {
        endRound();
        return true;
    }
    leftResult = left.result;
    rightResult = right.result;

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

    endRoundUpdate(elapsed);
    return true;
}

int Game1State::pauseKey() const {
    return KeyP;
}

}  // namespace vexlorn
