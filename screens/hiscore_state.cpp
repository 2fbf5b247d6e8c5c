// Stand-in until this screen is built.
#include "screens/hiscore_state.h"

namespace vexlorn {

HiscoreState hiscoreState;

void HiscoreState::activate() {}
bool HiscoreState::update() { return true; }
void HiscoreState::drawTable() {}

}  // namespace vexlorn
