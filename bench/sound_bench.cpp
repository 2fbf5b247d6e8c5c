// Costs of sound at start-up and in play: opening the device, decoding the effects, starting one.
#include <allegro.h>
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include "assets/assets.h"
#include "assets/sound.h"
#include "test_support/headless_allegro.h"

namespace {

// The generated data file, or null while it carries no sounds.
DATAFILE* soundData() {
    static DATAFILE* loaded = [] {
        vexlorn::ensureHeadlessAllegro();
        DATAFILE* file = load_datafile(VEXLORN_BUILD_DIR "/vexlorn-demo.dat");
        if (!file) return file;
        for (int object = 0; object <= vexlorn::ObjSoundWon; ++object) {
            if (file[object].type == DAT_END) return static_cast<DATAFILE*>(nullptr);
        }
        return file[vexlorn::ObjSoundMove].size > 0 ? file : nullptr;
    }();
    return loaded;
}

// The dummy driver mixes on its thread like a sound card, but needs none.
bool useSilentOutput() {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    vexlorn::dataFile = soundData();
    return vexlorn::dataFile != nullptr;
}

void BM_OpenDeviceAndLoadSounds(benchmark::State& state) {
    if (!useSilentOutput()) {
        state.SkipWithError("the data file carries no sounds yet");
        return;
    }
    for (auto _ : state) {
        vexlorn::openAudioDevice();
        vexlorn::loadSounds();
        state.PauseTiming();  // closing waits for the mixing thread: shutdown, not start-up
        vexlorn::releaseSounds();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenDeviceAndLoadSounds)->Unit(benchmark::kMillisecond);

void BM_PlaySound(benchmark::State& state) {
    if (!useSilentOutput()) {
        state.SkipWithError("the data file carries no sounds yet");
        return;
    }
    vexlorn::openAudioDevice();
    vexlorn::loadSounds();
    int index = 0;
    for (auto _ : state) {
        vexlorn::playSound(static_cast<vexlorn::SoundEffect>(index), vexlorn::panLeft);
        index = (index + 1) % vexlorn::soundEffectCount;
    }
    vexlorn::releaseSounds();
}
BENCHMARK(BM_PlaySound)->Unit(benchmark::kMicrosecond)->Iterations(200);

void BM_PlayMusic(benchmark::State& state) {
    if (!useSilentOutput()) {
        state.SkipWithError("the data file carries no sounds yet");
        return;
    }
    vexlorn::openAudioDevice();
    vexlorn::loadSounds();
    for (auto _ : state) vexlorn::playMusic(vexlorn::MusicTrack::Menu);
    vexlorn::playMusic(vexlorn::MusicTrack::Silence);
    vexlorn::releaseSounds();
}
BENCHMARK(BM_PlayMusic)->Unit(benchmark::kMicrosecond);

}  // namespace
