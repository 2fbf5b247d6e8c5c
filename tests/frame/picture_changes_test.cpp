// What the passes tell the present step: when it may copy areas, and when only the whole picture
// is safe.
#include "frame/picture_changes.h"

#include <gtest/gtest.h>

#include <vector>

#include "assets/data_layout.h"
#include "frame/state_stack.h"

namespace vexlorn {
namespace {

struct Quiet : BaseState {
    bool update() override { return true; }
};

class PictureChangesTest : public ::testing::Test {
protected:
    void SetUp() override {
        stateStack.push(&quiet);
        clearPictureChanges();
    }
    void TearDown() override { stateStack.popAll(); }

    // One pass of the frame loop whose update runs `draw`.
    template <typename Draw>
    void pass(Draw draw) {
        beginPassChanges();
        stateStack.updateTop();
        draw();
        endPassChanges();
    }

    Quiet quiet;
};

TEST_F(PictureChangesTest, TrackedPassesListTheirAreasClippedAndWithoutRepeats) {
    pass([] {
        trackChanges();
        markChanged(Area{10, 20, 30, 40});
        markChanged(Area{15, 25, 5, 5});  // inside the first
        markChanged(Area{-8, screenHeight - 4, 16, 16});
        markChanged(Area{screenWidth, 0, 10, 10});  // outside the picture
    });
    pass([] { trackChanges(); });  // drew nothing
    const PictureChanges& changes = pictureChanges();
    ASSERT_FALSE(changes.whole);
    ASSERT_EQ(changes.areas.size(), 2u);
    EXPECT_EQ(changes.areas[1].x, 0);
    EXPECT_EQ(changes.areas[1].y, screenHeight - 4);
    EXPECT_EQ(changes.areas[1].width, 8);
    EXPECT_EQ(changes.areas[1].height, 4);
    // Between passes (the pass rate) a change always counts.
    markChanged(Area{0, 0, 8, 8});
    EXPECT_EQ(pictureChanges().areas.size(), 3u);
    clearPictureChanges();

    // A picture moved down a pixel is copied once, as the rectangle around both places; two
    // strips across each other are not, that rectangle being far larger than both.
    pass([] {
        trackChanges();
        markChanged(Area{100, 100, 50, 40});
        markChanged(Area{100, 101, 50, 40});
        markChanged(Area{300, 100, 5, 200});
        markChanged(Area{300, 100, 200, 5});
    });
    ASSERT_EQ(pictureChanges().areas.size(), 3u);
    EXPECT_EQ(pictureChanges().areas[0].y, 100);
    EXPECT_EQ(pictureChanges().areas[0].height, 41);
}

TEST_F(PictureChangesTest, UntrackedPassesPushesAndPopsAndFloodsMeanTheWholePicture) {
    pass([] { markChanged(Area{0, 0, 8, 8}); });  // an effect drew, the screen keeps no track
    EXPECT_TRUE(pictureChanges().whole);
    clearPictureChanges();

    Quiet above;
    pass([] { trackChanges(); });
    stateStack.push(&above);  // outside any pass, as a test or a tool might
    EXPECT_TRUE(pictureChanges().whole);
    stateStack.pop();
    clearPictureChanges();

    pass([] {
        trackChanges();
        for (int i = 0; i < 1000; ++i)
            markChanged(Area{i * 2 % screenWidth, i * 2 / screenWidth * 2, 1, 1});
    });
    EXPECT_TRUE(pictureChanges().whole);
    clearPictureChanges();
    pass([] { trackChanges(); });
    EXPECT_FALSE(pictureChanges().whole);
    EXPECT_TRUE(pictureChanges().areas.empty());
}

TEST_F(PictureChangesTest, ARecorderHearsEveryAreaAsDrawn) {
    std::vector<Area> heard;
    {
        ChangeRecorder recorder(heard);
        markChanged(Area{4, 4, 10, 10});
        markChanged(Area{5, 5, 2, 2});
        markChanged(Area{-20, -20, 5, 5});
    }
    markChanged(Area{1, 1, 1, 1});
    ASSERT_EQ(heard.size(), 2u);
    EXPECT_EQ(heard[1].x, 5);
    EXPECT_EQ(heard[1].width, 2);
}

}  // namespace
}  // namespace vexlorn
