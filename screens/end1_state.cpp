// Stand-in until this screen is built.
#include "screens/end1_state.h"

namespace vexlorn {

End1State end1State;

void End1State::activate() {}
bool End1State::update() { return true; }

}  // namespace vexlorn
