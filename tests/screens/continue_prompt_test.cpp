// The continue countdown drawn from its kept digits matches the number rendered afresh each pass.
#include <allegro.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "assets/assets.h"
#include "frame/globals.h"
#include "screens/continue1_state.h"
#include "screens/screen_draw.h"
#include "test_support/test_datafile.h"

namespace vexlorn {
namespace {

// The straightforward prompt: a fresh bitmap of the number on every pass.
void referencePrompt(const Continue1State& screen) {
    if (BITMAP* caption = dataBitmap(ObjContinueCaption)) {
        draw_sprite(backBuffer, caption, screen.promptX - caption->w / 2,
                    screen.promptY - caption->h / 2 - 20);
    }
    char number[16];
    std::snprintf(number, sizeof number, "%d", screen.countdown / 50);
    FONT* textFont = screenFont();
    BITMAP* digits = create_bitmap(text_length(textFont, number), text_height(textFont));
    clear_to_color(digits, bitmap_mask_color(digits));
    textout_ex(digits, textFont, number, 0, 0, -1, -1);
    float scale = static_cast<float>((screen.countdown % 50) * 4 / double(50));
    if (scale > 2) scale = 4 - scale;
    const int width = static_cast<int>(digits->w * scale);
    const int height = static_cast<int>(digits->h * scale);
    if (width > 0 && height > 0) {
        stretch_sprite(backBuffer, digits, screen.promptX - width / 2, screen.promptY - height / 2,
                       width, height);
    }
    destroy_bitmap(digits);
}

bool sameRows(BITMAP* a, BITMAP* b) {
    for (int y = 0; y < a->h; ++y) {
        if (std::memcmp(a->line[y], b->line[y], static_cast<size_t>(a->w) * 4) != 0) return false;
    }
    return true;
}

TEST(ContinuePrompt, KeptDigitsDrawTheSamePixelsAsFreshOnesThroughTheWholeCountdown) {
    ASSERT_TRUE(loadTestAssets());
    BITMAP* expected = create_bitmap(screenWidth, screenHeight);
    BITMAP* actual = create_bitmap(screenWidth, screenHeight);
    BITMAP* saved = backBuffer;
    Continue1State screen;
    screen.promptX = 200;
    screen.promptY = 140;
    int differing = 0;
    // Every tick of the 11 s countdown, then a second visit that starts over from the top.
    for (int visit = 0; visit < 2; ++visit) {
        for (int countdown = 550; countdown >= 0; countdown -= 1 + visit * 6) {
            screen.countdown = countdown;
            clear_to_color(expected, makecol(10, 20, 30));
            clear_to_color(actual, makecol(10, 20, 30));
            backBuffer = expected;
            referencePrompt(screen);
            backBuffer = actual;
            screen.drawPrompt();
            if (!sameRows(expected, actual)) ++differing;
        }
        screen.leave();
    }
    backBuffer = saved;
    EXPECT_EQ(differing, 0);
    destroy_bitmap(actual);
    destroy_bitmap(expected);
    freeTestAssets();
}

}  // namespace
}  // namespace vexlorn
