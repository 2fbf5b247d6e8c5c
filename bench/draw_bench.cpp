// The grey filter, reference against fast, and a full frame of the busiest screen.
#include <allegro.h>
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

#include "assets/assets.h"
#include "board/board_draw.h"
#include "board/effects.h"
#include "frame/globals.h"
#include "frame/task_list.h"
#include "test_support/headless_allegro.h"

namespace vexlorn {
namespace {

// Noise over a gradient: no two neighbouring pixels alike, as on a busy backdrop.
BITMAP* makePicture(unsigned seed) {
    std::mt19937 random(seed);
    BITMAP* picture = create_bitmap(screenWidth, screenHeight);
    for (int y = 0; y < screenHeight; ++y) {
        for (int x = 0; x < screenWidth; ++x) {
            unsigned noise = random();
            putpixel(picture, x, y,
                     makecol((x / 3 + (noise & 63)) & 0xff, (y / 2 + ((noise >> 8) & 63)) & 0xff,
                             (noise >> 16) & 0xff));
        }
    }
    return picture;
}

// Greys a fresh copy of the same busy picture each time; the copying is not timed.
void timeGrey(benchmark::State& state, void (*grey)(BITMAP*)) {
    ensureHeadlessAllegro();
    BITMAP* picture = makePicture(1);
    BITMAP* work = create_bitmap(screenWidth, screenHeight);
    for (auto _ : state) {
        state.PauseTiming();
        blit(picture, work, 0, 0, 0, 0, screenWidth, screenHeight);
        state.ResumeTiming();
        grey(work);
        benchmark::ClobberMemory();
    }
    destroy_bitmap(work);
    destroy_bitmap(picture);
}

void BM_GreyReference(benchmark::State& state) {
    timeGrey(state, greyScreenReference);
}
BENCHMARK(BM_GreyReference)->Unit(benchmark::kMillisecond);

void BM_GreyFast(benchmark::State& state) {
    timeGrey(state, greyBitmap);
}
BENCHMARK(BM_GreyFast)->Unit(benchmark::kMillisecond);

// Tiles with a magenta corner, so the masked paths are taken too.
class SyntheticTiles {
public:
    SyntheticTiles() {
        int id = 0;
        for (BITMAP*& tile : blockTiles) tile = make(id++);
        for (BITMAP*& tile : incomingTiles) tile = make(id++);
        for (BITMAP*& tile : blastFrames) tile = make(id++);
        for (BITMAP*& tile : avatarFrames) tile = make(id++);
        bombTile = make(id++);
        stoneTile = make(id++);
        gameFont = font;
    }
    ~SyntheticTiles() {
        for (BITMAP* tile : tiles_) destroy_bitmap(tile);
    }

private:
    BITMAP* make(int id) {
        BITMAP* tile = create_bitmap(32, 32);
        clear_to_color(tile, makecol(30 + 5 * id, 220 - 4 * id, 90 + 3 * id));
        rectfill(tile, 0, 0, 5, 5, bitmap_mask_color(tile));
        tiles_.push_back(tile);
        return tile;
    }
    std::vector<BITMAP*> tiles_;
};

// What every drawing benchmark below stands on: headless Allegro, the synthetic tiles, a back
// buffer of its own showing a busy backdrop (the game's put back afterwards) and no tasks left.
class DrawSetUp {
public:
    DrawSetUp()
        : savedBuffer_(startHeadless()),
          buffer_(create_bitmap(screenWidth, screenHeight)),
          backdrop(makePicture(2)) {
        backBuffer = buffer_;
        blit(backdrop, backBuffer, 0, 0, 0, 0, screenWidth, screenHeight);
    }
    ~DrawSetUp() {
        taskList.clear();
        destroy_bitmap(backdrop);
        destroy_bitmap(buffer_);
        backBuffer = savedBuffer_;
    }
    DrawSetUp(const DrawSetUp&) = delete;
    DrawSetUp& operator=(const DrawSetUp&) = delete;

private:
    static BITMAP* startHeadless() {
        ensureHeadlessAllegro();
        return backBuffer;
    }
    BITMAP* savedBuffer_;
    SyntheticTiles tiles_;
    BITMAP* buffer_;

public:
    BITMAP* const backdrop;
};

// A full window and incoming row, every cell fading or blasting, the warning frame on.
Board busyBoard() {
    Board board;
    std::memset(&board, 0, sizeof board);
    board.topRow = 3;
    board.riseStep = 17;
    board.score = 12345;
    for (int c = 0; c < boardColumns; ++c) {
        for (int r = 0; r < boardRows; ++r) {
            Cell& cell = board.at(c, r);
            cell.kind = (r + c) % 7 == 0 ? Stone : Block;
            cell.colour = (r + 2 * c) % blockColours;
            cell.state = (r + c) % 3 == 0 ? Blasting : Clearing;
            cell.timer = (r * 5 + c * 3) % 30;
        }
    }
    board.at(2, 8).kind = Avatar;
    board.at(2, 8).state = Idle;
    return board;
}

// Both boards alone, to tell their share of the frame.
void BM_BusyBoards(benchmark::State& state) {
    DrawSetUp setUp;
    Board left = busyBoard();
    Board right = busyBoard();
    for (auto _ : state) {
        state.PauseTiming();
        blit(setUp.backdrop, backBuffer, 0, 0, 0, 0, screenWidth, screenHeight);
        state.ResumeTiming();
        drawLeftBoard(backBuffer, left, tickCount);
        drawRightBoard(backBuffer, right, tickCount);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_BusyBoards)->Unit(benchmark::kMicrosecond);

constexpr int fallingTiles = 200;

// Flying tiles at every stage of their fade, spread over the screen.
std::vector<FallTask*> addFallingTiles() {
    std::vector<FallTask*> falling;
    for (int i = 0; i < fallingTiles; ++i) {
        auto* task = new (std::nothrow) FallTask;
        task->bitmap = blockTiles[i % blockColours];
        falling.push_back(task);
        taskList.add(task);
    }
    return falling;
}

void restartFallingTiles(const std::vector<FallTask*>& falling) {
    for (int i = 0; i < fallingTiles; ++i) {
        FallTask* task = falling[i];
        task->age = i % 89;
        task->x = static_cast<float>(60 + (i * 37) % 520);
        task->y = static_cast<float>(30 + (i * 53) % 400);
        task->vx = 1.0f;
        task->vy = -1.0f;
    }
}

void BM_FallingTiles(benchmark::State& state) {
    DrawSetUp setUp;
    std::vector<FallTask*> falling = addFallingTiles();
    for (auto _ : state) {
        restartFallingTiles(falling);
        taskList.updateAll(backBuffer, 1);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FallingTiles)->Unit(benchmark::kMicrosecond);

void BM_BusiestFrame(benchmark::State& state) {
    DrawSetUp setUp;
    Board left = busyBoard();
    Board right = busyBoard();
    tickCount = 20;
    std::vector<FallTask*> falling = addFallingTiles();
    for (auto _ : state) {
        restartFallingTiles(falling);
        blit(setUp.backdrop, backBuffer, 0, 0, 0, 0, screenWidth, screenHeight);
        drawLeftBoard(backBuffer, left, tickCount);
        drawRightBoard(backBuffer, right, tickCount);
        taskList.updateAll(backBuffer, 1);
        greyBitmap(backBuffer);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_BusiestFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vexlorn
