// The game's generator: the linear congruential one of the C library the game was first made
// for, whose 15-bit draws its arithmetic was written around. glibc's rand() draws 31 bits from
// another sequence, so a seed played there gave another round.
#include "board/game_random.h"

namespace vexlorn {

static uint32_t randomState = 1;

void gameSeed(unsigned seed) {
    randomState = seed;
}

int gameRand() {
    randomState = randomState * 214013u + 2531011u;
    return static_cast<int>((randomState >> 16) & gameRandMax);
}

int scaledDraw(int n) {
    return gameRand() * n / gameRandMax;
}

uint32_t gameRandomState() {
    return randomState;
}

void setGameRandomState(uint32_t state) {
    randomState = state;
}

}  // namespace vexlorn
