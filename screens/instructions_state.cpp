// Stand-in until this screen is built.
#include "screens/instructions_state.h"

namespace vexlorn {

InstructionsState instructionsState;

void InstructionsState::activate() {}
bool InstructionsState::update() { return true; }

}  // namespace vexlorn
