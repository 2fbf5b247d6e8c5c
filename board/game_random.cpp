// The game's generator: the linear congruential one of the C library the game was first made
// for, whose 15-bit draws its arithmetic was written around. glibc's rand() draws 31 bits from
// another sequence, so a seed played there gave another round.
#include "board/game_random.h"

#include <ctime>

namespace vexlorn {

static uint32_t randomState = 1;

static unsigned queuedSeeds[2];
static int queuedCount = 0;
static unsigned takenSeeds[2];

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

unsigned boardSeed() {
    unsigned seed = static_cast<unsigned>(std::clock());
    if (queuedCount > 0) {
        seed = queuedSeeds[0];
        queuedSeeds[0] = queuedSeeds[1];
        --queuedCount;
    }
    takenSeeds[1] = takenSeeds[0];
    takenSeeds[0] = seed;
    return seed;
}

void queueBoardSeeds(unsigned first, unsigned second) {
    queuedSeeds[0] = first;
    queuedSeeds[1] = second;
    queuedCount = 2;
}

unsigned takenBoardSeed(int back) {
    return takenSeeds[back == 0 ? 0 : 1];
}

uint32_t gameRandomState() {
    return randomState;
}

void setGameRandomState(uint32_t state) {
    randomState = state;
}

}  // namespace vexlorn
