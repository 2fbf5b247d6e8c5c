// Small drawing helpers shared by the round, end and hall-of-fame screens.
#include "screens/screen_draw.h"

#include <algorithm>
#include <array>
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
    drawLeftBoard(backBuffer, left, tickCount);
    drawRightBoard(backBuffer, right, tickCount);
    taskList.updateAll(backBuffer, elapsed);
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
    std::vector<Area> parts[2];  // each well's places to draw again, kept to reuse their memory
};
DrawnRound drawnRound;

// Past this many changed places a well is drawn whole: cheaper than so many small ones.
constexpr size_t mostWellParts = 16;

// The band along the edges of a well's area where its warning frame lies.
constexpr int warningBand = 5;

std::array<Area, 4> warningStrips(int x) {
    const Area well = boardArea(x, boardScreenY);
    const int right = well.x + well.width - warningBand;
    const int bottom = well.y + well.height - warningBand;
    return {Area{well.x, well.y, well.width, warningBand},
            Area{well.x, bottom, well.width, warningBand},
            Area{well.x, well.y, warningBand, well.height},
            Area{right, well.y, warningBand, well.height}};
}

// Where a well must be drawn again, when it need not be drawn whole: its changed cells, its
// warning band when the frame came or went, and whatever of it the backdrop was put back over.
// False when it must be drawn whole. A frame that only changed shade (every tick while it
// pulses) covers its band whole: it is drawn again over the rest, with nothing under it.
bool wellParts(const DrawnWell& drawn, const Board& board, int x, const std::vector<Area>& putBack,
               std::vector<Area>& parts) {
    parts.clear();
    if (!drawn.drawn || !sameWellGeometry(drawn.board, board)) return false;
    changedCells(drawn.board, board, x, boardScreenY, parts);
    const Area well = boardArea(x, boardScreenY);
    const int shade = warningShade(board, tickCount);
    if (drawn.warning != shade && (drawn.warning < 0 || shade < 0)) {
        for (const Area& strip : warningStrips(x)) parts.push_back(strip);
    }
    for (const Area& back : putBack) {
        const Area part = intersection(back, well);
        if (part.width > 0) parts.push_back(part);
    }
    return parts.size() <= mostWellParts;
}

}  // namespace

void forgetDrawnRound() {
    drawnRound.valid = false;
}

// Copying the whole backdrop costs as much as the rest of a busy round together. When nothing
// has run since this screen's last update, the back buffer still holds that frame except where
// the frame loop wrote its pass rate. Putting the backdrop back there and where the panels and
// effects drew, then drawing those again in the same order, gives the pixels of a full redraw;
// so does drawing a well again only where a cell changed, each place from its backdrop up, as
// long as the rows stand where they stood and the warning frame has its shade. At the top level
// the rows move one line every fourth pass.
bool redrawRound(int background, const Board& left, const Board& right, int elapsed) {
    const Board* boards[2] = {&left, &right};
    const int wellX[2] = {leftBoardX, rightBoardX};
    const int panelX[2] = {leftPanelX, rightPanelX};
    BITMAP* backdrop = dataBitmap(background);
    const bool continued = drawnRound.valid && drawnRound.background == background &&
                           stateStack.changeCount() == drawnRound.atChange + 1 &&
                           backdrop != nullptr;
    auto putBack = [backdrop](const Area& area) {
        blit(backdrop, backBuffer, area.x, area.y, area.x, area.y, area.width, area.height);
        markChanged(area);
    };
    bool wholeWell[2] = {true, true};
    if (continued) {
        trackChanges();
        drawnRound.areas.push_back(passRateLine());
        for (const Area& area : drawnRound.areas) putBack(area);
        for (int i = 0; i < 2; ++i) {
            wholeWell[i] = !wellParts(drawnRound.wells[i], *boards[i], wellX[i], drawnRound.areas,
                                      drawnRound.parts[i]);
        }
    } else {
        drawBackdrop(background);
    }
    drawnRound.areas.clear();
    for (int i = 0; i < 2; ++i) {
        const Board& board = *boards[i];
        const int shade = warningShade(board, tickCount);
        if (wholeWell[i]) {
            if (continued) putBack(boardArea(wellX[i], boardScreenY));
            drawBoard(backBuffer, board, wellX[i], boardScreenY, tickCount);
        } else {
            for (const Area& part : drawnRound.parts[i]) {
                putBack(part);
                drawBoardWithin(backBuffer, board, wellX[i], boardScreenY, part, tickCount);
            }
            if (drawnRound.wells[i].warning != shade) {
                drawWarningFrame(backBuffer, board, wellX[i], boardScreenY, tickCount);
                for (const Area& strip : warningStrips(wellX[i])) markChanged(strip);
            }
        }
        drawnRound.wells[i] = DrawnWell{true, board, shade};
        ChangeRecorder recorder(drawnRound.areas);
        drawPanel(backBuffer, board, panelX[i]);
    }
    {
        ChangeRecorder recorder(drawnRound.areas);
        taskList.updateAll(backBuffer, elapsed);
    }
    drawnRound.valid = true;
    drawnRound.background = background;
    drawnRound.atChange = stateStack.changeCount();
    return continued;
}

void drawSeatTags() {
    // Centred under each well, where the backdrops' names stand.
    static constexpr int tagY = 445;
    static constexpr int wellCentres[2] = {leftBoardX + 96, rightBoardX + 96};
    static constexpr int tags[2] = {ObjSeatTagLeft, ObjSeatTagRight};
    for (int side = 0; side < 2; ++side) {
        BITMAP* tag = dataBitmap(tags[side]);
        if (tag == nullptr) continue;
        const int x = wellCentres[side] - tag->w / 2;
        draw_sprite(backBuffer, tag, x, tagY);
        markChanged(Area{x, tagY, tag->w, tag->h});
    }
}

void drawPicture(int object, int x, int y) {
    BITMAP* picture = dataBitmap(object);
    if (picture == nullptr) return;
    draw_sprite(backBuffer, picture, x, y);
    markChanged(Area{x, y, picture->w, picture->h});
}

void drawPictureCentred(int object, int x, int y) {
    BITMAP* picture = dataBitmap(object);
    if (picture == nullptr) return;
    drawPicture(object, x - picture->w / 2, y - picture->h / 2);
}

void drawText(int x, int y, const char* text) {
    FONT* textFont = screenFont();
    textout_ex(backBuffer, textFont, text, x, y, -1, -1);
    markChanged(Area{x, y, text_length(textFont, text), text_height(textFont)});
}

std::vector<std::string> fitText(const std::string& text, int width) {
    static const std::string longDash = "\xe2\x80\x94";
    std::string shown = text;
    for (size_t at = shown.find(longDash); at != std::string::npos; at = shown.find(longDash))
        shown.replace(at, longDash.size(), "-");
    std::vector<std::string> lines;
    std::string line;
    size_t start = 0;
    while (start < shown.size()) {
        size_t end = shown.find(' ', start);
        if (end == std::string::npos) end = shown.size();
        const std::string word = shown.substr(start, end - start);
        std::string longer = line;
        if (!longer.empty()) longer += ' ';
        longer += word;
        if (!line.empty() && text_length(screenFont(), longer.c_str()) > width) {
            lines.push_back(line);
            line = word;
        } else {
            line = longer;
        }
        start = end + 1;
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

int drawCentredLines(int x, int y, int width, int pitch, const std::string& text) {
    for (const std::string& line : fitText(text, width)) {
        textout_centre_ex(backBuffer, screenFont(), line.c_str(), x, y, -1, -1);
        y += pitch;
    }
    return y;
}

bool KeptFrame::kept() const {
    return drawn_ && stateStack.changeCount() == drawnAtChange_ + 1;
}

void KeptFrame::drawn() {
    drawn_ = true;
    drawnAtChange_ = stateStack.changeCount();
}

Area drawnPart(BITMAP* sprite) {
    const int mask = bitmap_mask_color(sprite);
    int left = sprite->w;
    int right = -1;
    int top = sprite->h;
    int bottom = -1;
    for (int y = 0; y < sprite->h; ++y) {
        for (int x = 0; x < sprite->w; ++x) {
            if (getpixel(sprite, x, y) == mask) continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = y;
        }
    }
    if (right < 0) return Area{0, 0, 0, 0};
    return Area{left, top, right - left + 1, bottom - top + 1};
}

void putBackPicture(int object, const Area& area) {
    BITMAP* picture = dataBitmap(object);
    if (picture == nullptr) return;
    blit(picture, backBuffer, area.x, area.y, area.x, area.y, area.width, area.height);
    markChanged(area);
}

bool isConfirmKey(int scancode) {
    return scancode == KeyEnter || scancode == KeySpace;
}

}  // namespace vexlorn
