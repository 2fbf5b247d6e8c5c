// Passes as the frame loop makes them, presented only where they reported changes: what the
// tests of the screens that redraw only what changed compare with full redraws.
#pragma once

#include <allegro.h>

#include <cstdint>
#include <cstring>

#include "frame/globals.h"
#include "frame/picture_changes.h"
#include "frame/scaler.h"
#include "frame/state_stack.h"

namespace vexlorn {

inline bool samePicture(BITMAP* a, BITMAP* b) {
    for (int y = 0; y < a->h; ++y) {
        if (std::memcmp(a->line[y], b->line[y], sizeof(uint32_t) * a->w) != 0) return false;
    }
    return true;
}

class LoopPresent {
public:
    LoopPresent()
        : kept_(create_bitmap(screenWidth, screenHeight)),
          scaled_(create_bitmap(screenWidth * 2, screenHeight * 2)),
          reference_(create_bitmap(screenWidth, screenHeight)) {
        clear_bitmap(kept_);
    }
    ~LoopPresent() {
        destroy_bitmap(kept_);
        destroy_bitmap(scaled_);
        destroy_bitmap(reference_);
    }
    LoopPresent(const LoopPresent&) = delete;
    LoopPresent& operator=(const LoopPresent&) = delete;

    // One pass `ticks` ticks on, the pass rate written over it between passes, then presented
    // at 2x onto a memory screen, only where it reported changes. True when the stack changed
    // only by this update, so the screen could redraw only what changed. The kept picture must
    // then equal the back buffer: presented() says so.
    bool pass(int ticks, int number) {
        tickCount = tickCount + ticks;
        number_ = number;
        const unsigned long changesBefore = stateStack.changeCount();
        beginPassChanges();
        stateStack.updateTop();
        const bool continued = stateStack.changeCount() == changesBefore + 1;
        endPassChanges();
        writePassRate();
        presentReported(backBuffer, kept_, pictureChanges(), ScaleTarget{scaled_, 0, 0, 2},
                        nullptr);
        clearPictureChanges();
        return continued;
    }
    bool presented() const { return samePicture(kept_, backBuffer); }

    // The same moment drawn whole by `draw` into a picture of its own, with the pass rate:
    // true when it equals the back buffer.
    template <typename Draw>
    bool equalsFullRedraw(Draw draw) {
        BITMAP* drawn = backBuffer;
        backBuffer = reference_;
        draw();
        writePassRate();
        backBuffer = drawn;
        clearPictureChanges();
        return samePicture(reference_, backBuffer);
    }

private:
    void writePassRate() const {
        textprintf_ex(backBuffer, font, 0, 0, makecol(255, 255, 255), -1, "FPS: %d",
                      40 + number_ % 17);
        markChanged(Area{0, 0, text_length(font, "FPS: 00"), text_height(font)});
    }

    BITMAP* kept_;
    BITMAP* scaled_;
    BITMAP* reference_;
    int number_ = 0;
};

}  // namespace vexlorn
