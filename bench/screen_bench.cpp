// One frame pass of each kind of screen, headless, with the real data file beside the program.
#include <allegro.h>
#include <benchmark/benchmark.h>

#include <cstdio>

#include "assets/assets.h"
#include "board/board.h"
#include "frame/globals.h"
#include "frame/scaler.h"
#include "frame/state_stack.h"
#include "frame/task_list.h"
#include "game/game.h"
#include "play/game1_state.h"
#include "screens/about_state.h"
#include "screens/continue1_state.h"
#include "screens/end1_state.h"
#include "screens/hiscore_state.h"
#include "screens/instructions_state.h"
#include "screens/intro_state.h"
#include "screens/menu_state.h"
#include "screens/name_entry.h"
#include "screens/order_state.h"
#include "screens/pause_state.h"
#include "screens/start_state.h"
#include "screens/win_state.h"
#include "test_support/headless_allegro.h"

namespace vexlorn {
namespace {

// Headless Allegro with the game's data file and back buffer, once per process.
bool gameReady() {
    static int ready = -1;
    if (ready >= 0) return ready == 1;
    ensureHeadlessAllegro();
    char error[512] = "";
    ready = loadGame(error, sizeof error) ? 1 : 0;
    if (ready == 0) std::fprintf(stderr, "screen benchmarks need the data file: %s\n", error);
    backBuffer = create_bitmap(screenWidth, screenHeight);
    clear_bitmap(backBuffer);
    keyToAscii = headlessKeyToAscii;
    cheatMode = true;
    return ready == 1;
}

// What the play state returns to; like the menu it restarts the clock.
class BottomState : public BaseState {
public:
    void activate() override {
        tickCount = 0;
        lastTickCount = 0;
    }
    bool update() override { return true; }
};
BottomState bottom;

void pass(int ticks = 1) {
    tickCount = tickCount + ticks;
    stateStack.updateTop();
}

// A round at `level` (0-based) on generated boards, past its get-ready pop-ups.
void startRound(int level) {
    stateStack.popAll();
    taskList.clear();
    lastKey = 0;
    tickCount = 0;
    lastTickCount = 0;
    newGameFlag = 1;
    stateStack.push(&bottom);
    stateStack.push(&game1State);
    for (int i = 0; i < 400 && stateStack.top() != &game1State; ++i) pass();
    for (int skipped = 0; skipped < level; ++skipped) {
        lastKey = KeyPlusPad;  // the cheat ends the round a level on; Enter takes the continue
        pass();
        lastKey = KeyEnter;
        pass();
        for (int i = 0; i < 400 && stateStack.top() != &game1State; ++i) pass();
    }
}

// Times passes of `screen`, one tick each (the busiest kind: everything moves), starting over
// from `setUp` whenever the screen has moved on by itself.
template <typename SetUp>
void timePasses(benchmark::State& state, BaseState* screen, SetUp setUp) {
    if (!gameReady()) {
        state.SkipWithError("no data file");
        return;
    }
    setUp();
    for (auto _ : state) {
        pass();
        if (stateStack.top() != screen) {
            state.PauseTiming();
            setUp();
            state.ResumeTiming();
        }
    }
    stateStack.popAll();
    taskList.clear();
}

void BM_PassIntro(benchmark::State& state) {
    timePasses(state, &introState, [] {
        stateStack.popAll();
        stateStack.push(&introState);
    });
}
BENCHMARK(BM_PassIntro)->Unit(benchmark::kMicrosecond);

void BM_PassMenu(benchmark::State& state) {
    timePasses(state, &menuState, [] {
        stateStack.popAll();
        stateStack.push(&introState);
        stateStack.push(&menuState);
    });
}
BENCHMARK(BM_PassMenu)->Unit(benchmark::kMicrosecond);

void BM_PassGetReady(benchmark::State& state) {
    timePasses(state, &startState, [] {
        startRound(0);
        stateStack.push(&startState);
    });
}
BENCHMARK(BM_PassGetReady)->Unit(benchmark::kMicrosecond);

void BM_PassPlayLevel1(benchmark::State& state) {
    timePasses(state, &game1State, [] { startRound(0); });
}
BENCHMARK(BM_PassPlayLevel1)->Unit(benchmark::kMicrosecond);

void BM_PassPlayLevel5(benchmark::State& state) {
    timePasses(state, &game1State, [] { startRound(levelCount - 1); });
}
BENCHMARK(BM_PassPlayLevel5)->Unit(benchmark::kMicrosecond);

void BM_PassPause(benchmark::State& state) {
    timePasses(state, &pauseState, [] {
        startRound(0);
        lastKey = KeyP;
        pass();
    });
}
BENCHMARK(BM_PassPause)->Unit(benchmark::kMicrosecond);

void BM_PassContinue(benchmark::State& state) {
    timePasses(state, &continue1State, [] {
        startRound(0);
        lastKey = KeyPlusPad;
        pass();
    });
}
BENCHMARK(BM_PassContinue)->Unit(benchmark::kMicrosecond);

void BM_PassEnd(benchmark::State& state) {
    timePasses(state, &end1State, [] {
        startRound(0);
        lastKey = KeyPlusPad;
        pass();
        // The countdown runs out: game over.
        for (int i = 0; i < 600 && stateStack.top() != &end1State; ++i) pass();
    });
}
BENCHMARK(BM_PassEnd)->Unit(benchmark::kMicrosecond);

void BM_PassWin(benchmark::State& state) {
    timePasses(state, &winState, [] {
        startRound(0);
        stateStack.push(&winState);
    });
}
BENCHMARK(BM_PassWin)->Unit(benchmark::kMicrosecond);

void BM_PassHallOfFame(benchmark::State& state) {
    timePasses(state, &hiscoreState, [] {
        stateStack.popAll();
        stateStack.push(&bottom);
        stateStack.push(&hiscoreState);
    });
}
BENCHMARK(BM_PassHallOfFame)->Unit(benchmark::kMicrosecond);

// The three information pages work alike; each is timed on its own.
void timePage(benchmark::State& state, BaseState* page) {
    timePasses(state, page, [page] {
        stateStack.popAll();
        stateStack.push(&bottom);
        stateStack.push(page);
    });
}

void BM_PassInstructions(benchmark::State& state) {
    timePage(state, &instructionsState);
}
BENCHMARK(BM_PassInstructions)->Unit(benchmark::kMicrosecond);

void BM_PassAbout(benchmark::State& state) {
    timePage(state, &aboutState);
}
BENCHMARK(BM_PassAbout)->Unit(benchmark::kMicrosecond);

void BM_PassOrder(benchmark::State& state) {
    timePage(state, &orderState);
}
BENCHMARK(BM_PassOrder)->Unit(benchmark::kMicrosecond);

// The scaled present of level-5 play passes in which both wells rise: the busiest kind, about
// half the picture changed. The screen is a memory bitmap of the same layout here.
// Filling is timed at its size on a 1366 x 768 laptop's screen, 1024 x 768; it is to cost less
// than twice the doubling.
constexpr int laptopFillWidth = 1024;
constexpr int laptopFillHeight = 768;

void timeScaledPlay(benchmark::State& state, int factor, int width = 0, int height = 0) {
    if (!gameReady()) {
        state.SkipWithError("no data file");
        return;
    }
    BITMAP* shown = create_bitmap(screenWidth, screenHeight);
    BITMAP* target = create_bitmap(width > 0 ? width : screenWidth * factor,
                                   height > 0 ? height : screenHeight * factor);
    const ScaleTarget scaled{target, 0, 0, factor, width, height};
    // The first present of a size is whole, as after a switch.
    scaleArea(backBuffer, Area{0, 0, screenWidth, screenHeight}, scaled);
    // Enough ticks per pass that the rise clock is past the interval at every update.
    const int ticks = levelParams(levelCount - 1).riseInterval + 1;
    startRound(levelCount - 1);
    long pixels = 0;
    for (auto _ : state) {
        state.PauseTiming();
        pass(ticks);
        if (stateStack.top() != &game1State) startRound(levelCount - 1);
        state.ResumeTiming();
        pixels += presentChanges(backBuffer, shown, scaled, nullptr);
    }
    state.counters["changed"] =
        benchmark::Counter(double(pixels) / state.iterations() / (screenWidth * screenHeight));
    stateStack.popAll();
    taskList.clear();
    destroy_bitmap(target);
    destroy_bitmap(shown);
}

void BM_PresentPlayLevel5At2x(benchmark::State& state) {
    timeScaledPlay(state, 2);
}
BENCHMARK(BM_PresentPlayLevel5At2x)->Unit(benchmark::kMicrosecond);

void BM_PresentPlayLevel5At3x(benchmark::State& state) {
    timeScaledPlay(state, 3);
}
BENCHMARK(BM_PresentPlayLevel5At3x)->Unit(benchmark::kMicrosecond);

void BM_PresentPlayLevel5AtFill1366(benchmark::State& state) {
    timeScaledPlay(state, 1, laptopFillWidth, laptopFillHeight);
}
BENCHMARK(BM_PresentPlayLevel5AtFill1366)->Unit(benchmark::kMicrosecond);

// The whole picture scaled on every present, as a present without change tracking (or the first
// after a switch) does.
void timeWholePicture(benchmark::State& state, const ScaleTarget& scaled) {
    if (!gameReady()) {
        state.SkipWithError("no data file");
        return;
    }
    BITMAP* target =
        create_bitmap(scaled.width > 0 ? scaled.width : screenWidth * scaled.factor,
                      scaled.height > 0 ? scaled.height : screenHeight * scaled.factor);
    ScaleTarget into = scaled;
    into.bitmap = target;
    for (auto _ : state) scaleArea(backBuffer, Area{0, 0, screenWidth, screenHeight}, into);
    destroy_bitmap(target);
}

void BM_PresentWholePictureAt2x(benchmark::State& state) {
    timeWholePicture(state, ScaleTarget{nullptr, 0, 0, 2, 0, 0});
}
BENCHMARK(BM_PresentWholePictureAt2x)->Unit(benchmark::kMicrosecond);

void BM_PresentWholePictureAtFill1366(benchmark::State& state) {
    timeWholePicture(state, ScaleTarget{nullptr, 0, 0, 1, laptopFillWidth, laptopFillHeight});
}
BENCHMARK(BM_PresentWholePictureAtFill1366)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vexlorn
