// The main menu: seven items in a column, the selected one enlarged, chosen with the arrows.
#include "screens/menu_state.h"

#include <allegro.h>

#include <iterator>

#include "assets/assets.h"
#include "assets/sound.h"
#include "board/board.h"
#include "frame/globals.h"
#include "frame/picture_changes.h"
#include "frame/settings.h"
#include "play/game1_state.h"
#include "screens/about_state.h"
#include "screens/hiscore_state.h"
#include "screens/instructions_state.h"
#include "screens/order_state.h"
#include "screens/replays_state.h"
#include "screens/screen_draw.h"
#include "screens/versus_setup_state.h"

namespace vexlorn {

MenuState menuState;

// makeMenuLabels renders every image from these texts at start-up. Row 5's own text is never
// shown: the music item always carries one of the two music labels instead.
MenuItem menuItems[] = {
    {nullptr, "O N E   P L A Y E R", 400, 140, 0, 0},
    {nullptr, "I N S T R U C T I O N S", 400, 190, 0, 0},
    {nullptr, "H O W   T O   O R D E R", 400, 240, 0, 0},
    {nullptr, "H A L L   O F   F A M E", 400, 290, 0, 0},
    {nullptr, "A B O U T", 400, 340, 0, 0},
    {nullptr, "M U S I C  O N F", 400, 390, 0, 0},
    {nullptr, "E X I T", 400, 440, 0, 0},
};
static_assert(std::size(menuItems) == menuItemCount, "one row per menu item");

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
    rememberMusic(musicMuted);
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
// per pass (not per tick), so a released item settles within a few dozen passes. Returns the
// rectangle the item is to be drawn in.
ScreenArea placeItem(MenuItem& item, bool selected) {
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
    return {item.centreX - w / 2, item.centreY - h / 2, w, h};
}

bool sameArea(const ScreenArea& a, const ScreenArea& b) {
    return a.x == b.x && a.y == b.y && a.w == b.w && a.h == b.h;
}

bool overlap(const ScreenArea& a, const ScreenArea& b) {
    return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
}

constexpr int versionX = 5;
constexpr const char* menuHintText = "2: two players   R: replays";
constexpr int versionY = 470;

}  // namespace

void MenuState::enter() {
    selected = 0;
    nextSelected = 0;
    drawn_ = false;
    for (MenuItem& item : menuItems) {
        item.growH = 0;
        item.growW = 0;
    }
    menuItems[musicMenuItem].image = musicLabel();
}

void MenuState::activate() {
    tickCount = 0;
    playMusic(MusicTrack::Menu);
}

// Copying the whole backdrop reads and writes two and a half megabytes, by far the menu's
// largest cost. When nothing has run since the menu's last update, the back buffer still holds
// that frame: putting back what changes and drawing it again gives the same pixels. What
// changes is the top lines, where the frame loop writes its pass rate, the version line, and
// the items that move or change picture; an item drawn exactly as last time stays, unless
// anything else drawn overlaps it, in which case every item is drawn again.
void MenuState::draw(const ScreenArea (&areas)[menuItemCount]) {
    BITMAP* backdrop = dataBitmap(ObjMenuBackdrop);
    const Area passRate = passRateLine();
    const ScreenArea fixed[] = {
        {passRate.x, passRate.y, passRate.width, passRate.height},
        {versionX, versionY, screenWidth - versionX, screenHeight - versionY}};
    bool keep[menuItemCount] = {};
    if (!drawn_ || stateStack.changeCount() != drawnAtChange_ + 1) {
        drawBackdrop(ObjMenuBackdrop);
    } else {
        trackChanges();
        bool apart = true;
        for (int i = 0; i < menuItemCount; ++i) {
            for (const ScreenArea& area : fixed) {
                apart = apart && !overlap(areas[i], area) && !overlap(drawnItems_[i], area);
            }
            for (int j = 0; j < i; ++j) {
                apart = apart && !overlap(areas[i], areas[j]) &&
                        !overlap(areas[i], drawnItems_[j]) && !overlap(drawnItems_[i], areas[j]) &&
                        !overlap(drawnItems_[i], drawnItems_[j]);
            }
        }
        auto restore = [backdrop](const ScreenArea& area) {
            blit(backdrop, backBuffer, area.x, area.y, area.x, area.y, area.w, area.h);
            markChanged(Area{area.x, area.y, area.w, area.h});
        };
        for (const ScreenArea& area : fixed) restore(area);
        for (int i = 0; i < menuItemCount; ++i) {
            keep[i] = apart && sameArea(areas[i], drawnItems_[i]) &&
                      menuItems[i].image == drawnImages_[i];
            if (!keep[i]) restore(drawnItems_[i]);
        }
    }
    textprintf_ex(backBuffer, font, versionX, versionY, makecol(255, 255, 255), -1, "Version %s",
                  versionText);
    // The keys that lead beside the items.
    textout_right_ex(backBuffer, font, menuHintText, screenWidth - versionX, versionY,
                     makecol(255, 255, 255), -1);
    for (int i = 0; i < menuItemCount; ++i) {
        const ScreenArea& area = areas[i];
        if (!keep[i]) {
            stretch_sprite(backBuffer, menuItems[i].image, area.x, area.y, area.w, area.h);
            markChanged(Area{area.x, area.y, area.w, area.h});
        }
        drawnItems_[i] = area;
        drawnImages_[i] = menuItems[i].image;
    }
}

bool MenuState::update() {
    ScreenArea areas[menuItemCount];
    for (int i = 0; i < menuItemCount; ++i) areas[i] = placeItem(menuItems[i], i == selected);
    draw(areas);
    handleKey();
    selected = nextSelected;
    // Moving the cursor does not count as activity; only starting an item resets the clock.
    if (tickCount > idleTicks) stateStack.pop();
    drawn_ = true;
    drawnAtChange_ = stateStack.changeCount();
    return true;
}

void MenuState::handleKey() {
    if (lastKey == KeyUp) {
        nextSelected = selected == 0 ? menuItemCount - 1 : selected - 1;
        lastKey = 0;
        playSound(SoundEffect::Move, panCentre);
    } else if (lastKey == KeyDown) {
        nextSelected = selected == menuItemCount - 1 ? 0 : selected + 1;
        lastKey = 0;
        playSound(SoundEffect::Move, panCentre);
    } else if (lastKey == KeyEnter || lastKey == KeySpace) {
        startItem(selected);
        tickCount = 0;
        lastKey = 0;
    } else if (lastKey == KEY_R) {
        // The kept recordings: another way in beside the items.
        stateStack.push(&replaysState);
        tickCount = 0;
        lastKey = 0;
    } else if (lastKey == Key2) {
        // Two players (the key 2, or Start on a second pad): a way in beside the items, which
        // stay as they are.
        stateStack.push(&versusSetupState);
        tickCount = 0;
        lastKey = 0;
    }
}

int MenuState::secondPadStartKey() const {
    return Key2;
}

}  // namespace vexlorn
