// A match between two sides: seats, the tally, wells driven by any source, stones between
// them, pauses from either side, and the round and match ends.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "board/game_random.h"
#include "board/opponent.h"
#include "frame/desktop_events.h"
#include "frame/frame_cycle.h"
#include "frame/pad_keys.h"
#include "play/match.h"
#include "play/replay_playback.h"
#include "play/replay_recorder.h"
#include "play/versus_state.h"
#include "screens/pause_state.h"
#include "screens/start_state.h"
#include "screens/versus_end_state.h"
#include "screens/versus_setup_state.h"
#include "test_support/loop_present.h"
#include "test_support/play_fixture.h"

namespace vexlorn {
namespace {

// A stream of moves, one per update, as a recording or a network peer would hand them over.
class ScriptedInput : public WellInput {
public:
    explicit ScriptedInput(std::vector<int> moves) : moves_(std::move(moves)) {}
    int afterUpdate(const Board& board) override {
        (void)board;
        return next_ < moves_.size() ? moves_[next_++] : noMove;
    }

private:
    std::vector<int> moves_;
    size_t next_ = 0;
};

enum Dir : int { Up = 0, Right = 1, Down = 2, Left = 3 };

TEST(VersusSlotsTest, InputsTakeTheFirstFreeSeatOnceAndTheComputerFillsOrLevelsUp) {
    VersusSlots slots;
    EXPECT_EQ(slots.claim(SlotSource::SecondKeys), LeftSide);
    EXPECT_EQ(slots.claim(SlotSource::SecondKeys), LeftSide);  // seated already
    EXPECT_FALSE(slots.ready());
    EXPECT_EQ(slots.claim(SlotSource::Pad, 7), RightSide);
    EXPECT_EQ(slots.claim(SlotSource::Pad, 8), -1);  // no seat left
    EXPECT_EQ(slots.seatOf(SlotSource::Pad, 7), RightSide);
    EXPECT_EQ(slots.seatOf(SlotSource::Pad, 8), -1);
    EXPECT_TRUE(slots.ready());

    slots.changeLevel(LeftSide, -1);
    EXPECT_EQ(slots.slots[LeftSide].level, 1);
    for (int i = 0; i < 9; ++i) slots.changeLevel(LeftSide, 1);
    EXPECT_EQ(slots.slots[LeftSide].level, versusLevels);

    slots.releaseLast();
    EXPECT_EQ(slots.slots[RightSide].source, SlotSource::Free);
    EXPECT_EQ(slots.addComputer(), RightSide);
    const VersusSlot& computer = slots.slots[RightSide];
    EXPECT_EQ(computer.strength, defaultStrength);
    EXPECT_EQ(computer.level, versusLevels);  // the seated player's
    slots.changeLevel(LeftSide, -2);
    EXPECT_EQ(computer.level, versusLevels - 2);  // and it follows
    EXPECT_EQ(slots.addComputer(), RightSide);    // no free seat: its strength goes up
    EXPECT_EQ(computer.strength, defaultStrength + 1);
    for (int i = 0; i < 2; ++i) slots.addComputer();
    EXPECT_EQ(computer.strength, 1);  // past the last, back to the first
    EXPECT_EQ(computer.level, versusLevels - 2);

    // Its own level, once chosen, stays: the strength never moves it.
    EXPECT_EQ(slots.stepComputerLevel(), RightSide);
    EXPECT_EQ(computer.level, versusLevels - 1);
    slots.changeLevel(LeftSide, -1);
    EXPECT_EQ(computer.level, versusLevels - 1);
    slots.stepComputerLevel();
    slots.stepComputerLevel();
    EXPECT_EQ(computer.level, 1);

    // Two computers: a match to watch, the right one stepped first.
    slots.clear();
    EXPECT_FALSE(slots.computersOnly());
    slots.addComputer();
    slots.addComputer();
    EXPECT_TRUE(slots.computersOnly());
    slots.addComputer();
    EXPECT_EQ(slots.slots[RightSide].strength, defaultStrength + 1);
    EXPECT_EQ(slots.slots[LeftSide].strength, defaultStrength);
}

TEST(MatchTallyTest, FirstToTwoWonRoundsAndDrawsCountForNobody) {
    MatchTally tally;
    tally.addRound(LeftSide);
    tally.addRound(-1);
    EXPECT_FALSE(tally.over());
    tally.addRound(RightSide);
    EXPECT_FALSE(tally.over());
    EXPECT_EQ(tally.matchWinner(), -1);
    tally.addRound(RightSide);
    EXPECT_TRUE(tally.over());
    EXPECT_EQ(tally.matchWinner(), RightSide);
    EXPECT_EQ(tally.roundsPlayed, 4);
    char text[16];
    formatTally(tally.wins, text, sizeof text);
    EXPECT_STREQ(text, "1-2");
    tally.reset();
    EXPECT_EQ(tally.wins[RightSide], 0);
    EXPECT_EQ(tally.roundsPlayed, 0);
}

TEST(RoundWinnerTest, ToppedOutLosesBothIsADrawAndAUsedUpWellLosesForItsSide) {
    Board out = quietBoard(0), fine = quietBoard(0);
    topOut(out);
    EXPECT_EQ(roundWinner(out, fine, -1), RightSide);
    EXPECT_EQ(roundWinner(fine, out, -1), LeftSide);
    EXPECT_EQ(roundWinner(out, out, RightSide), -1);
    EXPECT_EQ(roundWinner(fine, fine, LeftSide), RightSide);
    EXPECT_EQ(roundWinner(fine, fine, RightSide), LeftSide);
}

class VersusTest : public PlayFixture {
protected:
    void SetUp() override {
        PlayFixture::SetUp();
        forgetPadPresses();
        stateStack.push(&versusSetupState);
    }
    void TearDown() override {
        versusState.replaceInput(LeftSide, nullptr);
        versusState.replaceInput(RightSide, nullptr);
        PlayFixture::TearDown();
    }

    static VersusSlots seats(SlotSource left, SlotSource right, int leftLevel = 1,
                             int rightLevel = 1) {
        VersusSlots slots;
        slots.slots[LeftSide] = {left, left == SlotSource::Pad ? 11 : -1, leftLevel};
        slots.slots[RightSide] = {right, right == SlotSource::Pad ? 12 : -1, rightLevel};
        return slots;
    }

    // The match's first round, past its get-ready screen, on prepared boards.
    void startMatch(const VersusSlots& slots, const Board& left, const Board& right) {
        versusState.startMatch(slots);
        for (int i = 0; i < 200 && stateStack.top() != &versusState; ++i) pass();
        ASSERT_EQ(stateStack.top(), &versusState);
        *leftBoard = left;
        *rightBoard = right;
        gameSeed(1);
        versusState.aiDirections[LeftSide] = 0;
        versusState.aiDirections[RightSide] = 0;
    }

    // Both pads plugged in, and what each pressed at one poll: the set-up reads them kept, a
    // round as the keys they give, a pass a key.
    void padPoll(unsigned leftPad, unsigned rightPad, int removed = 0) {
        PadInput input;
        input.each[0] = {11, leftPad};
        input.each[1] = {12, rightPad};
        input.padCount = 2;
        input.pressed = leftPad | rightPad;
        input.removed = removed;
        keepPadPresses(input);
        const PadKeyBatch batch = padKeys.step(input, 0, currentPadContext());
        for (int i = 0; i < batch.count; ++i) lastKey = batch.keys[i] >> 8;
    }

    PadKeys padKeys;
};

TEST_F(VersusTest, EachWellRisesAtItsSidesLevelAndTheRoundGeneratesThoseLevels) {
    versusState.startMatch(seats(SlotSource::Arrows, SlotSource::SecondKeys, 2, 5));
    EXPECT_EQ(stateStack.top(), &startState);
    EXPECT_EQ(leftBoard->level, 1);
    EXPECT_EQ(rightBoard->level, 4);
    EXPECT_EQ(leftBoard->score, 0);
    for (int i = 0; i < 200 && stateStack.top() != &versusState; ++i) pass();
    *leftBoard = quietBoard(1);
    *rightBoard = quietBoard(4);
    const int slow = levelParams(1).riseInterval;
    const int fast = levelParams(4).riseInterval;
    // The first step once the clock passes the interval, then one every interval.
    const int passes = 4 * slow;
    for (int i = 0; i < passes; ++i) pass();
    EXPECT_EQ(leftBoard->riseStep, 1 + (passes - 1) / slow);
    EXPECT_EQ(rightBoard->riseStep, 1 + (passes - 1) / fast);
}

TEST_F(VersusTest, ScriptedStreamsDriveBothWellsWhateverTheSeats) {
    ScriptedInput left({Left, noMove, noMove, noMove, noMove, noMove, noMove, noMove, Up});
    ScriptedInput right({Up});
    versusState.replaceInput(LeftSide, &left);
    versusState.replaceInput(RightSide, &right);
    startMatch(seats(SlotSource::Computer, SlotSource::Pad), quietBoard(0), quietBoard(0));
    for (int i = 0; i < 20; ++i) pass();
    EXPECT_EQ(leftBoard->avatarCol, 4);
    EXPECT_EQ(leftBoard->avatarRow, 11);
    EXPECT_EQ(rightBoard->avatarCol, 5);
    EXPECT_EQ(rightBoard->avatarRow, 11);
}

TEST_F(VersusTest, KeySetsMoveOnlyTheirOwnWellAndChainsDropStonesAcross) {
    Board left = quietBoard(0);
    for (int row : {10, 11, 12}) left.at(0, row).colour = 6;
    left.at(0, 10).state = Landed;
    left.at(0, 10).chain = 2;
    startMatch(seats(SlotSource::Arrows, SlotSource::SecondKeys), left, quietBoard(0));
    press(KEY_A);  // the second set's left, on the right well
    EXPECT_EQ(lastKey, 0);
    EXPECT_EQ(rightBoard->moveCol, 4);
    EXPECT_EQ(leftBoard->at(5, 12).state, Idle);
    int stones = 0;
    for (int column = 0; column < boardColumns; ++column)
        stones += rightBoard->at(column, rightBoard->topRow).kind == Stone;
    EXPECT_EQ(stones, 2);
    press(KeyUp);
    EXPECT_EQ(leftBoard->moveRow, 11);
    EXPECT_EQ(rightBoard->moveRow, 12);
}

// A computer seat decides at its strength's pace whatever its well's level, on either side;
// the strongest soon scores.
TEST_F(VersusTest, TheComputerSeatPlaysAtItsStrengthsPaceWhateverItsLevel) {
    for (int strength = 1; strength <= computerStrengths; ++strength) {
        for (int level : {1, versusLevels}) {
            const int side = (strength + level) % 2 == 0 ? LeftSide : RightSide;
            SCOPED_TRACE(testing::Message() << "strength " << strength << " level " << level);
            VersusSlots slots = side == LeftSide
                                    ? seats(SlotSource::Computer, SlotSource::Arrows, level, 1)
                                    : seats(SlotSource::Arrows, SlotSource::Computer, 1, level);
            slots.slots[side].strength = strength;
            // Swapping the block above down completes a group of the level's size in the
            // bottom row; no other move scores at once, and every move can be made.
            Board computer = quietBoard(level - 1);
            for (int column = 0; column < boardColumns; ++column) {
                computer.at(column, 11).colour = 5 + column % 2;
                computer.at(column, 13).colour = column % 2;
            }
            const int size = levelParams(level - 1).minGroup;
            for (int k = 1; k < size; ++k) computer.at(5 - k, 12).colour = 3;
            computer.at(5, 11).colour = 3;
            computer.at(5, 10).colour = 0;
            Board player = quietBoard(0);
            startMatch(slots, side == LeftSide ? computer : player,
                       side == LeftSide ? player : computer);
            Board& well = side == LeftSide ? *leftBoard : *rightBoard;
            const ComputerStrength& pace = computerStrength(strength);
            const int decides = std::max(pace.decideTicks, pace.answerTicks);
            for (int i = 1; i < decides; ++i) pass();
            EXPECT_EQ(well.at(5, 12).state, Idle) << "moved before its time";
            // A blunder may try the wall on the right; only the strongest never blunders.
            for (int i = 0; i < 3 * decides && well.at(5, 12).state == Idle; ++i) pass();
            EXPECT_NE(well.at(5, 12).state, Idle) << "never moved";
            if (strength == computerStrengths) {
                // It plans: the scoring move may come after moves that make it score more.
                for (int i = 0; i < 40 * decides && well.score == 0; ++i) pass();
                EXPECT_GT(well.score, 0);
            }
            EXPECT_EQ((side == LeftSide ? *rightBoard : *leftBoard).at(5, 12).state, Idle);
            stateStack.pop();
        }
    }
}

TEST_F(VersusTest, PStartOnASeatedPadAPadPulledOutOrTheFocusLostPausesBoth) {
    startMatch(seats(SlotSource::Pad, SlotSource::Pad), quietBoard(0), quietBoard(0));
    padPoll(0, padBit(PadLeft));
    pass(0);
    EXPECT_EQ(rightBoard->moveCol, 4);  // each pad its own well
    EXPECT_EQ(leftBoard->at(5, 12).state, Idle);

    for (int which : {0, 1, 2, 3, 4}) {
        SCOPED_TRACE(which);
        if (which == 0) lastKey = KeyP;
        if (which == 1) padPoll(padBit(PadStart), 0);
        if (which == 2) padPoll(0, padBit(PadStart));
        if (which == 3) padPoll(0, 0, 1);
        if (which == 4) pauseRoundIfPlaying();  // the window lost the focus
        pass(0);
        ASSERT_EQ(stateStack.top(), &pauseState);
        const Board before = *leftBoard;
        pass(100);
        EXPECT_EQ(leftBoard->riseStep, before.riseStep);
        press(KEY_Q);
        EXPECT_EQ(stateStack.top(), &versusState);
    }
}

TEST_F(VersusTest, ASeatedPadsHeldDirectionRepeatsOnItsOwnSeatsKey) {
    startMatch(seats(SlotSource::Pad, SlotSource::Pad), quietBoard(0), quietBoard(0));
    PadInput input;
    input.padCount = 2;
    input.each[0] = {11, 0, 0};
    input.each[1] = {12, padBit(PadRight), padBit(PadRight)};
    std::vector<int> sent;
    for (int tick = 0; tick <= firstRepeatTicks; ++tick) {
        const PadKeyBatch batch = padKeys.step(input, tick == 0 ? 0 : 1, currentPadContext());
        for (int i = 0; i < batch.count; ++i) sent.push_back(batch.keys[i] >> 8);
        input.each[1].pressed = 0;
    }
    const int right = seatPadKeySets[RightSide].keys[Right];
    EXPECT_EQ(sent, (std::vector<int>{right, right}));  // the press, then the first repeat
}

TEST_F(VersusTest, RoundsRunToTwoWinsThenRematchOrMenu) {
    Board out = quietBoard(0);
    topOut(out);
    startMatch(seats(SlotSource::Arrows, SlotSource::Computer), quietBoard(0), out);
    pass();
    ASSERT_EQ(stateStack.top(), &versusEndState);
    EXPECT_EQ(versusEndState.winner, LeftSide);
    EXPECT_FALSE(versusEndState.matchOver);
    EXPECT_EQ(versusState.tally.wins[LeftSide], 1);
    EXPECT_GT(taskList.size(), 0);  // the loser's well breaks apart
    // While it breaks apart, the frame loop may leave out the updates between ticks.
    for (int i = 0; i < 60; ++i) {
        tickCount = tickCount + 1;
        runUpdate();
        ASSERT_TRUE(quietPass()) << "pass " << i;
        ASSERT_TRUE(nothingNewWithoutATick()) << "pass " << i;
    }

    for (int round = 2; round <= 3; ++round) {
        press(KeyEnter);
        for (int i = 0; i < 200 && stateStack.top() != &versusState; ++i) pass();
        ASSERT_EQ(stateStack.top(), &versusState);
        *leftBoard = out;  // the right side wins this one
        *rightBoard = quietBoard(0);
        if (round == 3) topOut(*rightBoard);  // and a draw next
        pass();
        ASSERT_EQ(stateStack.top(), &versusEndState);
    }
    EXPECT_EQ(versusEndState.winner, -1);
    EXPECT_EQ(versusState.tally.wins[RightSide], 1);

    press(KeyEnter);
    for (int i = 0; i < 200 && stateStack.top() != &versusState; ++i) pass();
    *leftBoard = out;
    pass();
    EXPECT_TRUE(versusEndState.matchOver);
    EXPECT_EQ(versusState.tally.matchWinner(), RightSide);
    press(KeyEnter);  // a rematch, same seats
    EXPECT_EQ(versusState.tally.roundsPlayed, 0);
    EXPECT_EQ(versusState.slots.slots[RightSide].source, SlotSource::Computer);
    for (int i = 0; i < 200 && stateStack.top() != &versusState; ++i) pass();
    *rightBoard = out;
    pass();
    ASSERT_EQ(stateStack.top(), &versusEndState);
    press(KeyEsc);
    EXPECT_EQ(stateStack.top(), &menu);
}

// A match's round recorded as the frame loop plays it (a ticked pass, then one between ticks),
// with both key sets or a seated pad and the computer, a pause, and keys of every set; played
// again from its recording, it ends on the boards it recorded.
TEST_F(VersusTest, ARecordedRoundOfAMatchEndsOnItsRecordedBoardsWhenPlayedAgain) {
    VersusSlots matches[] = {
        seats(SlotSource::Arrows, SlotSource::SecondKeys, 5, 4),
        seats(SlotSource::Pad, SlotSource::Computer, 4, 5),
        seats(SlotSource::Computer, SlotSource::Computer, 2, 2),
        seats(SlotSource::Computer, SlotSource::Computer, 4, 4),
    };
    // The weakest computer blunders most, on draws of the round's own generator.
    matches[1].slots[RightSide].strength = 1;
    // The strongest plans; a round recorded before the seats planned, or before its plans
    // grew long, plays the way it was recorded.
    matches[2].slots[LeftSide].strength = computerStrengths;
    matches[2].slots[RightSide].strength = computerStrengths;
    matches[2].slots[RightSide].way = FirstWay;
    matches[3].slots[LeftSide].strength = computerStrengths;
    matches[3].slots[LeftSide].way = FullPlansWay;
    matches[3].slots[RightSide].strength = computerStrengths - 1;
    for (const VersusSlots& match : matches) {
        SCOPED_TRACE(static_cast<int>(match.slots[LeftSide].source));
        std::vector<int> keys;
        for (const KeySet* set : {&arrowKeySet, &wasdKeySet, &seatPadKeySets[0]})
            keys.insert(keys.end(), std::begin(set->keys), std::end(set->keys));
        queueBoardSeeds(4711, 815);
        versusState.startMatch(match);
        std::mt19937 random(3);
        int pausedSince = 0;
        for (int pass = 1; pass < 40000 && roundRecorder.recording(); ++pass) {
            tickCount = tickCount + (pass % 2 == 0 ? 1 : 0);
            roundRecorder.runUpdate();
            lastKey = 0;
            if (stateStack.top() == &pauseState) {
                if (pass - pausedSince > 100) lastKey = KeySpace;
            } else if (stateStack.top() == &versusState && pass == 900) {
                lastKey = KeyP;
                pausedSince = pass;
            } else if (stateStack.top() == &versusState && random() % 6 == 0) {
                lastKey = keys[random() % keys.size()];
            }
        }
        ASSERT_FALSE(roundRecorder.recording()) << "the round did not end";
        ASSERT_EQ(stateStack.top(), &versusEndState);
        const std::vector<uint8_t> recording = roundRecorder.lastRound();
        ReplayReader reader;
        std::string error;
        ASSERT_TRUE(reader.open(recording, error)) << error;
        for (int side : {LeftSide, RightSide}) {
            EXPECT_EQ(reader.header().seats[side], static_cast<int>(match.slots[side].source));
            EXPECT_EQ(reader.header().boards[side].level, match.slots[side].level - 1);
        }
        stateStack.popAll();
        stateStack.push(&menu);

        ReplayPlayer player;
        ASSERT_TRUE(player.start(recording, error)) << error;
        while (player.step()) {
        }
        EXPECT_TRUE(player.matched());
        EXPECT_EQ(versusState.slots.slots[RightSide].source, match.slots[RightSide].source);
        for (int side : {LeftSide, RightSide}) {
            if (match.slots[side].source != SlotSource::Computer) continue;
            EXPECT_EQ(versusState.slots.slots[side].strength, match.slots[side].strength);
            EXPECT_EQ(versusState.slots.slots[side].way, match.slots[side].way);
        }
        stateStack.popAll();
        stateStack.push(&menu);
        stateStack.push(&versusSetupState);
    }
}

TEST_F(VersusTest, TheSetUpSeatsKeysPadsAndTheComputerAndStartsOnAClaimedInput) {
    EXPECT_EQ(stateStack.top(), &versusSetupState);
    press(KeyEnter);  // the arrows take the left seat
    press(KeyEnter);  // not yet: the right seat is free
    EXPECT_EQ(stateStack.top(), &versusSetupState);
    press(KeyRight);
    press(KeyRight);
    EXPECT_EQ(versusSetupState.slots.slots[LeftSide].level, 3);
    padPoll(padBit(PadA), 0);
    pass(0);
    EXPECT_EQ(versusSetupState.slots.slots[RightSide].source, SlotSource::Pad);
    EXPECT_EQ(versusSetupState.slots.slots[RightSide].pad, 11);
    press(KeyBackspace);
    press(KEY_W);  // the second set takes the free seat
    EXPECT_EQ(versusSetupState.slots.slots[RightSide].source, SlotSource::SecondKeys);
    press(KEY_D);
    EXPECT_EQ(versusSetupState.slots.slots[RightSide].level, 2);
    press(KeySpace);
    ASSERT_EQ(stateStack.top(), &startState);
    EXPECT_EQ(leftBoard->level, 2);
    EXPECT_EQ(rightBoard->level, 1);

    stateStack.pop();
    stateStack.pop();
    ASSERT_EQ(stateStack.top(), &versusSetupState);
    press(KeyEsc);
    EXPECT_EQ(stateStack.top(), &menu);
}

// Every key of both sets: on an empty set-up, with the other set seated and with the computer
// seated, the seat it takes and for which input; once its set sits, the way it moves that
// seat's level and no other. A pad's A and Start take a seat the same way.
TEST_F(VersusTest, EachKeyOfEachSetTakesTheFreeSeatThenMovesOnlyItsOwnLevel) {
    struct KeySetKeys {
        SlotSource source;
        int keys[5];  // its own start key, then up, right, down, left
    };
    const KeySetKeys sets[2] = {
        {SlotSource::Arrows, {KeyEnter, KeyUp, KeyRight, KeyDown, KeyLeft}},
        {SlotSource::SecondKeys, {KeySpace, KEY_W, KEY_D, KEY_S, KEY_A}},
    };
    const auto seat = [](int side) { return versusSetupState.slots.slots[side]; };
    const auto reopen = [] {
        stateStack.pop();
        stateStack.push(&versusSetupState);
    };
    for (int set = 0; set < 2; ++set) {
        const KeySetKeys& own = sets[set];
        const KeySetKeys& other = sets[1 - set];
        for (int key : own.keys) {
            SCOPED_TRACE(testing::Message() << "key " << key);
            reopen();
            press(key);
            EXPECT_EQ(seat(LeftSide).source, own.source);
            EXPECT_EQ(seat(LeftSide).level, 1);
            EXPECT_EQ(seat(RightSide).source, SlotSource::Free);
            for (int first : {other.keys[0], other.keys[3], static_cast<int>(KEY_C)}) {
                reopen();
                press(first);
                const SlotSource left = seat(LeftSide).source;
                ASSERT_NE(left, SlotSource::Free);
                press(key);
                EXPECT_EQ(seat(LeftSide).source, left);
                EXPECT_EQ(seat(LeftSide).level, 1);
                EXPECT_EQ(seat(RightSide).source, own.source);
                EXPECT_EQ(seat(RightSide).level, 1);
                EXPECT_EQ(stateStack.top(), &versusSetupState);
            }
        }
        // Seated on the right: up and right raise its level, down and left lower it.
        reopen();
        press(other.keys[0]);
        press(own.keys[0]);
        const int levels[4] = {2, 3, 2, 1};
        for (int direction = 0; direction < 4; ++direction) {
            press(own.keys[1 + direction]);
            EXPECT_EQ(seat(RightSide).level, levels[direction]) << "direction " << direction;
            EXPECT_EQ(seat(LeftSide).level, 1) << "direction " << direction;
        }
        press(other.keys[2]);
        EXPECT_EQ(seat(LeftSide).level, 2);
        EXPECT_EQ(seat(RightSide).level, 1);
    }
    for (PadControl button : {PadA, PadStart}) {
        reopen();
        padPoll(0, padBit(button));
        pass(0);
        EXPECT_EQ(seat(LeftSide).source, SlotSource::Pad);
        EXPECT_EQ(seat(LeftSide).pad, 12);
        padPoll(padBit(button), 0);
        pass(0);
        EXPECT_EQ(seat(RightSide).source, SlotSource::Pad);
        EXPECT_EQ(seat(RightSide).pad, 11);
        padPoll(padBit(PadRight), padBit(PadDown));
        pass(0);
        EXPECT_EQ(seat(LeftSide).level, 1);  // not below the first
        EXPECT_EQ(seat(RightSide).level, 2);
    }
}

// C seats the computer at the other seat's level and then steps its strength, L its level; two
// computers start with Enter, play on whatever is pressed, and Esc returns to the set-up.
TEST_F(VersusTest, TwoComputersStartAMatchToWatchThatOnlyEscLeaves) {
    press(KeyEnter);
    press(KeyRight);
    press(KEY_C);
    const VersusSlot& computer = versusSetupState.slots.slots[RightSide];
    EXPECT_EQ(computer.level, 2);
    press(KEY_C);
    EXPECT_EQ(computer.strength, defaultStrength + 1);
    press(KEY_L);
    EXPECT_EQ(computer.level, 3);
    press(KeyBackspace);
    press(KeyBackspace);
    press(KEY_C);
    press(KEY_C);
    ASSERT_TRUE(versusSetupState.slots.computersOnly());
    press(KeyRight);  // no seat to take, no level of a player's to change
    EXPECT_EQ(versusSetupState.slots.slots[LeftSide].level, 1);
    press(KeyEnter);
    for (int i = 0; i < 200 && stateStack.top() != &versusState; ++i) pass();
    ASSERT_EQ(stateStack.top(), &versusState);
    for (int key : {int{KeyP}, int{KeySpace}, int{KeyEnter}, int{KeyUp}, int{KEY_A}, int{KEY_C}}) {
        press(key);
        EXPECT_EQ(stateStack.top(), &versusState) << key;
        EXPECT_EQ(lastKey, 0) << key;
    }
    const int16_t leftRise = leftBoard->riseStep;
    for (int i = 0; i < 200 && stateStack.top() == &versusState; ++i) pass();
    EXPECT_NE(leftBoard->riseStep, leftRise);  // it plays on
    ASSERT_EQ(stateStack.top(), &versusState);
    press(KeyEsc);
    EXPECT_EQ(stateStack.top(), &versusSetupState);
}

}  // namespace
}  // namespace vexlorn
