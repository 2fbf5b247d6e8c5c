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

// The generator's whole state, for taking a round's state and putting it back.
uint32_t gameRandomState();
void setGameRandomState(uint32_t state);

}  // namespace vexlorn
