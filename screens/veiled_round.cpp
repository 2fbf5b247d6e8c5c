// The round under the grey veil of the continue and end screens, drawn pass after pass.
#include "screens/veiled_round.h"

#include <allegro.h>

#include <cstdint>
#include <cstring>

#include "assets/assets.h"
#include "board/board_draw.h"
#include "frame/globals.h"
#include "frame/picture_changes.h"
#include "frame/state_stack.h"
#include "screens/screen_draw.h"

namespace vexlorn {

namespace {

bool samePlace(const VeiledPicture& a, const VeiledPicture& b) {
    return a.bitmap == b.bitmap && a.key == b.key && a.x == b.x && a.y == b.y && a.w == b.w &&
           a.h == b.h;
}

bool overlaps(const Area& a, const Area& b) {
    return intersection(a, b).width > 0;
}

Area screenPart(const Area& area) {
    return intersection(area, Area{0, 0, screenWidth, screenHeight});
}

}  // namespace

VeiledPicture dataPicture(int object, int x, int y) {
    BITMAP* bitmap = dataBitmap(object);
    if (bitmap == nullptr) return VeiledPicture{nullptr, object, x, y, 0, 0};
    return VeiledPicture{bitmap, object, x, y, bitmap->w, bitmap->h};
}

void drawVeiledPicture(const VeiledPicture& picture) {
    if (picture.bitmap == nullptr || picture.w <= 0 || picture.h <= 0) return;
    if (picture.w == picture.bitmap->w && picture.h == picture.bitmap->h) {
        draw_sprite(backBuffer, picture.bitmap, picture.x, picture.y);
    } else {
        stretch_sprite(backBuffer, picture.bitmap, picture.x, picture.y, picture.w, picture.h);
    }
    markChanged(Area{picture.x, picture.y, picture.w, picture.h});
}

void VeiledRound::draw(int background, const Board& left, const Board& right, int elapsed,
                       std::initializer_list<VeiledPicture> pictures) {
    // Last pass's overlay is put back with what the round changes.
    putBack_.swap(overlay_);
    overlay_.clear();
    if (!redraw(background, left, right, elapsed)) {
        putBack_.clear();
        drawPictures(pictures, false);
        return;
    }
    trackChanges();
    putBack_.push_back(passRateLine());
    for (const Area& area : roundAreas_) {
        if (!roundChanged(area)) continue;
        greyAgain(area);
        putBack_.push_back(area);
    }
    // A picture that goes or moves leaves the veil to be put back where it was.
    for (const ShownPicture& before : shown_) {
        bool stays = false;
        for (const VeiledPicture& now : pictures) stays = stays || samePlace(before.picture, now);
        if (!stays) putBack_.push_back(before.area);
    }
    for (const Area& area : putBack_) veil(area);
    drawPictures(pictures, true);
    putBack_.clear();
}

// The round redrawn in its own picture; false when the back buffer got the whole of it.
bool VeiledRound::redraw(int background, const Board& left, const Board& right, int elapsed) {
    const bool continued = round_ != nullptr && stateStack.changeCount() == drawnAtChange_ + 1;
    if (round_ == nullptr) round_ = create_bitmap(screenWidth, screenHeight);
    if (veiled_ == nullptr) veiled_ = create_bitmap(screenWidth, screenHeight);
    if (greyed_ == nullptr) greyed_ = create_bitmap(screenWidth, screenHeight);
    if (round_ == nullptr || veiled_ == nullptr || greyed_ == nullptr) {
        // No memory for the kept pictures: the plain way, everything every pass.
        drawRound(background, left, right, elapsed);
        greyBitmap(backBuffer);
        return false;
    }
    // The play screen's last redraw went into the back buffer, not into this picture.
    if (!continued) forgetDrawnRound();
    BITMAP* const picture = backBuffer;
    backBuffer = round_;
    roundAreas_.clear();
    bool partial = false;
    {
        ChangeRecorder recorder(roundAreas_, ChangeRecorder::OnlyHere);
        partial = redrawRound(background, left, right, elapsed);
    }
    backBuffer = picture;
    drawnAtChange_ = stateStack.changeCount();
    if (!partial) veilWhole();
    return partial;
}

// Most of what the round redraws between two ticks comes out as it was: the panels, the
// effects advanced by no time.
bool VeiledRound::roundChanged(const Area& area) const {
    const Area part = screenPart(area);
    for (int y = part.y; y < part.y + part.height; ++y) {
        const auto* now = reinterpret_cast<const uint32_t*>(round_->line[y]) + part.x;
        const auto* before = reinterpret_cast<const uint32_t*>(veiled_->line[y]) + part.x;
        if (std::memcmp(now, before, sizeof(uint32_t) * part.width) != 0) return true;
    }
    return false;
}

// Every picture goes on in the order given; one that stands as it stood, with none of the veil
// put back over it and no picture drawn again under it, already shows.
void VeiledRound::drawPictures(std::initializer_list<VeiledPicture> pictures, bool partial) {
    showing_.clear();
    bool drewBelow = false;
    for (const VeiledPicture& picture : pictures) {
        if (picture.bitmap == nullptr || picture.w <= 0 || picture.h <= 0) continue;
        const Area area{picture.x, picture.y, picture.w, picture.h};
        bool shows = false;
        for (const ShownPicture& before : shown_) {
            shows = shows || (partial && samePlace(before.picture, picture));
        }
        for (const Area& back : putBack_) shows = shows && !overlaps(back, area);
        for (const ShownPicture& below : showing_) {
            shows = shows && !(drewBelow && overlaps(below.area, area));
        }
        if (!shows) {
            drawVeiledPicture(picture);
            drewBelow = true;
        }
        showing_.push_back(ShownPicture{picture, area});
    }
    shown_.swap(showing_);
}

// Where the round changed, its kept grey copy follows.
void VeiledRound::greyAgain(const Area& area) {
    const Area part = screenPart(area);
    if (part.width <= 0 || part.height <= 0) return;
    blit(round_, veiled_, part.x, part.y, part.x, part.y, part.width, part.height);
    blit(round_, greyed_, part.x, part.y, part.x, part.y, part.width, part.height);
    // Greying keeps to the clipping rectangle.
    set_clip_rect(greyed_, part.x, part.y, part.x + part.width - 1, part.y + part.height - 1);
    greyBitmap(greyed_);
    set_clip_rect(greyed_, 0, 0, screenWidth - 1, screenHeight - 1);
}

// The veil goes back from the kept grey copy: most of what is put back each pass lies under
// the screen's own pictures and texts, where the round did not change.
void VeiledRound::veil(const Area& area) {
    const Area part = screenPart(area);
    if (part.width <= 0 || part.height <= 0) return;
    blit(greyed_, backBuffer, part.x, part.y, part.x, part.y, part.width, part.height);
    markChanged(part);
}

void VeiledRound::veilWhole() {
    blit(round_, veiled_, 0, 0, 0, 0, screenWidth, screenHeight);
    blit(round_, greyed_, 0, 0, 0, 0, screenWidth, screenHeight);
    greyBitmap(greyed_);
    blit(greyed_, backBuffer, 0, 0, 0, 0, screenWidth, screenHeight);
}

void VeiledRound::release() {
    if (round_ != nullptr) destroy_bitmap(round_);
    if (veiled_ != nullptr) destroy_bitmap(veiled_);
    if (greyed_ != nullptr) destroy_bitmap(greyed_);
    round_ = nullptr;
    veiled_ = nullptr;
    greyed_ = nullptr;
    overlay_.clear();
    putBack_.clear();
    roundAreas_.clear();
    shown_.clear();
}

}  // namespace vexlorn
