// translucentDraw at the sizes the game uses, and the data-file check and load of start-up.
#include <allegro.h>
#include <benchmark/benchmark.h>

#include <random>

#include "assets/assets.h"
#include "assets/datafile_check.h"
#include "assets/translucent.h"
#include "game/game.h"
#include "screens/menu_state.h"
#include "test_support/headless_allegro.h"

namespace vexlorn {
namespace {

BITMAP* noise(int w, int h, unsigned seed) {
    std::mt19937 random(seed);
    BITMAP* bitmap = create_bitmap(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            putpixel(bitmap, x, y, makecol(random() & 255, random() & 255, random() & 255));
        }
    }
    return bitmap;
}

// Arguments: sprite side (32 for a tile, 640 for a full-screen fade) and opacity.
void BM_TranslucentDraw(benchmark::State& state) {
    ensureHeadlessAllegro();
    int side = static_cast<int>(state.range(0));
    int opacity = static_cast<int>(state.range(1));
    BITMAP* sprite = noise(side, side * 3 / 4 + (side == 32 ? 8 : 0), 1);
    BITMAP* destination = noise(640, 480, 2);
    for (auto _ : state) {
        translucentDraw(sprite, destination, 0, 0, opacity);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * sprite->w * sprite->h);
    destroy_bitmap(sprite);
    destroy_bitmap(destination);
}
BENCHMARK(BM_TranslucentDraw)
    ->Args({32, 100})
    ->Args({32, 128})
    ->Args({640, 100})
    ->Args({640, 128})
    ->Args({640, 255});

// The check alone, then the whole of the game's loading, on the generated data file.
void BM_CheckDataFile(benchmark::State& state) {
    ensureHeadlessAllegro();
    const char* path = VEXLORN_BUILD_DIR "/vexlorn-demo.dat";
    char error[1024];
    for (auto _ : state) {
        if (!checkDataFileStructure(path, error, sizeof error)) state.SkipWithError(error);
    }
}
BENCHMARK(BM_CheckDataFile)->Unit(benchmark::kMillisecond);

void BM_LoadAssets(benchmark::State& state) {
    ensureHeadlessAllegro();
    const char* path = VEXLORN_BUILD_DIR "/vexlorn-demo.dat";
    char error[1024];
    for (auto _ : state) {
        if (!loadGameFrom(path, error, sizeof error)) {
            state.SkipWithError(error);
            break;
        }
        state.PauseTiming();
        freeMenuImages();
        freeAssets();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_LoadAssets)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vexlorn
