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

inline constexpr int menuItemCount = 7;
inline constexpr int musicMenuItem = 5;
extern MenuItem menuItems[menuItemCount];

extern const char versionText[];

class MenuState : public BaseState {
public:
    void enter() override;
    void activate() override;
    bool update() override;

    int32_t selected = 0;
    int32_t nextSelected = 0;

private:
    void handleKey();
};

extern MenuState menuState;

}  // namespace vexlorn
