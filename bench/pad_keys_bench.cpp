// The frame loop's key step with and without pads: Allegro's buffer alone, then the pad poll
// before it with no pad, with one idle pad, and with a stick held (keys repeating).
#include <allegro.h>
#include <benchmark/benchmark.h>
#include <errno.h>
#include <stdlib.h>

#include "frame/globals.h"
#include "frame/pad_keys.h"
#include "platform/input/virtual_pad.h"

namespace vexlorn {
namespace {

void keyStep() {
    if (keypressed()) lastKey = readkey() >> 8;
}

// A pass per iteration, and a tick per pass, as the loop runs.
void runKeySteps(benchmark::State& state, bool withPads) {
    static bool allegroReady = install_allegro(SYSTEM_NONE, &errno, atexit) == 0;
    if (!allegroReady) state.SkipWithError("no Allegro");
    for (auto _ : state) {
        tickCount = tickCount + 1;
        if (withPads) pollPadKeys();
        keyStep();
        // Keys a held stick sends land here and would otherwise pile up in the buffer.
        while (keypressed()) readkey();
    }
}

void BM_KeyStepWithoutPadSupport(benchmark::State& state) {
    runKeySteps(state, false);
}
BENCHMARK(BM_KeyStepWithoutPadSupport);

// state.range(0): 0 no pad, 1 one idle pad, 2 one pad with its stick held down.
void BM_KeyStepWithPads(benchmark::State& state) {
    startPadKeys();
    int pad = -1;
    if (state.range(0) > 0) pad = plugVirtualPad();
    if (state.range(0) > 1) setVirtualPadAxis(pad, "lefty", 30000);
    runKeySteps(state, true);
    if (pad >= 0) unplugVirtualPad(pad);
    pollPadKeys();
    stopPadKeys();
}
BENCHMARK(BM_KeyStepWithPads)->Arg(0)->Arg(1)->Arg(2);

}  // namespace
}  // namespace vexlorn
