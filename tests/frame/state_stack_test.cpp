// Call orders of the state stack and the task list.
#include "frame/state_stack.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frame/task_list.h"

namespace vexlorn {
namespace {

std::vector<std::string> calls;

class RecordingState : public BaseState {
public:
    explicit RecordingState(std::string name) : name(std::move(name)) {}
    void enter() override {
        calls.push_back(name + " enter");
        if (pushOnEnter != nullptr) stack->push(pushOnEnter);
    }
    void activate() override { calls.push_back(name + " activate"); }
    bool update() override {
        calls.push_back(name + " update");
        if (popAllOnUpdate) stack->popAll();
        return keep;
    }
    void deactivate() override { calls.push_back(name + " deactivate"); }
    void leave() override { calls.push_back(name + " leave"); }

    std::string name;
    StateStack* stack = nullptr;
    BaseState* pushOnEnter = nullptr;
    bool keep = true;
    bool popAllOnUpdate = false;
};

class StateStackTest : public ::testing::Test {
protected:
    void SetUp() override { calls.clear(); }
    void TearDown() override { stack.popAll(); }
    StateStack stack;
    RecordingState a{"A"}, b{"B"}, c{"C"};
};

TEST_F(StateStackTest, PushEntersThenActivatesAndUpdatesTopEveryPass) {
    stack.push(&a);
    EXPECT_TRUE(stack.updateTop());
    EXPECT_TRUE(stack.updateTop());
    EXPECT_EQ(calls, (std::vector<std::string>{"A enter", "A activate", "A update", "A update"}));
}

TEST_F(StateStackTest, PushFromEnterActivatesBothInnerFirst) {
    a.stack = &stack;
    a.pushOnEnter = &b;
    stack.push(&a);
    EXPECT_EQ(stack.top(), &b);
    stack.updateTop();
    stack.pop();
    EXPECT_EQ(calls,
              (std::vector<std::string>{"A enter", "B enter", "B activate", "A activate",
                                        "B update", "B deactivate", "B leave", "A activate"}));
    EXPECT_EQ(b.next, nullptr);
}

TEST_F(StateStackTest, UpdateReturningFalsePopsAndActivatesBelowInSamePass) {
    stack.push(&a);
    stack.push(&b);
    b.keep = false;
    calls.clear();
    EXPECT_TRUE(stack.updateTop());
    EXPECT_EQ(calls,
              (std::vector<std::string>{"B update", "B deactivate", "B leave", "A activate"}));
    EXPECT_EQ(stack.top(), &a);
}

TEST_F(StateStackTest, PoppingTheLastStateEndsTheLoop) {
    stack.push(&a);
    a.keep = false;
    EXPECT_FALSE(stack.updateTop());
    EXPECT_TRUE(stack.empty());
    EXPECT_FALSE(stack.pop());
    EXPECT_FALSE(stack.updateTop());
}

TEST_F(StateStackTest, UpdateThatPopsEverythingEndsTheLoopEvenReturningTrue) {
    stack.push(&a);
    a.stack = &stack;
    a.popAllOnUpdate = true;
    EXPECT_FALSE(stack.updateTop());
}

TEST_F(StateStackTest, PopAllUncoversEachStateOnTheWay) {
    stack.push(&a);
    stack.push(&b);
    stack.push(&c);
    calls.clear();
    stack.popAll();
    EXPECT_EQ(calls,
              (std::vector<std::string>{"C deactivate", "C leave", "B activate", "B deactivate",
                                        "B leave", "A activate", "A deactivate", "A leave"}));
    EXPECT_TRUE(stack.empty());
}

class RecordingTask : public BaseTask {
public:
    RecordingTask(std::string name, int lifetime) : name(std::move(name)), lifetime(lifetime) {
        ++alive;
    }
    ~RecordingTask() override { --alive; }
    void start() override { calls.push_back(name + " start"); }
    bool update(BITMAP*, int ticks) override {
        calls.push_back(name + " update " + std::to_string(ticks));
        lifetime -= ticks;
        return lifetime > 0;
    }
    void finish() override { calls.push_back(name + " finish"); }

    static int alive;
    std::string name;
    int lifetime;
};
int RecordingTask::alive = 0;

class TaskListTest : public ::testing::Test {
protected:
    void SetUp() override { calls.clear(); }
    void TearDown() override {
        list.clear();
        EXPECT_EQ(RecordingTask::alive, 0);
    }
    TaskList list;
};

TEST_F(TaskListTest, NewestFirstAndAnEndedTaskIsFreedWithoutSkippingTheRest) {
    list.add(new (std::nothrow) RecordingTask("A", 10));
    list.add(new (std::nothrow) RecordingTask("B", 1));
    list.add(new (std::nothrow) RecordingTask("C", 10));
    calls.clear();
    list.updateAll(nullptr, 1);
    EXPECT_EQ(calls,
              (std::vector<std::string>{"C update 1", "B update 1", "B finish", "A update 1"}));
    EXPECT_EQ(list.size(), 2);
    EXPECT_EQ(RecordingTask::alive, 2);
}

TEST_F(TaskListTest, EndingTheFirstAndLastTasksRelinksTheList) {
    list.add(new (std::nothrow) RecordingTask("A", 1));
    list.add(new (std::nothrow) RecordingTask("B", 5));
    list.add(new (std::nothrow) RecordingTask("C", 1));
    list.updateAll(nullptr, 2);
    EXPECT_EQ(list.size(), 1);
    calls.clear();
    list.updateAll(nullptr, 0);
    EXPECT_EQ(calls, (std::vector<std::string>{"B update 0"}));
}

TEST_F(TaskListTest, EmptyListAndNullTaskAreHarmless) {
    list.updateAll(nullptr, 3);
    list.add(nullptr);
    EXPECT_FALSE(list.removeFirst());
    EXPECT_TRUE(calls.empty());
}

TEST_F(TaskListTest, ClearFinishesEveryTaskFrontToBack) {
    list.add(new (std::nothrow) RecordingTask("A", 5));
    list.add(new (std::nothrow) RecordingTask("B", 5));
    calls.clear();
    list.clear();
    EXPECT_EQ(calls, (std::vector<std::string>{"B finish", "A finish"}));
    EXPECT_EQ(list.first(), nullptr);
}

}  // namespace
}  // namespace vexlorn
