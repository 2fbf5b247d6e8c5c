// Random numbers with the range the game was designed for.
#include "board/game_random.h"

#include <cstdlib>

namespace vexlorn {

int gameRand() {
    return std::rand() & gameRandMax;
}

int scaledDraw(int n) {
    return gameRand() * n / gameRandMax;
}

}  // namespace vexlorn
