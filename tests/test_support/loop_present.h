// Passes as the frame loop makes them, presented only where they reported changes: what the
// tests of the screens that redraw only what changed compare with full redraws.
#pragma once

#include <allegro.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "frame/frame_cycle.h"
#include "frame/globals.h"
#include "frame/picture_changes.h"
#include "frame/scaler.h"
#include "frame/state_stack.h"
#include "frame/task_list.h"

namespace vexlorn {

inline bool samePicture(BITMAP* a, BITMAP* b) {
    for (int y = 0; y < a->h; ++y) {
        if (std::memcmp(a->line[y], b->line[y], sizeof(uint32_t) * a->w) != 0) return false;
    }
    return true;
}

// The frame loop leaves out a still screen's update between ticks when no key came: such an
// update, right after one of the screen's own that took no key, must leave the picture, the
// screen on top and its effects as they were.
inline testing::AssertionResult nothingNewWithoutATick() {
    BaseState* top = stateStack.top();
    if (top == nullptr || !top->stillBetweenTicks()) {
        return testing::AssertionFailure() << "the screen on top is not still between ticks";
    }
    BITMAP* before = create_bitmap(screenWidth, screenHeight);
    blit(backBuffer, before, 0, 0, 0, 0, screenWidth, screenHeight);
    const int effects = taskList.size();
    const int key = lastKey;
    lastKey = 0;
    stateStack.updateTop();
    lastKey = key;
    const bool samePictureShown = samePicture(before, backBuffer);
    destroy_bitmap(before);
    if (stateStack.top() != top) return testing::AssertionFailure() << "another screen came";
    if (taskList.size() != effects) return testing::AssertionFailure() << "effects came or went";
    if (!samePictureShown) return testing::AssertionFailure() << "the picture changed";
    return testing::AssertionSuccess();
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
    // then equal the back buffer: presented() says so. Where the frame loop would leave out the
    // next update, one between ticks, that update is made and must change nothing.
    bool pass(int ticks, int number) {
        tickCount = tickCount + ticks;
        number_ = number;
        const unsigned long changesBefore = stateStack.changeCount();
        beginPassChanges();
        runUpdate();
        const bool continued = stateStack.changeCount() == changesBefore + 1;
        if (quietPass()) {
            ++quietPasses_;
            EXPECT_TRUE(nothingNewWithoutATick()) << "after pass " << number;
        }
        endPassChanges();
        writePassRate();
        presentReported(backBuffer, kept_, pictureChanges(), ScaleTarget{scaled_, 0, 0, 2},
                        nullptr);
        clearPictureChanges();
        return continued;
    }
    bool presented() const { return samePicture(kept_, backBuffer); }
    // How many passes the frame loop would have followed with none.
    int quietPasses() const { return quietPasses_; }

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
    int quietPasses_ = 0;
};

}  // namespace vexlorn
