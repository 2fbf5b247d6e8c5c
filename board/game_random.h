// Random numbers with the range the game was designed for (0..32767).
#pragma once

namespace vexlorn {

inline constexpr int gameRandMax = 32767;

// The low 15 bits of the C library's rand(): glibc's own range would overflow the game's
// arithmetic.
int gameRand();

// A draw scaled to n: 0..n-1, and n itself only when gameRand() returns 32767.
int scaledDraw(int n);

}  // namespace vexlorn
