// Stand-in until this screen is built.
#include "screens/win_state.h"

namespace vexlorn {

WinState winState;

void WinState::activate() {}
bool WinState::update() { return true; }
bool BalloonTask::update(int) { return false; }
void spawnBalloon() {}

}  // namespace vexlorn
