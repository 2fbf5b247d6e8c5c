// The pop-up and flying-tile tasks and the shattering of a board, on a memory back buffer.
#include "board/effects.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "board/board_draw.h"
#include "board/game_random.h"
#include "board/rules.h"
#include "draw_fixture.h"
#include "frame/task_list.h"

namespace vexlorn {
namespace {

class EffectsTest : public DrawFixture {
protected:
    void SetUp() override {
        DrawFixture::SetUp();
        picture = create_bitmap(40, 20);
        clear_to_color(picture, makecol(200, 30, 90));
        created.push_back(picture);
    }
    void TearDown() override {
        taskList.clear();
        DrawFixture::TearDown();
    }

    int paintedPixels() const {
        int count = 0;
        for (int y = 0; y < screenHeight; ++y) {
            for (int x = 0; x < screenWidth; ++x) count += at(x, y) != background;
        }
        return count;
    }

    // The bounding box of what the last update painted.
    struct Box {
        int left = screenWidth, top = screenHeight, right = -1, bottom = -1;
    };
    Box paintedBox() const {
        Box box;
        for (int y = 0; y < screenHeight; ++y) {
            for (int x = 0; x < screenWidth; ++x) {
                if (at(x, y) == background) continue;
                box.left = std::min(box.left, x);
                box.right = std::max(box.right, x);
                box.top = std::min(box.top, y);
                box.bottom = std::max(box.bottom, y);
            }
        }
        return box;
    }

    bool step(BaseTask& task, int ticks) {
        clear_to_color(buffer, background);
        return task.update(buffer, ticks);
    }

    BITMAP* picture = nullptr;
};

TEST_F(EffectsTest, FloatTaskWaitsOutItsDelayThenRunsItsDuration) {
    FloatTask task(90, 120, picture, 320, 200);
    for (int tick = 0; tick < 90; ++tick) {
        ASSERT_TRUE(step(task, 1));
        ASSERT_EQ(paintedPixels(), 0) << tick;
    }
    EXPECT_EQ(task.delay, 0);
    EXPECT_EQ(task.age, 0);
    for (int age = 1; age <= 120; ++age) ASSERT_TRUE(step(task, 1)) << age;
    EXPECT_EQ(paintedPixels(), 0);  // age 120 draws nothing
    EXPECT_FALSE(step(task, 1));
}

TEST_F(EffectsTest, FloatTaskDropsTicksBeyondTheDelay) {
    FloatTask task(5, 120, picture, 320, 200);
    EXPECT_TRUE(step(task, 3));
    EXPECT_EQ(task.delay, 2);
    EXPECT_TRUE(step(task, 8));
    EXPECT_EQ(task.delay, 0);
    EXPECT_EQ(task.age, 0);
    EXPECT_EQ(paintedPixels(), 0);
    EXPECT_TRUE(step(task, 1));
    EXPECT_EQ(task.age, 1);
}

TEST_F(EffectsTest, FloatTaskZoomsFromTwiceItsSizeAroundItsCentre) {
    FloatTask task(0, 120, picture, 320, 200);
    ASSERT_TRUE(step(task, 1));  // age 1: 40 + 59*40/60 = 79 by 20 + 59*20/60 = 39
    Box box = paintedBox();
    EXPECT_EQ(box.left, 320 - 79 / 2);
    EXPECT_EQ(box.right - box.left + 1, 79);
    EXPECT_EQ(box.top, 200 - 39 / 2);
    EXPECT_EQ(box.bottom - box.top + 1, 39);

    ASSERT_TRUE(step(task, 58));  // age 59: 40 by 20, still stretched
    box = paintedBox();
    EXPECT_EQ(box.left, 300);
    EXPECT_EQ(box.right, 339);
    EXPECT_EQ(box.top, 190);
    EXPECT_EQ(box.bottom, 209);
}

TEST_F(EffectsTest, FloatTaskRisesFortyPixelsWhileFading) {
    FloatTask task(0, 120, picture, 320, 200);
    ASSERT_TRUE(step(task, 60));  // age 60: opaque, resting
    Box box = paintedBox();
    EXPECT_EQ(box.left, 300);
    EXPECT_EQ(box.top, 190);
    EXPECT_EQ(box.bottom, 209);
    EXPECT_EQ(at(310, 195), getpixel(picture, 0, 0));

    ASSERT_TRUE(step(task, 30));  // age 90: opacity 127, 20 pixels up
    box = paintedBox();
    EXPECT_EQ(box.top, 170);
    EXPECT_EQ(at(310, 175), halfway(getpixel(picture, 0, 0), background));

    ASSERT_TRUE(step(task, 29));  // age 119: opacity 4, 39 pixels up
    box = paintedBox();
    EXPECT_EQ(box.top, 151);
    EXPECT_NE(at(310, 155), getpixel(picture, 0, 0));
}

TEST_F(EffectsTest, FloatTasksLeaveTheTaskListWhenDone) {
    taskList.add(new (std::nothrow) FloatTask(0, 120, picture, 200, 140));
    taskList.add(new (std::nothrow) FloatTask(90, 120, picture, 440, 140));
    for (int tick = 0; tick < 121; ++tick) taskList.updateAll(buffer, 1);
    EXPECT_EQ(taskList.size(), 1);
    for (int tick = 0; tick < 90; ++tick) taskList.updateAll(buffer, 1);
    EXPECT_EQ(taskList.size(), 0);
}

TEST_F(EffectsTest, FallTaskFallsUnderGravity) {
    FallTask task;
    task.bitmap = blockTiles[0];
    task.x = 100.0f;
    task.y = 50.0f;
    task.vx = 0.0f;
    task.vy = 0.0f;
    for (int n = 1; n <= 90; ++n) {
        ASSERT_TRUE(task.update(buffer, 1));
        double expected = 0.05 * n * (n + 1) / 2;
        ASSERT_NEAR(task.y - 50.0f, expected, 1e-4 * expected) << n;
        ASSERT_NEAR(task.vy, 0.05 * n, 1e-5) << n;
        ASSERT_EQ(task.x, 100.0f);
    }
    EXPECT_FALSE(task.update(buffer, 1));
}

TEST_F(EffectsTest, FallTaskMovesWithItsNewSpeedEachStep) {
    FallTask task;
    task.bitmap = blockTiles[0];
    task.vx = -1.5f;
    task.vy = -2.0f;
    task.ax = 0.25f;
    task.ay = 0.5f;
    ASSERT_TRUE(task.update(buffer, 2));
    EXPECT_FLOAT_EQ(task.vx, -1.0f);
    EXPECT_FLOAT_EQ(task.vy, -1.0f);
    EXPECT_FLOAT_EQ(task.x, -2.0f);
    EXPECT_FLOAT_EQ(task.y, -2.0f);
}

TEST_F(EffectsTest, FallTaskFadesOutOverItsLifetime) {
    FallTask task;
    task.bitmap = blockTiles[0];
    task.x = 200.7f;
    task.y = 100.2f;
    task.ay = 0.0f;
    task.duration = 10;
    int tile = colourOf(blockTiles[0]);
    ASSERT_TRUE(step(task, 5));  // opacity 255 - 127 = 128
    EXPECT_EQ(at(200, 100), halfway(tile, background));
    EXPECT_EQ(at(199, 100), background);
    EXPECT_EQ(at(200, 99), background);
    ASSERT_TRUE(step(task, 4));  // opacity 26: faint but there
    EXPECT_NE(at(210, 110), background);
    ASSERT_TRUE(step(task, 1));  // age == duration: fully transparent
    EXPECT_EQ(paintedPixels(), 0);
    EXPECT_FALSE(step(task, 1));
}

TEST_F(EffectsTest, ShatterBoardEmptiesTheWindowIntoFallingTiles) {
    board.topRow = 5;
    board.riseStep = 9;
    for (int r = 0; r < boardRows; ++r) {
        for (int c = 0; c < boardColumns; ++c) {
            if ((r + c) % 5 == 0) continue;
            setCell(c, r, (r + c) % 3 == 0 ? Bomb : Block, r % 2 ? Clearing : Idle, r, (r + c) % 8);
        }
    }
    setCell(0, 7, Stone);
    setCell(3, 10, Avatar);
    Board before = board;
    int end = windowEnd(board);
    size_t shown = 0;
    for (int c = 0; c < boardColumns; ++c) {
        for (int r = board.topRow; r < end; ++r) shown += board.at(c, r).kind != Empty;
    }

    gameSeed(1234);
    shatterBoard(board, rightBoardX);

    for (int c = 0; c < boardColumns; ++c) {
        for (int r = 0; r < boardRows; ++r) {
            const Cell& now = board.at(c, r);
            const Cell& was = before.at(c, r);
            bool inWindow = r >= board.topRow && r < end;
            EXPECT_EQ(now.kind, inWindow ? Empty : was.kind) << c << "," << r;
            EXPECT_EQ(now.colour, was.colour);
            EXPECT_EQ(now.state, inWindow ? Idle : was.state);
            EXPECT_EQ(now.timer, inWindow ? 0 : was.timer);
        }
    }

    // The list is newest first: walk it backwards to meet the cells in board order.
    std::vector<FallTask*> tasks;
    for (BaseTask* task = taskList.first(); task != nullptr; task = task->next) {
        tasks.insert(tasks.begin(), static_cast<FallTask*>(task));
    }
    ASSERT_EQ(tasks.size(), shown);
    size_t i = 0;
    for (int c = 0; c < boardColumns; ++c) {
        for (int r = board.topRow; r < end; ++r) {
            const Cell& cell = before.at(c, r);
            if (cell.kind == Empty) continue;
            FallTask* task = tasks[i++];
            SCOPED_TRACE(testing::Message() << c << "," << r);
            BITMAP* tile = cell.kind == Block   ? blockTiles[cell.colour]
                           : cell.kind == Bomb  ? bombTile
                           : cell.kind == Stone ? stoneTile
                                                : avatarFrames[0];
            EXPECT_EQ(task->bitmap, tile);
            EXPECT_EQ(task->x, static_cast<float>(rightBoardX + 32 * c));
            EXPECT_EQ(task->y, static_cast<float>(46 + 32 * (r - 5) - 9));
            EXPECT_EQ(task->ax, 0.0f);
            EXPECT_EQ(task->ay, 0.05f);
            EXPECT_EQ(task->duration, 90);
            EXPECT_EQ(task->age, 0);
            for (float speed : {task->vx, task->vy}) {
                float tenths = speed * 10.0f;
                EXPECT_GE(speed, -2.9f);
                EXPECT_LE(speed, 3.0f);
                EXPECT_EQ(speed, std::round(tenths) / 10.0f);
            }
        }
    }
}

TEST_F(EffectsTest, ShatterSpeedsTakeTwoDrawsPerTileInOrder) {
    setCell(0, 5, Block, Idle, 0, 1);
    gameSeed(99);
    int first = gameRand();
    int second = gameRand();
    gameSeed(99);
    shatterBoard(board, leftBoardX);
    ASSERT_EQ(taskList.size(), 1);
    auto* task = static_cast<FallTask*>(taskList.first());
    EXPECT_EQ(task->vx, static_cast<float>(30 - first % 60) / 10.0f);
    EXPECT_EQ(task->vy, static_cast<float>(30 - second % 60) / 10.0f);
}

// The end screen keeps updating the shattered copy of the board that lost.
TEST_F(EffectsTest, ShatteredWellStaysEmptyWhenItsFigureWasMidSwap) {
    board.topRow = 1;
    for (int c = 0; c < boardColumns; ++c) {
        for (int r = 8; r < boardRows; ++r) setCell(c, r, Block, Idle, 0, (c + 2 * r) % 4);
    }
    setCell(2, 10, Avatar);
    board.avatarCol = 2;
    board.avatarRow = 10;
    moveAvatar(board, 1, 0, panRight);
    updateBoard(board, 2, panRight);
    setCell(4, 7, Block, Falling, 3, 1);
    ASSERT_EQ(board.at(2, 10).state, Swapping);

    shatterBoard(board, rightBoardX);
    taskList.clear();
    for (int tick = 0; tick < 50; ++tick) updateBoard(board, 1, panRight);
    for (int c = 0; c < boardColumns; ++c) {
        for (int r = board.topRow; r < windowEnd(board); ++r) {
            EXPECT_EQ(board.at(c, r).kind, Empty) << c << "," << r;
        }
    }
}

TEST_F(EffectsTest, TileThatFindsNoMemoryIsNotThrownAndTheOthersAre) {
    static int allocations;
    allocations = 0;
    const TaskAllocation previous = taskAllocation;
    taskAllocation = [](std::size_t size) -> void* {
        return ++allocations % 2 == 0 ? nullptr : ::operator new(size, std::nothrow);
    };
    for (int c = 0; c < boardColumns; ++c) setCell(c, 6, Block, Idle, 0, c);
    shatterBoard(board, leftBoardX);
    taskList.updateAll(buffer, 1);
    taskAllocation = previous;
    EXPECT_EQ(allocations, boardColumns);
    EXPECT_EQ(taskList.size(), boardColumns / 2);
    for (int c = 0; c < boardColumns; ++c) EXPECT_EQ(board.at(c, 6).kind, Empty);
}

}  // namespace
}  // namespace vexlorn
