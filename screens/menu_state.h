// The main menu.
#pragma once

#include <cstdint>

#include "frame/state_stack.h"

struct BITMAP;

namespace vexlorn {

struct MenuItem {
    BITMAP* image;
    char text[32];
    int32_t centreX;
    int32_t centreY;
    int32_t growH;
    int32_t growW;
};

// A rectangle of the back buffer.
struct ScreenArea {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
};

inline constexpr int menuItemCount = 7;
inline constexpr int musicMenuItem = 5;
// Unsized here so that its definition, with a static_assert on its length, sets the size.
extern MenuItem menuItems[];

extern const char versionText[];

// Renders every row's image from its text in the game font (after the assets are loaded).
// False when a picture found no memory.
bool makeMenuLabels();
// Before the assets go; the menu may have swapped a row's image for a music label, which is
// not its to free.
void freeMenuImages();

class MenuState : public BaseState {
public:
    void enter() override;
    void activate() override;
    bool update() override;
    int secondPadStartKey() const override;

    int32_t selected = 0;
    int32_t nextSelected = 0;

private:
    void draw(const ScreenArea (&areas)[menuItemCount]);
    void handleKey();

    // What the last update drew over the backdrop, and the stack's change count after it.
    ScreenArea drawnItems_[menuItemCount];
    BITMAP* drawnImages_[menuItemCount] = {};
    unsigned long drawnAtChange_ = 0;
    bool drawn_ = false;
};

extern MenuState menuState;

}  // namespace vexlorn
