// The round under the grey veil of the continue and end screens, drawn pass after pass.
#include "screens/veiled_round.h"

#include <allegro.h>

#include <algorithm>
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

void drawVeiledPictureWithin(const VeiledPicture& picture, const Area& part) {
    int left, top, right, bottom;
    get_clip_rect(backBuffer, &left, &top, &right, &bottom);
    set_clip_rect(backBuffer, part.x, part.y, part.x + part.width - 1, part.y + part.height - 1);
    draw_sprite(backBuffer, picture.bitmap, picture.x, picture.y);
    set_clip_rect(backBuffer, left, top, right, bottom);
    markChanged(part);
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
    // A picture that goes or moves leaves the veil to be put back where it was.
    for (const ShownPicture& before : shown_) {
        bool stays = false;
        for (const VeiledPicture& now : pictures) stays = stays || samePlace(before.picture, now);
        if (!stays) putBack_.push_back(before.area);
    }
    for (const Area& area : putBack_) veil(area);
    // Where the round was drawn again, the veil follows straight into the back buffer too.
    for (const Area& area : roundAreas_) {
        greyAgain(area);
        putBack_.push_back(area);
    }
    drawPictures(pictures, true);
    putBack_.clear();
}

// The round redrawn in its own picture; false when the back buffer got the whole of it.
bool VeiledRound::redraw(int background, const Board& left, const Board& right, int elapsed) {
    const bool continued = round_ != nullptr && stateStack.changeCount() == drawnAtChange_ + 1;
    if (round_ == nullptr) round_ = create_bitmap(screenWidth, screenHeight);
    if (greyed_ == nullptr) greyed_ = create_bitmap(screenWidth, screenHeight);
    if (round_ == nullptr || greyed_ == nullptr) {
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

// Every picture goes on in the order given. One that stands as it stood already shows, except
// where the veil was put back over it or a picture under it was drawn again: only there is it
// drawn again. Drawing keeps to the clipping rectangle, so a part drawn gives the pixels of the
// whole drawn; a stretched picture is drawn whole, its stretch being worked out from where it
// is clipped.
void VeiledRound::drawPictures(std::initializer_list<VeiledPicture> pictures, bool partial) {
    showing_.clear();
    drawnAgain_.assign(putBack_.begin(), putBack_.end());
    for (const VeiledPicture& picture : pictures) {
        if (picture.bitmap == nullptr || picture.w <= 0 || picture.h <= 0) continue;
        const Area area{picture.x, picture.y, picture.w, picture.h};
        showing_.push_back(ShownPicture{picture, area});
        const bool stands =
            partial && std::any_of(shown_.begin(), shown_.end(), [&](const ShownPicture& before) {
                return samePlace(before.picture, picture);
            });
        const bool stretched = picture.w != picture.bitmap->w || picture.h != picture.bitmap->h;
        // A stretched picture that stands is drawn again whole, and only if something under it
        // was.
        if (stands && stretched &&
            std::none_of(drawnAgain_.begin(), drawnAgain_.end(),
                         [&](const Area& a) { return overlaps(a, area); })) {
            continue;
        }
        if (!stands || stretched) {
            drawVeiledPicture(picture);
            drawnAgain_.push_back(area);
            continue;
        }
        const size_t below = drawnAgain_.size();
        for (size_t i = 0; i < below; ++i) {
            const Area part = screenPart(intersection(drawnAgain_[i], area));
            if (part.width <= 0 || part.height <= 0) continue;
            drawVeiledPictureWithin(picture, part);
            drawnAgain_.push_back(part);
        }
    }
    shown_.swap(showing_);
}

// Where the round was drawn again, its grey copy and the back buffer follow, row by row.
// Comparing with the round as last greyed first, to grey only what changed, cost more than it
// saved: the comparison reads rows no pass has touched since the last tick, the warning
// frame's strips change every tick while it pulses, and the rest (the panels, the pass-rate
// line) is small.
void VeiledRound::greyAgain(const Area& area) {
    const Area part = screenPart(area);
    if (part.width <= 0 || part.height <= 0) return;
    for (int y = part.y; y < part.y + part.height; ++y) {
        const auto* drawn = reinterpret_cast<const uint32_t*>(round_->line[y]) + part.x;
        auto* grey = reinterpret_cast<uint32_t*>(greyed_->line[y]) + part.x;
        greyPixels(drawn, grey, part.width);
        std::memcpy(reinterpret_cast<uint32_t*>(backBuffer->line[y]) + part.x, grey,
                    sizeof(uint32_t) * part.width);
    }
    markChanged(part);
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
    blit(round_, greyed_, 0, 0, 0, 0, screenWidth, screenHeight);
    greyBitmap(greyed_);
    blit(greyed_, backBuffer, 0, 0, 0, 0, screenWidth, screenHeight);
}

void VeiledRound::release() {
    if (round_ != nullptr) destroy_bitmap(round_);
    if (greyed_ != nullptr) destroy_bitmap(greyed_);
    round_ = nullptr;
    greyed_ = nullptr;
    overlay_.clear();
    putBack_.clear();
    roundAreas_.clear();
    shown_.clear();
    drawnAgain_.clear();
}

}  // namespace vexlorn
