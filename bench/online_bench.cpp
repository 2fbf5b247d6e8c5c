// What an online round costs against the same round at one computer: the CPU of both sides'
// sessions (rollbacks included) over a simulated network at 0, 100 and 250 ms round trip, and
// as counters the bytes each way per second of play and the longest rollback.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>

#include "play/match.h"
#include "play/online_round.h"
#include "play/online_session.h"
#include "test_support/sim_link.h"

namespace vexlorn {
namespace {

uint8_t benchKey(int side, uint32_t update) {
    uint32_t x = (update + 1) * 2654435761u ^ static_cast<uint32_t>(side) * 40503u;
    x ^= x >> 15;
    x *= 0x5bd1e995u;
    x ^= x >> 13;
    return x % 6 == 0 ? static_cast<uint8_t>(1 + (x >> 8) % 4) : noOnlineKey;
}

ReplayHeader benchStart() {
    ReplayHeader start;
    start.gameVersion = gameVersion();
    start.seats[0] = start.seats[1] = static_cast<uint8_t>(SlotSource::Pad);
    start.boards[0].level = start.boards[1].level = 3;
    start.seeds[0] = 4711;
    start.seeds[1] = 815;
    return start;
}

void BM_RoundAtOneComputer(benchmark::State& state) {
    auto round = std::make_unique<OnlineRound>();
    uint32_t updates = 0;
    for (auto _ : state) {
        round->begin(benchStart());
        for (updates = 0; updates < 100000; ++updates) {
            const uint8_t keys[2] = {benchKey(0, updates), benchKey(1, updates)};
            round->keepUpdate(updates, keys);
            if (!round->advanceRound(keys, false)) break;
        }
    }
    state.counters["updates"] = updates;
}
BENCHMARK(BM_RoundAtOneComputer)->Unit(benchmark::kMillisecond);

// Both sides of one round; their CPU together is twice one side's.
void BM_OnlineRound(benchmark::State& state) {
    const int roundTripMs = static_cast<int>(state.range(0));
    const LinkProfile profile{roundTripMs / 2, 10, 1, 0, 0};
    int longest = 0;
    double bytesPerSecond = 0;
    uint32_t updates = 0;
    for (auto _ : state) {
        std::unique_ptr<OnlineRound> rounds[2] = {std::make_unique<OnlineRound>(),
                                                  std::make_unique<OnlineRound>()};
        std::unique_ptr<OnlineSession> sessions[2];
        SimLink links[2] = {SimLink(profile, 1), SimLink(profile, 2)};
        int64_t bytes = 0;
        SessionStep last[2] = {SessionStep::Advanced, SessionStep::Advanced};
        for (int side = 0; side < 2; ++side) {
            rounds[side]->begin(benchStart());
            sessions[side] = std::make_unique<OnlineSession>(*rounds[side], side);
        }
        int64_t ms = 0;
        for (; ms < 3600000; ++ms) {
            for (int side = 0; side < 2; ++side) {
                links[side].deliver(ms, [&](const uint8_t* data, size_t size) {
                    sessions[1 - side]->receive(data, size);
                });
            }
            if (ms % 20 != 0) continue;
            for (int side = 0; side < 2; ++side) {
                last[side] = sessions[side]->tick(benchKey(side, sessions[side]->update()));
                uint8_t message[largestKeysMessage];
                const size_t size = sessions[side]->message(message);
                bytes += static_cast<int64_t>(size);
                links[side].send(message, size, ms);
            }
            if (last[0] == SessionStep::Ended && last[1] == SessionStep::Ended) break;
        }
        longest = std::max(sessions[0]->longestRollback(), sessions[1]->longestRollback());
        bytesPerSecond = static_cast<double>(bytes) / 2 * 1000 / static_cast<double>(ms + 1);
        updates = sessions[0]->update();
    }
    state.counters["longest_rollback"] = longest;
    state.counters["bytes_per_s_each_way"] = bytesPerSecond;
    state.counters["updates"] = updates;
}
BENCHMARK(BM_OnlineRound)->Arg(0)->Arg(100)->Arg(250)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vexlorn
