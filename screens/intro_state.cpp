// Stand-in first screen until the attract loop exists: a coloured page that Esc closes.
#include "screens/intro_state.h"

#include <allegro.h>

#include "frame/globals.h"

namespace vexlorn {

IntroState introState;

void IntroState::activate() { tickCount = 0; }

bool IntroState::update() {
    clear_to_color(backBuffer, makecol(16, 24, 64));
    rectfill(backBuffer, 220, 200, 420, 280, makecol(200, 60, 160));
    if (lastKey == KeyEsc) {
        lastKey = 0;
        stateStack.pop();
    }
    return true;
}

}  // namespace vexlorn
