// Alt kept with each key. A chord sent in one go (a remote desktop, a macro key, xdotool) lets
// go of Alt before the loop reads its Enter from the buffer, so Alt's state read then would make
// Alt+Enter an Enter; it is read instead as the key enters the buffer.
#include "frame/key_chords.h"

#include <allegro.h>

namespace vexlorn {

// The buffer keeps a whole int per key beside its scancode; the game reads only scancodes, so
// a bit far above any character carries Alt.
constexpr int altHeldBit = 1 << 30;

static int markAltHeld(int key, int* scancode) {
    (void)scancode;
    return (key_shifts & KB_ALT_FLAG) != 0 ? key | altHeldBit : key;
}
END_OF_FUNCTION(markAltHeld)

void keepAltWithKeys() {
    LOCK_FUNCTION(markAltHeld);
    keyboard_ucallback = markAltHeld;
}

bool takeKey(TakenKey& taken) {
    if (!keypressed()) return false;
    int scancode = 0;
    const int key = ureadkey(&scancode);
    taken.scancode = scancode;
    taken.alt = (key & altHeldBit) != 0;
    taken.character = key & ~altHeldBit;
    return true;
}

}  // namespace vexlorn
