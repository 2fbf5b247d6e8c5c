// A round of a match between two sides at one computer: the play screen's rules, each well
// driven by the source seated at it, and a tally that runs to two won rounds.
#include "play/versus_state.h"

#include "assets/sound.h"
#include "board/game_random.h"
#include "board/rules.h"
#include "frame/globals.h"
#include "platform/input/pads.h"
#include "play/game1_state.h"
#include "play/replay_recorder.h"
#include "screens/screen_draw.h"
#include "screens/start_state.h"
#include "screens/versus_end_state.h"

namespace vexlorn {

VersusState versusState;

namespace {

constexpr int floatXs[2] = {200, 440};
static_assert(static_cast<int>(SlotSource::Computer) == largestReplaySeat,
              "every seat source can be recorded");

// A match's boards start with no continues, so a recording's continues of a computer seat carry
// its strength and the way it played: strength + way * computerStrengths, so that rounds
// recorded before the seats planned (1..computerStrengths) play again as they were played, and
// a recording without one (made before strengths) plays the first way at the default strength.
int16_t recordedStrength(const VersusSlot& slot) {
    if (slot.source != SlotSource::Computer) return 0;
    return static_cast<int16_t>(slot.strength + slot.way * computerStrengths);
}

bool knownRecordedStrength(const ReplayBoardStart& board) {
    return board.continues >= 1 && board.continues <= computerStrengths * computerWays;
}

int strengthFromRecording(const ReplayBoardStart& board) {
    if (!knownRecordedStrength(board)) return defaultStrength;
    return (board.continues - 1) % computerStrengths + 1;
}

int wayFromRecording(const ReplayBoardStart& board) {
    if (board.continues < 1) return FirstWay;
    if (!knownRecordedStrength(board)) return currentWay;
    return (board.continues - 1) / computerStrengths;
}

}  // namespace

int sidePan(int side) {
    return side == LeftSide ? panLeft : panRight;
}

Board* generateAtLevel(Board* board, int level) {
    if (board == nullptr) board = new Board{};
    // One generation, which moves on from the level before: the seed a recording keeps is the
    // board's own.
    board->level = static_cast<int16_t>(level - 1);
    board->score = 0;
    board->continues = 0;
    return generateBoard(board, 0);
}

void VersusState::startMatch(const VersusSlots& seats) {
    slots = seats;
    tally.reset();
    stateStack.push(this);
}

void VersusState::nextRound() {
    stateStack.pop();
    stateStack.pop();
    stateStack.push(this);
}

void VersusState::rematch() {
    tally.reset();
    nextRound();
}

void VersusState::replaceInput(int side, WellInput* input) {
    replaced_[side] = input;
}

WellInput* VersusState::sourceOf(int side) {
    if (replaced_[side] != nullptr) return replaced_[side];
    switch (slots.slots[side].source) {
        case SlotSource::Arrows:
            return &arrowInput_;
        case SlotSource::SecondKeys:
            return &secondKeysInput_;
        case SlotSource::Pad:
            return &padInputs_[side];
        default:
            return &computerInputs_[side];
    }
}

void VersusState::enter() {
    ReplayHeader start = roundStartNow();
    leftBoard = generateAtLevel(leftBoard, slots.slots[LeftSide].level - 1);
    rightBoard = generateAtLevel(rightBoard, slots.slots[RightSide].level - 1);
    for (int side = 0; side < 2; ++side) {
        start.seats[side] = static_cast<uint8_t>(slots.slots[side].source);
        start.boards[side] = {static_cast<int16_t>(slots.slots[side].level - 1), 0,
                              recordedStrength(slots.slots[side])};
    }
    start.seeds[0] = takenBoardSeed(1);
    start.seeds[1] = takenBoardSeed(0);
    roundRecorder.beginRound(start);
    for (int side = 0; side < 2; ++side) {
        aiDirections[side] = static_cast<int16_t>(gameRand() % 4);
        riseClocks[side] = 0;
        computerInputs_[side].begin(slots.slots[side].strength, slots.slots[side].way);
        inputs_[side] = sourceOf(side);
    }
    failedSide = -1;
    playMusic(MusicTrack::Silence);
    startState.seatTags = true;
    if (getReady && !isToppedOut(*rightBoard)) stateStack.push(&startState);
}

void VersusState::activate() {
    tickCount = 0;
    lastTickCount = 0;
    background = static_cast<int16_t>(levelParams(leftBoard->level).background);
}

int VersusState::padKey(int pad, int control) const {
    static constexpr PadControl directions[] = {PadUp, PadRight, PadDown, PadLeft};
    // Watching two computers, any pad's way back leaves, as Esc does.
    if (slots.computersOnly()) return control == PadB || control == PadBack ? KeyEsc : 0;
    const int side = slots.seatOf(SlotSource::Pad, pad);
    if (side < 0) return 0;
    for (int direction = 0; direction < 4; ++direction) {
        if (control == directions[direction]) return seatPadKeySets[side].keys[direction];
    }
    if (control == PadStart) return KeyP;
    if (control == PadB || control == PadBack) return KeyEsc;
    return 0;
}

// Esc, or the program closed mid-round: the round's recording ends here.
void VersusState::leave() {
    roundRecorder.endRound(*leftBoard, *rightBoard);
}

void VersusState::startReplay(const ReplayHeader& header) {
    for (int side = 0; side < 2; ++side) {
        slots.slots[side] = {static_cast<SlotSource>(header.seats[side]),
                             -1,
                             header.boards[side].level + 1,
                             strengthFromRecording(header.boards[side]),
                             true,
                             wayFromRecording(header.boards[side])};
    }
    tally.reset();
    stateStack.push(this);
}

// The window losing the focus pauses both sides, as P does.
int VersusState::pauseKey() const {
    return KeyP;
}

bool VersusState::update() {
    const int elapsed = elapsedTicks();
    // Each well rises at its own level's pace: the handicap between unequal players.
    RoundSide sides[2] = {
        {leftBoard, inputs_[LeftSide], &riseClocks[LeftSide],
         levelParams(leftBoard->level).riseInterval, panLeft, floatXs[LeftSide]},
        {rightBoard, inputs_[RightSide], &riseClocks[RightSide],
         levelParams(rightBoard->level).riseInterval, panRight, floatXs[RightSide]},
    };
    if (stepRound(sides[LeftSide], sides[RightSide], elapsed, &failedSide) == RoundStep::Ended) {
        roundRecorder.endRound(*leftBoard, *rightBoard, failedSide);
        tally.addRound(roundWinner(*leftBoard, *rightBoard, failedSide));
        stateStack.push(&versusEndState);
        return true;
    }

    redrawRound(background, *leftBoard, *rightBoard, elapsed);
    drawSeatTags();

    // Two computers play to be watched: only Esc, back to the set-up, is the watcher's.
    if (slots.computersOnly() && lastKey != KeyEsc) lastKey = 0;
    endRoundUpdate(elapsed);
    return true;
}

}  // namespace vexlorn
