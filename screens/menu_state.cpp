// The main menu: seven items in a column, the selected one enlarged, chosen with the arrows.
#include "screens/menu_state.h"

#include <allegro.h>

#include "assets/assets.h"
#include "assets/sound.h"
#include "board/board.h"
#include "frame/globals.h"
#include "play/game1_state.h"
#include "screens/about_state.h"
#include "screens/hiscore_state.h"
#include "screens/instructions_state.h"
#include "screens/order_state.h"

namespace vexlorn {

MenuState menuState;

// The asset loader renders every image from these texts at start-up. Row 5's own text is never
// shown: the music item always carries one of the two music labels instead.
MenuItem menuItems[menuItemCount] = {
    {nullptr, "O N E   P L A Y E R", 400, 140, 0, 0},
    {nullptr, "I N S T R U C T I O N S", 400, 190, 0, 0},
    {nullptr, "H O W   T O   O R D E R", 400, 240, 0, 0},
    {nullptr, "H A L L   O F   F A M E", 400, 290, 0, 0},
    {nullptr, "A B O U T", 400, 340, 0, 0},
    {nullptr, "M U S I C   O N ", 400, 390, 0, 0},
    {nullptr, "E X I T", 400, 440, 0, 0},
};
static_assert(sizeof menuItems / sizeof menuItems[0] == menuItemCount, "one row per menu item");

const char versionText[] = "1.00b";

namespace {

enum MenuAction : int {
    NewGame = 0,
    Instructions = 1,
    HowToOrder = 2,
    HallOfFame = 3,
    About = 4,
    Music = musicMenuItem,
    Exit = 6,
};

constexpr int menuMusic = 2;
constexpr int cursorSound = 0;
constexpr int centrePan = 128;
constexpr int idleTicks = 3600;

BITMAP* musicLabel() {
    return musicMuted ? musicOffImage : musicOnImage;
}

void startNewGame() {
    newGameFlag = 1;
    leftBoard = generateBoard(leftBoard, 1);
    rightBoard = generateBoard(rightBoard, newGameFlag);
    stateStack.push(&game1State);
}

void toggleMusic() {
    // The label shows what the music is doing now, not what choosing the item will do.
    if (musicMuted) {
        switchMusicOn();
    } else {
        switchMusicOff();
    }
    menuItems[musicMenuItem].image = musicLabel();
}

void startItem(int item) {
    switch (item) {
        case NewGame:
            startNewGame();
            break;
        case Instructions:
            stateStack.push(&instructionsState);
            break;
        case HowToOrder:
            stateStack.push(&orderState);
            break;
        case HallOfFame:
            stateStack.push(&hiscoreState);
            break;
        case About:
            stateStack.push(&aboutState);
            break;
        case Music:
            toggleMusic();
            break;
        case Exit:
            stateStack.popAll();
            break;
    }
}

// The selected item jumps to one and a half times its size; the others shrink back by a tenth
// per pass (not per tick), so a released item settles within a few dozen passes.
void drawItem(MenuItem& item, bool selected) {
    BITMAP* image = item.image;
    if (selected) {
        item.growW = image->w / 2;
        item.growH = image->h / 2;
    } else {
        item.growW = item.growW * 9 / 10;
        item.growH = item.growH * 9 / 10;
    }
    int w = image->w + item.growW;
    int h = image->h + item.growH;
    stretch_sprite(backBuffer, image, item.centreX - w / 2, item.centreY - h / 2, w, h);
}

}  // namespace

void MenuState::enter() {
    selected = 0;
    nextSelected = 0;
    for (MenuItem& item : menuItems) {
        item.growH = 0;
        item.growW = 0;
    }
    menuItems[musicMenuItem].image = musicLabel();
}

void MenuState::activate() {
    tickCount = 0;
    playMusic(menuMusic);
}

bool MenuState::update() {
    blit(dataBitmap(ObjMenuBackdrop), backBuffer, 0, 0, 0, 0, screenWidth, screenHeight);
    textprintf_ex(backBuffer, font, 5, 470, makecol(255, 255, 255), -1, "Version %s", versionText);
    for (int i = 0; i < menuItemCount; ++i) drawItem(menuItems[i], i == selected);
    handleKey();
    selected = nextSelected;
    // Moving the cursor does not count as activity; only starting an item resets the clock.
    if (tickCount > idleTicks) stateStack.pop();
    return true;
}

void MenuState::handleKey() {
    if (lastKey == KeyUp) {
        nextSelected = selected == 0 ? menuItemCount - 1 : selected - 1;
        lastKey = 0;
        playSound(cursorSound, centrePan);
    } else if (lastKey == KeyDown) {
        nextSelected = selected == menuItemCount - 1 ? 0 : selected + 1;
        lastKey = 0;
        playSound(cursorSound, centrePan);
    } else if (lastKey == KeyEnter || lastKey == KeySpace) {
        startItem(selected);
        tickCount = 0;
        lastKey = 0;
    }
}

}  // namespace vexlorn
