// The hall-of-fame screen.
#include "screens/hiscore_state.h"

#include <allegro.h>

#include "assets/assets.h"
#include "assets/sound.h"
#include "frame/globals.h"
#include "frame/picture_changes.h"
#include "screens/high_scores.h"
#include "screens/screen_draw.h"

namespace vexlorn {

HiscoreState hiscoreState;

namespace {

constexpr int tableX = 290;
constexpr int tableY = 140;
constexpr int rowHeight = 30;
constexpr int idleTicks = 3600;  // 72 seconds, then back to the menu by itself

}  // namespace

void HiscoreState::drawTable() {
    drawBackdrop(ObjHallOfFame);
    for (int row = 0; row < highScoreRows; ++row) {
        const HighScoreEntry& entry = highScoreTable[row];
        textprintf_ex(backBuffer, screenFont(), tableX, tableY + rowHeight * row, -1, -1,
                      "  %3d       %3s     %5d", static_cast<int>(entry.level), entry.name,
                      static_cast<int>(entry.score));
    }
}

void HiscoreState::activate() {
    tickCount = 0;
    playMusic(MusicTrack::HallOfFame);
}

// The table does not change while it is shown: after the first pass only the pass-rate line,
// clear of the table, goes back.
bool HiscoreState::update() {
    if (frame_.kept()) {
        trackChanges();
        putBackPicture(ObjHallOfFame, passRateLine());
    } else {
        drawTable();
    }
    frame_.drawn();
    if (isConfirmKey(lastKey)) {
        lastKey = 0;
        stateStack.pop();
        // Popped once only: a second pop at the time-out would take the menu with it.
        return true;
    }
    if (tickCount > idleTicks) stateStack.pop();
    return true;
}

}  // namespace vexlorn
