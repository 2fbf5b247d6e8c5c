// The round under the grey veil of the continue and end screens, drawn pass after pass.
#include "screens/veiled_round.h"

#include <allegro.h>

#include "assets/assets.h"
#include "board/board_draw.h"
#include "frame/globals.h"
#include "frame/picture_changes.h"
#include "frame/state_stack.h"
#include "screens/screen_draw.h"

namespace vexlorn {

namespace {

bool samePlace(const VeiledPicture& a, const VeiledPicture& b) {
    return a.object == b.object && a.x == b.x && a.y == b.y;
}

bool overlaps(const Area& a, const Area& b) {
    return intersection(a, b).width > 0;
}

}  // namespace

void VeiledRound::draw(int background, const Board& left, const Board& right, int elapsed,
                       std::initializer_list<VeiledPicture> pictures) {
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
        drawPictures(pictures, false);
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
        drawPictures(pictures, false);
        return;
    }
    trackChanges();
    changed_.push_back(passRateLine());
    // A picture that goes or moves leaves the veil to be put back where it was.
    for (const ShownPicture& before : shown_) {
        bool stays = false;
        for (const VeiledPicture& now : pictures) stays = stays || samePlace(before.picture, now);
        if (!stays) changed_.push_back(before.area);
    }
    for (const Area& area : changed_) veil(area);
    drawPictures(pictures, true);
    changed_.clear();
}

// Every picture goes on in the order given; one that stands as it stood, with none of the veil
// put back over it, already shows.
void VeiledRound::drawPictures(std::initializer_list<VeiledPicture> pictures, bool partial) {
    showing_.clear();
    for (const VeiledPicture& picture : pictures) {
        BITMAP* bitmap = dataBitmap(picture.object);
        if (bitmap == nullptr) continue;
        const Area area{picture.x, picture.y, bitmap->w, bitmap->h};
        bool shows = false;
        for (const ShownPicture& before : shown_) {
            shows = shows || samePlace(before.picture, picture);
        }
        for (const Area& putBack : changed_) shows = shows && !overlaps(putBack, area);
        for (const ShownPicture& below : showing_) shows = shows && !overlaps(below.area, area);
        if (!partial || !shows) {
            draw_sprite(backBuffer, bitmap, picture.x, picture.y);
            markChanged(area);
        }
        showing_.push_back(ShownPicture{picture, area});
    }
    shown_.swap(showing_);
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
    shown_.clear();
}

}  // namespace vexlorn
