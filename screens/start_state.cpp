// Stand-in until this screen is built.
#include "screens/start_state.h"

namespace vexlorn {

StartState startState;

void StartState::activate() {}
bool StartState::update() { return true; }

}  // namespace vexlorn
