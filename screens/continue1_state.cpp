// Stand-in until this screen is built.
#include "screens/continue1_state.h"

namespace vexlorn {

Continue1State continue1State;

void Continue1State::activate() {}
bool Continue1State::update() { return true; }

}  // namespace vexlorn
