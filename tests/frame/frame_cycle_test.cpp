// The frame loop's cadence: after every update that consumes ticks, exactly one between ticks
// that has none, at any load, against a plain loop written out by hand.
#include "frame/frame_cycle.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace vexlorn {
namespace {

// Where the timer's ticks fall in one cycle: during its first update, during its second, and
// during the wait (the wait sleeps only when no tick has come since the last present).
struct CycleTicks {
    int duringFirst;
    int duringSecond;
};

// Notes the ticks each update is handed and consumes them, as the animated screens do; the
// timer fires during the update as the schedule says.
class ProbeState : public BaseState {
public:
    bool update() override {
        seen.push_back(elapsedTicks());
        lastTickCount = tickCount;
        countedTicks = countedTicks + ticksDuringNext;
        ticksDuringNext = 0;
        return true;
    }
    std::vector<int> seen;
    int ticksDuringNext = 0;
};

// Cycles as a machine under the given load would run them: ticks may land during an update or
// several during one slow update.
std::vector<CycleTicks> schedule(unsigned seed, int cycles, int loadPercent) {
    std::mt19937 random(seed);
    std::vector<CycleTicks> ticks;
    for (int i = 0; i < cycles; ++i) {
        auto during = [&] {
            return static_cast<int>(random() % 100) < loadPercent ? 1 + random() % 3 : 0;
        };
        ticks.push_back({static_cast<int>(during()), static_cast<int>(during())});
    }
    return ticks;
}

// The plain loop: wake on a tick, one update with every tick since the last, one with none.
std::vector<int> referenceLoop(const std::vector<CycleTicks>& ticks) {
    std::vector<int> seen;
    int waiting = 0;  // ticks counted since the last update that took them
    for (const CycleTicks& cycle : ticks) {
        seen.push_back(waiting);
        seen.push_back(0);
        waiting = cycle.duringFirst + cycle.duringSecond;
        if (waiting == 0) waiting = 1;  // the wait sleeps until the next tick
    }
    return seen;
}

std::vector<int> realCycles(const std::vector<CycleTicks>& ticks) {
    ProbeState probe;
    stateStack.push(&probe);
    handOverTicks();  // whatever an earlier test left counted
    tickCount = 0;
    lastTickCount = 0;
    running = true;
    bool due = false;  // presentPending: a tick since the last present
    for (const CycleTicks& cycle : ticks) {
        int pass = 0;
        runCycle(
            [&] {
                probe.ticksDuringNext = pass++ == 0 ? cycle.duringFirst : cycle.duringSecond;
                due = due || probe.ticksDuringNext > 0;
                running = runUpdate();
            },
            [&] {
                if (!due) countedTicks = countedTicks + 1;
                due = false;
            },
            [] {});
    }
    stateStack.popAll();
    return probe.seen;
}

TEST(FrameCycle, AZeroTickUpdateFollowsEveryTickedOneAtAnyLoad) {
    for (int load : {0, 10, 50, 100}) {
        SCOPED_TRACE(testing::Message() << "load " << load << "%");
        const std::vector<CycleTicks> ticks = schedule(7u + load, 500, load);
        const std::vector<int> seen = realCycles(ticks);
        EXPECT_EQ(seen, referenceLoop(ticks));
        for (size_t i = 2; i < seen.size(); i += 2) {
            ASSERT_GE(seen[i], 1) << "update " << i;
            ASSERT_EQ(seen[i + 1], 0) << "update " << i + 1;
        }
    }
}

// A screen that empties the stack ends the cycle's updates: no update runs on an empty stack.
TEST(FrameCycle, NoSecondUpdateOnceTheStackIsEmpty) {
    class Leaving : public BaseState {
    public:
        bool update() override {
            ++updates;
            return false;
        }
        int updates = 0;
    } leaving;
    stateStack.push(&leaving);
    running = true;
    int waits = 0;
    runCycle([] { running = runUpdate(); }, [&] { ++waits; }, [] {});
    EXPECT_EQ(leaving.updates, 1);
    EXPECT_FALSE(running);
    EXPECT_EQ(waits, 1);  // the pass that emptied the stack still shows its picture
    running = true;
}

}  // namespace
// The loop leaves out an update only where it could change nothing: a still screen, no tick,
// no key, and nothing pushed, popped or keyed in or since its last update.
TEST(FrameCycle, OnlyAStillScreensUpdatesWithNothingNewAreLeftOut) {
    class Still : public BaseState {
    public:
        bool update() override {
            if (bounce) {
                stateStack.push(&other);
                stateStack.pop();
            }
            bounce = false;
            lastKey = 0;
            return true;
        }
        bool stillBetweenTicks() const override { return still; }
        bool still = true;
        bool bounce = false;
        ProbeState other;
    } screen;
    stateStack.push(&screen);
    auto update = [](int ticks, int key) {
        tickCount = tickCount + ticks;
        lastKey = key;
        runUpdate();
    };
    update(1, 0);
    EXPECT_TRUE(quietPass());
    tickCount = tickCount + 1;
    EXPECT_FALSE(quietPass()) << "a tick came";
    update(0, 0);
    EXPECT_TRUE(quietPass());
    lastKey = KEY_A;
    EXPECT_FALSE(quietPass()) << "a key came";
    update(0, KEY_A);
    EXPECT_FALSE(quietPass()) << "the last update took a key";
    update(0, 0);
    EXPECT_TRUE(quietPass());
    screen.still = false;
    EXPECT_FALSE(quietPass()) << "the screen is not still";
    screen.still = true;
    stateStack.push(&screen.other);
    stateStack.pop();
    EXPECT_FALSE(quietPass()) << "another screen came and went";
    update(0, 0);
    EXPECT_TRUE(quietPass());
    screen.bounce = true;
    update(0, 0);
    EXPECT_FALSE(quietPass()) << "a screen came and went in the update";
    stateStack.popAll();
    EXPECT_FALSE(quietPass()) << "no screen";
    lastKey = 0;
}

}  // namespace vexlorn
