// The round under the grey veil of the continue and end screens, drawn pass after pass.
#include "screens/veiled_round.h"

#include <allegro.h>

#include "board/board_draw.h"
#include "frame/globals.h"
#include "frame/picture_changes.h"
#include "frame/state_stack.h"
#include "screens/screen_draw.h"

namespace vexlorn {

void VeiledRound::draw(int background, const Board& left, const Board& right, int elapsed) {
    const bool continued = round_ != nullptr && stateStack.changeCount() == drawnAtChange_ + 1;
    if (round_ == nullptr) round_ = create_bitmap(screenWidth, screenHeight);
    // Last pass's overlay is put back with what the round changes.
    changed_.swap(overlay_);
    overlay_.clear();
    if (round_ == nullptr) {
        // No memory for the kept picture: the plain way, everything every pass.
        changed_.clear();
        drawRound(background, left, right, elapsed);
        greyScreen();
        return;
    }
    // The play screen's last redraw went into the back buffer, not into this picture.
    if (!continued) forgetDrawnRound();
    BITMAP* const picture = backBuffer;
    backBuffer = round_;
    bool partial = false;
    {
        ChangeRecorder recorder(changed_);
        partial = redrawRound(background, left, right, elapsed);
    }
    backBuffer = picture;
    drawnAtChange_ = stateStack.changeCount();
    if (!partial) {
        changed_.clear();
        veilWhole();
        return;
    }
    trackChanges();
    changed_.push_back(passRateLine());
    for (const Area& area : changed_) veil(area);
    changed_.clear();
}

void VeiledRound::veil(const Area& area) {
    const Area part = intersection(area, Area{0, 0, screenWidth, screenHeight});
    if (part.width <= 0 || part.height <= 0) return;
    blit(round_, backBuffer, part.x, part.y, part.x, part.y, part.width, part.height);
    BITMAP* view = create_sub_bitmap(backBuffer, part.x, part.y, part.width, part.height);
    if (view == nullptr) {
        veilWhole();
        markChanged(Area{0, 0, screenWidth, screenHeight});
        return;
    }
    greyBitmap(view);
    destroy_bitmap(view);
    markChanged(part);
}

void VeiledRound::veilWhole() {
    blit(round_, backBuffer, 0, 0, 0, 0, screenWidth, screenHeight);
    greyScreen();
}

void VeiledRound::release() {
    if (round_ != nullptr) destroy_bitmap(round_);
    round_ = nullptr;
    overlay_.clear();
    changed_.clear();
}

}  // namespace vexlorn
