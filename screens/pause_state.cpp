// Stand-in until this screen is built.
#include "screens/pause_state.h"

namespace vexlorn {

PauseState pauseState;

void PauseState::activate() {}
bool PauseState::update() { return true; }

}  // namespace vexlorn
