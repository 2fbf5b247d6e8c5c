// The frame loop's clock: every tick and second counted exactly over long runs however late the
// loop wakes, and the loop's cycle on it handing every tick to the screens.
#include "frame/frame_clock.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "frame/app.h"
#include "frame/frame_cycle.h"

namespace vexlorn {
namespace {

using namespace std::chrono_literals;
using TimePoint = FrameClock::TimePoint;

int ticksSeen = 0;
int secondsSeen = 0;
void countTick() {
    ++ticksSeen;
}
void countSecond() {
    ++secondsSeen;
}

// Until its first picture is out the program's clock has not started: however long the loading
// and the window's first showing take, no tick falls and the loop's wait returns at once.
TEST(FrameClock, NoTickFallsBeforeTheClockStarts) {
    FrameClock clock;
    ticksSeen = secondsSeen = 0;
    EXPECT_FALSE(clock.started());
    EXPECT_EQ(clock.catchUp(TimePoint{} + 1h), 0);
    volatile bool due = false;
    int sleeps = 0;
    waitForDue(
        clock, due, [] { return TimePoint{} + 1h; }, [&sleeps](TimePoint) { ++sleeps; });
    EXPECT_EQ(sleeps, 0);
    clock.start(TimePoint{} + 1h, countTick, countSecond);
    EXPECT_TRUE(clock.started());
    EXPECT_EQ(clock.catchUp(TimePoint{} + 1h + 1s), 50);
    EXPECT_EQ(ticksSeen, 50);
    EXPECT_EQ(secondsSeen, 1);
}

// An hour of wakes, each late by up to three ticks and now and then by seconds (a loaded or
// suspended machine): after every wake exactly the ticks and seconds whose time has come.
TEST(FrameClock, CountsEveryTickAndSecondExactlyOverAnHourOfLateWakes) {
    std::mt19937 random(39);
    const TimePoint start = TimePoint{} + 12345us;
    FrameClock clock;
    ticksSeen = secondsSeen = 0;
    clock.start(start, countTick, countSecond);
    TimePoint now = start;
    while (now - start < 1h) {
        const auto late = random() % 100 == 0 ? std::chrono::microseconds(random() % 3000000)
                                              : std::chrono::microseconds(random() % 60000);
        now = clock.nextTick() + late;
        const int before = ticksSeen;
        const int fired = clock.catchUp(now);
        EXPECT_EQ(fired, ticksSeen - before);
        const auto elapsed = now - start;
        ASSERT_EQ(ticksSeen, elapsed / FrameClock::tickLength);
        ASSERT_EQ(secondsSeen, elapsed / 1s);
        ASSERT_EQ(clock.ticksFired(), ticksSeen);
        ASSERT_GT(clock.nextTick(), now);
    }
    // A wake before the next tick counts nothing.
    EXPECT_EQ(clock.catchUp(clock.nextTick() - 1ns), 0);
}

// The state the probe cycles run on: notes the ticks each update is handed and consumes them.
class ProbeState : public BaseState {
public:
    bool update() override {
        seen.push_back(elapsedTicks());
        lastTickCount = tickCount;
        return true;
    }
    std::vector<int> seen;
};

// The loop's cycle on the clock in simulated time, with passes of any length: every counted tick
// reaches the screens, a zero-tick update follows every ticked one, every present follows a tick
// of its own, and the pass rate reads the passes of the last whole second.
TEST(FrameClock, TheLoopHandsEveryTickToTheScreensInItsFixedCadence) {
    std::mt19937 random(50);
    TimePoint now = TimePoint{} + 1s;
    frameClock.start(now, onTick, onSecond);
    ProbeState probe;
    stateStack.push(&probe);
    handOverTicks();
    tickCount = lastTickCount = 0;
    presentPending = true;
    running = true;
    loopsThisSecond = 0;
    int sleeps = 0;
    long long ticksAtLastPresent = -1;
    for (int cycle = 0; cycle < 30000; ++cycle) {
        const bool slow = cycle % 1000 >= 900;  // a tenth of the time, passes of up to 45 ms
        auto pass = [&] {
            running = runUpdate();
            loopsThisSecond = loopsThisSecond + 1;
            now += std::chrono::microseconds(random() % (slow ? 45000 : 2000));
        };
        auto wait = [&] {
            waitForDue(
                frameClock, presentPending, [&] { return now; },
                [&](TimePoint tick) {
                    ++sleeps;
                    ASSERT_GT(tick, now);
                    now = tick + std::chrono::microseconds(random() % 1500);
                });
            presentPending = false;
        };
        auto present = [&] {
            ASSERT_GT(frameClock.ticksFired(), ticksAtLastPresent);
            ticksAtLastPresent = frameClock.ticksFired();
        };
        runCycle(pass, wait, present);
        if (cycle == 1800) {
            EXPECT_EQ(loopsPerSecond, 100);  // two passes a tick while on time
        }
    }
    handOverTicks();
    probe.update();
    stateStack.popAll();
    long long handed = 0;
    for (int ticks : probe.seen) handed += ticks;
    EXPECT_EQ(handed, frameClock.ticksFired());
    // The first cycle shows its picture at once (presentPending starts set): ticks from the third.
    for (size_t i = 4; i + 1 < probe.seen.size(); i += 2) {
        ASSERT_GE(probe.seen[i], 1) << "update " << i;
        ASSERT_EQ(probe.seen[i + 1], 0) << "update " << i + 1;
    }
    EXPECT_GT(sleeps, 25000);  // on time, the loop sleeps once a cycle
}

}  // namespace
}  // namespace vexlorn
