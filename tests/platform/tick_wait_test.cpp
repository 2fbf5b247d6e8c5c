// The frame loop's wait for the tick.
#include "platform/system/tick_wait.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <future>
#include <thread>

namespace vexlorn {
namespace {

using namespace std::chrono_literals;

// A wait on a thread of its own, so that one that never ends fails the test instead of hanging
// it; the destructor releases it (flag set, signal) until it has gone.
class Waiter {
public:
    Waiter(std::function<void()> wait, std::function<void()> release) : release_(release) {
        thread_ = std::thread([this, wait] {
            wait();
            returned_.set_value();
        });
    }
    ~Waiter() {
        while (!returnedWithin(1ms)) release_();
        thread_.join();
    }
    bool returnedWithin(std::chrono::milliseconds limit) {
        return done_.wait_for(limit) == std::future_status::ready;
    }

private:
    std::function<void()> release_;
    std::promise<void> returned_;
    std::future<void> done_ = returned_.get_future();
    std::thread thread_;
};

struct TickWaitTest : ::testing::Test {
    TickWait wait;
    volatile bool due = false;
    void tick() {
        due = true;
        wait.signal();
    }
    std::function<void()> release() {
        return [this] { tick(); };
    }
};

TEST_F(TickWaitTest, ReturnsAtOnceWhenDueAndOtherwiseOnlyOnASignalAfterDue) {
    due = true;
    {
        Waiter waiter([this] { wait.waitUntil(due); }, release());
        EXPECT_TRUE(waiter.returnedWithin(2000ms)) << "a due present waited";
    }
    due = false;
    Waiter waiter([this] { wait.waitUntil(due); }, release());
    EXPECT_FALSE(waiter.returnedWithin(50ms)) << "returned with nothing due";
    wait.signal();  // with the flag still clear
    EXPECT_FALSE(waiter.returnedWithin(50ms)) << "returned on a signal with nothing due";
    tick();
    EXPECT_TRUE(waiter.returnedWithin(2000ms)) << "the signal did not wake the loop";
}

// The timer thread may run between the loop's look at the flag and its sleep. Here the tick
// lands in exactly that gap, every time: a wait that lost its signal would sleep for good.
TEST_F(TickWaitTest, ATickBetweenTheLookAndTheSleepIsNotLost) {
    int looks = 0;
    auto tickAfterTheFirstLook = [this, &looks] {
        bool seen = due;
        if (++looks == 1) tick();
        return seen;
    };
    Waiter waiter([&] { wait.waitUntilTrue(tickAfterTheFirstLook); }, release());
    EXPECT_TRUE(waiter.returnedWithin(2000ms)) << "the tick's signal was lost";
    EXPECT_EQ(looks, 2);
}

}  // namespace
}  // namespace vexlorn
