// Small drawing helpers shared by the round, end and hall-of-fame screens.
#include "screens/screen_draw.h"

#include "assets/assets.h"
#include "board/board_draw.h"
#include "frame/globals.h"
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
