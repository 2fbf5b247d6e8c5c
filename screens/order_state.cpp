// The order page: visit the project's page through the desktop, or go back to the menu.
#include "screens/order_state.h"

#include <allegro.h>

#include <iterator>
#include <string>

#include "assets/assets.h"
#include "assets/sound.h"
#include "assets/translucent.h"
#include "frame/globals.h"
#include "frame/picture_changes.h"
#include "platform/shell/link_file.h"
#include "platform/shell/shell.h"
#include "screens/screen_draw.h"

namespace vexlorn {

OrderState orderState;

const OrderOption orderOptions[] = {
    {ObjOrderVisit, 16, 368},
    {ObjOrderBack, 186, 368},
};
static_assert(std::size(orderOptions) == orderOptionCount, "one row per choice");

// Looked up in the working directory first, so that a copy there overrides the installed one.
const char linkFileName[] = "vexlorn.url";

namespace {

constexpr int visitChoice = 0;
constexpr int dimmedOpacity = 64;

bool isArrow(int key) {
    return key == KeyUp || key == KeyDown || key == KeyLeft || key == KeyRight;
}

// The installed link file lies beside the data file. Whether the desktop could open the link
// changes nothing on this page.
void visitOrderSite() {
    char installed[1024];
    // Allegro knows the platform's separators ("\\" besides "/" on Windows).
    replace_filename(installed, dataFilePath(), linkFileName, sizeof installed);
    std::string file = findLinkFile(linkFileName, installed);
    std::string target = file.empty() ? file : linkTarget(file);
    if (!target.empty()) openWithDesktop(target.c_str());
}

}  // namespace

void OrderState::enter() {
    selected = 0;
}

void OrderState::draw() {
    drawBackdrop(ObjOrderPage);
    for (int i = 0; i < orderOptionCount; ++i) {
        const OrderOption& option = orderOptions[i];
        BITMAP* picture = dataBitmap(option.object);
        if (i == selected) {
            draw_sprite(backBuffer, picture, option.x, option.y);
        } else {
            translucentDraw(picture, backBuffer, option.x, option.y, dimmedOpacity);
        }
    }
    drawnSelected_ = selected;
}

// The page changes only when the choice does: until then only the pass-rate line, clear of the
// choices, goes back.
bool OrderState::update() {
    if (frame_.kept() && drawnSelected_ == selected) {
        trackChanges();
        putBackPicture(ObjOrderPage, passRateLine());
    } else {
        draw();
    }
    frame_.drawn();
    if (isArrow(lastKey)) {
        // With two choices every arrow simply moves to the other one.
        selected = (selected + 1) % orderOptionCount;
        lastKey = 0;
        playSound(SoundEffect::Move, panCentre);
    }
    if (lastKey == KeyEnter || lastKey == KeySpace) {
        if (selected == visitChoice) visitOrderSite();
        stateStack.pop();
    }
    lastKey = 0;
    lastTickCount = tickCount;
    return true;
}

}  // namespace vexlorn
