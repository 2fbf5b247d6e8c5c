// The menu rows' pictures, rendered from their texts once the game font is loaded.
#include <allegro.h>

#include <cstring>

#include "assets/assets.h"
#include "screens/menu_state.h"

namespace vexlorn {

namespace {

// The labels made here; the menu may swap its row's image for a music label, so the rows
// themselves do not say which bitmaps are ours to destroy.
BITMAP* menuLabels[menuItemCount];

}  // namespace

bool makeMenuLabels() {
    bool made = true;
    for (int i = 0; i < menuItemCount; ++i) {
        // The row's text field need not end in a NUL within its 32 bytes.
        char text[sizeof menuItems[i].text + 1] = {};
        std::memcpy(text, menuItems[i].text, sizeof menuItems[i].text);
        menuLabels[i] = makeLabel(text);
        menuItems[i].image = menuLabels[i];
        made = made && menuLabels[i] != nullptr;
    }
    return made;
}

void freeMenuImages() {
    for (BITMAP*& label : menuLabels) {
        if (label != nullptr) destroy_bitmap(label);
        label = nullptr;
    }
    for (int i = 0; i < menuItemCount; ++i) menuItems[i].image = nullptr;
}

}  // namespace vexlorn
