// Stand-in until this screen is built.
#include "screens/menu_state.h"

namespace vexlorn {

MenuState menuState;

void MenuState::enter() {}
void MenuState::activate() {}
bool MenuState::update() { return true; }
MenuItem menuItems[menuItemCount] = {};
const char versionText[] = "1.00b";

}  // namespace vexlorn
