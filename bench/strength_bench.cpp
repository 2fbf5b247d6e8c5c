// How the computer seat's strengths fare: many seeded rounds at equal levels against an idle
// player, a player pressing a random arrow every half second, and the strength below. The
// shares are counters (per cent of rounds); the time is what the rounds cost to simulate.
#include <benchmark/benchmark.h>

#include "tests/test_support/computer_duel.h"

namespace vexlorn {
namespace {

constexpr int seedsPerLevel = 40;
constexpr int minuteTicks = 60 * 50;
// A round that neither side ends in ten minutes counts for nobody.
constexpr int longestRound = 10 * minuteTicks;

struct Tally {
    int rounds = 0;
    int won = 0;
    int wonInAMinute = 0;
    int lost = 0;
    long ticks = 0;

    void add(const DuelOutcome& outcome, int side) {
        rounds += 1;
        ticks += outcome.ticks;
        if (outcome.winner == 1 - side) lost += 1;
        if (outcome.winner != side) return;
        won += 1;
        if (outcome.ticks <= minuteTicks) wonInAMinute += 1;
    }
    void report(benchmark::State& state) const {
        state.counters["won%"] = 100.0 * won / rounds;
        state.counters["won_in_60s%"] = 100.0 * wonInAMinute / rounds;
        state.counters["lost%"] = 100.0 * lost / rounds;
        state.counters["mean_s"] = ticks / 50.0 / rounds;
    }
};

// The computer at the range's strength on the right, an idle player on the left.
void againstIdle(benchmark::State& state) {
    const int strength = static_cast<int>(state.range(0));
    for (auto _ : state) {
        Tally tally;
        for (int level = 1; level <= versusLevels; ++level) {
            for (int seed = 1; seed <= seedsPerLevel; ++seed) {
                WellInput idle;
                StrengthInput computer(strength);
                tally.add(playDuel(idle, computer, level, seed, longestRound), RightSide);
            }
        }
        tally.report(state);
    }
}

// The strongest against an idle player at the range's level alone: an idle well tops out by
// itself sooner the faster the level, and only stones sent bring that before a minute at the
// slowest levels.
void strongestAgainstIdleAtLevel(benchmark::State& state) {
    const int level = static_cast<int>(state.range(0));
    for (auto _ : state) {
        Tally tally;
        for (int seed = 1; seed <= seedsPerLevel; ++seed) {
            WellInput idle;
            StrengthInput computer(computerStrengths);
            tally.add(playDuel(idle, computer, level, seed, longestRound), RightSide);
        }
        tally.report(state);
    }
}

// An idle player's well at the range's level, left to top out by itself against another.
void idleAtLevel(benchmark::State& state) {
    const int level = static_cast<int>(state.range(0));
    for (auto _ : state) {
        Tally tally;
        for (int seed = 1; seed <= seedsPerLevel; ++seed) {
            WellInput left;
            WellInput right;
            tally.add(playDuel(left, right, level, seed, longestRound), RightSide);
        }
        tally.report(state);
    }
}

// How many stones it takes to end an idle well within a minute at the slow levels: the range's
// count sent from the round's start, one every ten ticks (sooner than chains could send them),
// against an idle well on the other side. Counts the rounds the well sent stones loses.
void idleWellSentStones(benchmark::State& state) {
    const int level = static_cast<int>(state.range(0));
    const int stones = static_cast<int>(state.range(1));
    for (auto _ : state) {
        Tally tally;
        for (int seed = 1; seed <= seedsPerLevel; ++seed) {
            WellInput stoned;
            WellInput other;
            tally.add(playDuel(stoned, other, level, seed, longestRound, stones), RightSide);
        }
        tally.report(state);
    }
}

void againstRandomArrows(benchmark::State& state) {
    const int strength = static_cast<int>(state.range(0));
    for (auto _ : state) {
        Tally tally;
        for (int level = 1; level <= versusLevels; ++level) {
            for (int seed = 1; seed <= seedsPerLevel; ++seed) {
                RandomArrowInput player(seed);
                StrengthInput computer(strength);
                tally.add(playDuel(player, computer, level, seed, longestRound), RightSide);
            }
        }
        tally.report(state);
    }
}

// The range's strength against the one below, each on either side in turn.
void againstTheStrengthBelow(benchmark::State& state) {
    const int strength = static_cast<int>(state.range(0));
    for (auto _ : state) {
        Tally tally;
        for (int level = 1; level <= versusLevels; ++level) {
            for (int seed = 1; seed <= seedsPerLevel; ++seed) {
                StrengthInput stronger(strength);
                StrengthInput weaker(strength - 1);
                const bool right = seed % 2 == 0;
                tally.add(right ? playDuel(weaker, stronger, level, seed, longestRound)
                                : playDuel(stronger, weaker, level, seed, longestRound),
                          right ? RightSide : LeftSide);
            }
        }
        tally.report(state);
    }
}

BENCHMARK(againstIdle)->DenseRange(1, computerStrengths)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(strongestAgainstIdleAtLevel)
    ->DenseRange(1, versusLevels)
    ->Iterations(1)
    ->Unit(benchmark::kSecond);
BENCHMARK(idleAtLevel)->DenseRange(1, versusLevels)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(idleWellSentStones)
    ->ArgsProduct({{1, 2}, {4, 8, 12, 16, 24}})
    ->Iterations(1)
    ->Unit(benchmark::kSecond);
BENCHMARK(againstRandomArrows)
    ->DenseRange(1, computerStrengths)
    ->Iterations(1)
    ->Unit(benchmark::kSecond);
BENCHMARK(againstTheStrengthBelow)
    ->DenseRange(2, computerStrengths)
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

}  // namespace
}  // namespace vexlorn
