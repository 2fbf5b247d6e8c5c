// What recording a round costs: time per update noted, and bytes per minute of play.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "play/replay_recorder.h"

namespace vexlorn {
namespace {

// A minute of busy play as the frame loop hands it over: 3000 ticked updates, each followed by
// one between ticks, a key every half second on average, now and then a late pass.
std::vector<ReplayUpdate> busyMinute() {
    std::mt19937 random(17);
    std::vector<ReplayUpdate> updates;
    const int keys[] = {82, 83, 84, 85};
    for (int tick = 0; tick < 3000; ++tick) {
        ReplayUpdate ticked{random() % 50 == 0 ? 2 : 1, {0, 0}};
        ReplayUpdate between{0, {0, 0}};
        if (random() % 25 == 0) between.keys[0] = keys[random() % 4];
        updates.push_back(ticked);
        updates.push_back(between);
    }
    return updates;
}

void recordUpdate(benchmark::State& state) {
    const std::vector<ReplayUpdate> minute = busyMinute();
    ReplayHeader header;
    size_t bytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        roundRecorder.beginRound(header);
        state.ResumeTiming();
        for (const ReplayUpdate& update : minute) roundRecorder.noteUpdate(update);
        state.PauseTiming();
        Board board{};
        roundRecorder.endRound(board, board);
        bytes = roundRecorder.lastRound().size();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(minute.size()));
    state.counters["bytes_per_minute"] = static_cast<double>(bytes);
    state.counters["ns_per_update"] =
        benchmark::Counter(static_cast<double>(state.iterations() * minute.size()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(recordUpdate)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vexlorn
