// Stand-in until this screen is built.
#include "screens/about_state.h"

namespace vexlorn {

AboutState aboutState;

void AboutState::activate() {}
bool AboutState::update() { return true; }

}  // namespace vexlorn
