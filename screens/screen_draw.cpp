// Small drawing helpers shared by the round, end and hall-of-fame screens.
#include "screens/screen_draw.h"

#include <cstring>
#include <vector>

#include "assets/assets.h"
#include "board/board_draw.h"
#include "frame/globals.h"
#include "frame/picture_changes.h"
#include "frame/state_stack.h"
#include "frame/task_list.h"

namespace vexlorn {

FONT* screenFont() {
    return gameFont != nullptr ? gameFont : font;
}

void drawBackdrop(int object) {
    BITMAP* picture = dataBitmap(object);
    if (picture == nullptr) return;
    blit(picture, backBuffer, 0, 0, 0, 0, screenWidth, screenHeight);
}

void drawRound(int background, const Board& left, const Board& right, int elapsed) {
    drawBackdrop(background);
    drawLeftBoard(left);
    drawRightBoard(right);
    taskList.updateAll(elapsed);
}

namespace {

// A well as redrawRound last drew it: its board then and the shade of its warning frame, the
// only other thing its pixels depend on.
struct DrawnWell {
    bool drawn = false;
    Board board{};
    int warning = -1;
};

// The round as redrawRound last drew it: over which backdrop, the stack's change count when it
// had done, its wells, and where its panels and effects drew.
struct DrawnRound {
    bool valid = false;
    int background = 0;
    unsigned long atChange = 0;
    DrawnWell wells[2];
    std::vector<Area> areas;
};
DrawnRound drawnRound;

bool overlap(const Area& a, const Area& b) {
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height &&
           b.y < a.y + a.height;
}

// A well whose board and frame are as last drawn, with nothing put back over it, still shows.
bool wellShows(const DrawnWell& drawn, const Board& board, const Area& area,
               const std::vector<Area>& putBack) {
    if (!drawn.drawn || drawn.warning != warningShade(board)) return false;
    if (std::memcmp(&drawn.board, &board, sizeof board) != 0) return false;
    for (const Area& back : putBack) {
        if (overlap(back, area)) return false;
    }
    return true;
}

}  // namespace

void forgetDrawnRound() {
    drawnRound.valid = false;
}

// Copying the whole backdrop costs as much as the rest of a busy round together. When nothing
// has run since this screen's last update, the back buffer still holds that frame except where
// the frame loop wrote its pass rate. Putting the backdrop back there and where the panels and
// effects drew, and under each well that changed, then drawing those again in the same order,
// gives the pixels of a full redraw. A well changes when its board or its warning frame does;
// at the top level a resting well moves one line every fourth pass.
void redrawRound(int background, const Board& left, const Board& right, int elapsed) {
    const Board* boards[2] = {&left, &right};
    const int wellX[2] = {leftBoardX, rightBoardX};
    const int panelX[2] = {leftPanelX, rightPanelX};
    BITMAP* backdrop = dataBitmap(background);
    const bool continued = drawnRound.valid && drawnRound.background == background &&
                           stateStack.changeCount() == drawnRound.atChange + 1 &&
                           backdrop != nullptr;
    bool wellDue[2] = {true, true};
    if (continued) {
        trackChanges();
        auto putBack = [backdrop](const Area& area) {
            blit(backdrop, backBuffer, area.x, area.y, area.x, area.y, area.width, area.height);
            markChanged(area);
        };
        drawnRound.areas.push_back(Area{0, 0, screenWidth, text_height(font)});
        for (const Area& area : drawnRound.areas) putBack(area);
        for (int i = 0; i < 2; ++i) {
            const Area well = boardArea(wellX[i], boardScreenY);
            wellDue[i] = !wellShows(drawnRound.wells[i], *boards[i], well, drawnRound.areas);
            if (wellDue[i]) putBack(well);
        }
    } else {
        drawBackdrop(background);
    }
    drawnRound.areas.clear();
    {
        ChangeRecorder recorder(drawnRound.areas);
        for (int i = 0; i < 2; ++i) {
            if (wellDue[i]) {
                drawBoard(*boards[i], wellX[i], boardScreenY);
                drawnRound.wells[i] = DrawnWell{true, *boards[i], warningShade(*boards[i])};
            }
            drawPanel(*boards[i], panelX[i]);
        }
        taskList.updateAll(elapsed);
    }
    drawnRound.valid = true;
    drawnRound.background = background;
    drawnRound.atChange = stateStack.changeCount();
}

void drawPicture(int object, int x, int y) {
    BITMAP* picture = dataBitmap(object);
    if (picture == nullptr) return;
    draw_sprite(backBuffer, picture, x, y);
}

void drawPictureCentred(int object, int x, int y) {
    BITMAP* picture = dataBitmap(object);
    if (picture == nullptr) return;
    draw_sprite(backBuffer, picture, x - picture->w / 2, y - picture->h / 2);
}

void drawText(int x, int y, const char* text) {
    textout_ex(backBuffer, screenFont(), text, x, y, -1, -1);
}

bool isConfirmKey(int scancode) {
    return scancode == KeyEnter || scancode == KeySpace;
}

}  // namespace vexlorn
