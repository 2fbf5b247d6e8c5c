// Stand-in until the play screen is built.
#include "play/game1_state.h"

namespace vexlorn {

Game1State game1State;
Board* leftBoard = nullptr;
Board* rightBoard = nullptr;
uint8_t newGameFlag = 1;
int32_t riseClock = 0;

void Game1State::enter() {}
void Game1State::activate() {}
bool Game1State::update() { return true; }

}  // namespace vexlorn
