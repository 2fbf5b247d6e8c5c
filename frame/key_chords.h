// Keys taken from Allegro's buffer with the Alt key's state at the moment each was pressed.
#pragma once

namespace vexlorn {

struct TakenKey {
    int scancode = 0;
    bool alt = false;   // held when the key was pressed, not when it is read
    int character = 0;  // what the key typed, as the keyboard's layout and Shift made it
};

// Once the keyboard is installed: from then on each key entering the buffer keeps Alt's state.
void keepAltWithKeys();

// The oldest key waiting, or false when none is.
bool takeKey(TakenKey& taken);

}  // namespace vexlorn
