// Random numbers with the range the game was designed for (0..32767), from the game's own
// generator: the same seed gives the same draws, and so the same round, on every platform.
#pragma once

#include <cstdint>

namespace vexlorn {

inline constexpr int gameRandMax = 32767;

// srand's contract: every draw after a seeding follows from the seed alone. Before the first
// seeding the generator draws as if seeded with 1.
void gameSeed(unsigned seed);

// The next draw, 0..gameRandMax.
int gameRand();

// A draw scaled to n: 0..n-1, and n itself only when gameRand() returns 32767.
int scaledDraw(int n);

// The seed of a board generation: the clock's, unless seeds have been queued (a recorded round's,
// taken in the order the round took them). The last two taken are kept for the round's recording.
unsigned boardSeed();
void queueBoardSeeds(unsigned first, unsigned second);
// back 0: the newest seed taken, 1: the one before it.
unsigned takenBoardSeed(int back);

// The generator's whole state, for taking a round's state and putting it back.
uint32_t gameRandomState();
void setGameRandomState(uint32_t state);

}  // namespace vexlorn
