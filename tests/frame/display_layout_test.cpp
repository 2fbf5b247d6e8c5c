// The factor rules, the monitor choice and the picture's place, on plain desktop sizes.
#include "frame/display_layout.h"

#include <gtest/gtest.h>

#include <vector>

#include "frame/options.h"

namespace vexlorn {
namespace {

struct Desktop {
    int width, height;
    int largestWindow, largestFullScreen;
};

// A window also leaves 100 pixels of height for a title bar and a panel.
const Desktop desktops[] = {
    {1024, 768, 1, 1},  {1366, 768, 1, 1},  {1920, 1080, 2, 2},
    {2560, 1440, 2, 3}, {3840, 2160, 4, 4},
};

TEST(DisplayLayoutTest, FactorRulesOnCommonDesktops) {
    for (const Desktop& d : desktops) {
        SCOPED_TRACE(testing::Message() << d.width << "x" << d.height);
        // No -scale: a window keeps the picture's size, full screen fills the monitor.
        EXPECT_EQ(chooseFactor(true, 0, d.width, d.height), 1);
        EXPECT_EQ(chooseFactor(false, 0, d.width, d.height), d.largestFullScreen);
        EXPECT_EQ(chooseFactor(true, 1, d.width, d.height), 1);
        EXPECT_EQ(chooseFactor(false, 1, d.width, d.height), 1);
        // A factor that does not fit is lowered to the largest that does.
        EXPECT_EQ(chooseFactor(true, 3, d.width, d.height), std::min(3, d.largestWindow));
        EXPECT_EQ(chooseFactor(false, 3, d.width, d.height), std::min(3, d.largestFullScreen));
        EXPECT_EQ(chooseFactor(true, 8, d.width, d.height), d.largestWindow);
        // Values the option parser never passes count as no wish.
        EXPECT_EQ(chooseFactor(true, 9, d.width, d.height), 1);
        EXPECT_EQ(chooseFactor(false, 9, d.width, d.height), d.largestFullScreen);
    }
    EXPECT_EQ(chooseFactor(true, 2, 640, 480), 1);
    EXPECT_EQ(chooseFactor(false, 0, 320, 200), 1);
}

std::vector<int> corners(const Area& a) {
    return {a.x, a.y, a.width, a.height};
}

TEST(DisplayLayoutTest, FillOnSmallMonitorsAndWhenAskedFor) {
    // Full screen by itself where the whole factor would be 1 on a monitor at least 1.25 times
    // the picture both ways: laptops and handhelds, not a monitor that takes twice the picture.
    EXPECT_TRUE(usesFill(false, 0, 1366, 768));
    EXPECT_TRUE(usesFill(false, 0, 1280, 800));
    EXPECT_TRUE(usesFill(false, 0, 800, 600));
    EXPECT_FALSE(usesFill(false, 0, 799, 600));
    EXPECT_FALSE(usesFill(false, 0, 1024, 599));
    EXPECT_FALSE(usesFill(false, 0, 1920, 1080));
    // Never by itself in a window, nor when a whole factor was asked for.
    EXPECT_FALSE(usesFill(true, 0, 1366, 768));
    EXPECT_FALSE(usesFill(false, 1, 1366, 768));
    // Asked for: wherever the room holds more than the picture.
    EXPECT_TRUE(usesFill(true, fillScale, 1366, 768));
    EXPECT_TRUE(usesFill(false, fillScale, 1920, 1080));
    EXPECT_FALSE(usesFill(true, fillScale, 800, 580));
    // The picture's shape, as large as the room holds.
    EXPECT_EQ(corners(fillSize(false, 1366, 768)), (std::vector<int>{0, 0, 1024, 768}));
    EXPECT_EQ(corners(fillSize(false, 1280, 800)), (std::vector<int>{0, 0, 1066, 799}));
    EXPECT_EQ(corners(fillSize(true, 1366, 768)), (std::vector<int>{0, 0, 890, 667}));
    EXPECT_EQ(corners(fillSize(false, 1920, 1080)), (std::vector<int>{0, 0, 1440, 1080}));
    EXPECT_EQ(corners(fillSize(false, 600, 400)), (std::vector<int>{0, 0, 640, 480}));
}

// The scale shown at the start (no -scale, or the one asked) and after each F10, window and full
// screen, on each monitor: a whole factor, or 0 for fill. Worked out by hand from the rules: a
// window leaves 100 pixels of height; fill comes after the largest factor only where it shows
// a larger picture; full screen starts at fill by itself only where the factor would be 1 on a
// monitor at least 800 x 600.
struct ScaleSteps {
    int width, height;
    bool windowed;
    int asked;
    std::vector<int> shown;  // at the start, then after each F10
};

const ScaleSteps scaleSteps[] = {
    {640, 480, true, 0, {1, 1, 1}},
    {640, 480, false, 0, {1, 1, 1}},
    {799, 600, false, 0, {1, 0, 1, 0}},
    {800, 600, false, 0, {0, 1, 0, 1}},
    {1024, 768, true, 0, {1, 0, 1, 0}},
    {1024, 768, false, 0, {0, 1, 0, 1}},
    {1366, 768, false, 0, {0, 1, 0}},
    {1920, 1080, true, 0, {1, 2, 0, 1, 2}},
    {1920, 1080, false, 0, {2, 0, 1, 2, 0}},
    {1920, 1080, false, 3, {2, 0, 1}},
    {1920, 1080, true, fillScale, {0, 1, 2, 0}},
    {1920, 1080, false, fillScale, {0, 1, 2, 0}},
    {2560, 1440, true, 0, {1, 2, 0, 1}},
    {2560, 1440, false, 0, {3, 1, 2, 3, 1}},
    {3840, 2160, false, 0, {4, 0, 1, 2, 3, 4}},
    {3840, 2160, true, 8, {4, 0, 1, 2, 3, 4, 0}},
};

TEST(DisplayLayoutTest, ScaleAtTheStartAndAfterEachF10) {
    for (const ScaleSteps& steps : scaleSteps) {
        std::vector<int> shown;
        Scale scale = chooseScale(steps.windowed, steps.asked, steps.width, steps.height);
        for (size_t press = 0; press < steps.shown.size(); ++press) {
            shown.push_back(scale.fill ? 0 : scale.factor);
            const int asked = nextScale(steps.windowed, scale, steps.width, steps.height);
            scale = chooseScale(steps.windowed, asked, steps.width, steps.height);
        }
        EXPECT_EQ(shown, steps.shown)
            << steps.width << "x" << steps.height << (steps.windowed ? " window" : " full screen")
            << ", asked " << steps.asked;
    }
}

TEST(DisplayLayoutTest, MonitorAtTheOriginPrimaryFirst) {
    const Area root{0, 0, 3840, 1080};
    const Monitor left{{0, 0, 1920, 1080}, false};
    const Monitor right{{1920, 0, 1920, 1080}, true};  // the primary, away from the origin
    const Monitor mirrored{{0, 0, 1280, 1024}, true};
    EXPECT_EQ(corners(chooseMonitor({right, left}, root)), corners(left.area));
    EXPECT_EQ(corners(chooseMonitor({left, mirrored, right}, root)), corners(mirrored.area));
    // No monitor list (no XRandR), none at the origin, or a degenerate one: the whole root.
    for (const auto& monitors : {std::vector<Monitor>{}, {right}, {Monitor{{0, 0, 0, 0}, true}}}) {
        EXPECT_EQ(corners(chooseMonitor(monitors, root)), corners(root));
    }
}

TEST(DisplayLayoutTest, TheMonitorHoldingMostOfTheWindowAndNoneWhenItIsOffThemAll) {
    const Monitor left{{0, 0, 1920, 1080}, true};
    const Monitor right{{1920, 0, 1280, 1024}, false};
    Area chosen;
    ASSERT_TRUE(monitorHolding({left, right}, {2400, 300, 640, 480}, chosen));
    EXPECT_EQ(corners(chosen), corners(right.area));
    // Across the seam: the larger part wins, whichever is primary.
    ASSERT_TRUE(monitorHolding({left, right}, {1700, 0, 640, 480}, chosen));
    EXPECT_EQ(corners(chosen), corners(right.area));
    ASSERT_TRUE(monitorHolding({left, right}, {1400, 0, 640, 480}, chosen));
    EXPECT_EQ(corners(chosen), corners(left.area));
    EXPECT_FALSE(monitorHolding({left, right}, {-700, 0, 640, 480}, chosen));
    EXPECT_FALSE(monitorHolding({}, {0, 0, 640, 480}, chosen));
}

TEST(DisplayLayoutTest, PictureCentredOnTheMonitorOrTheScreen) {
    const Area fullHd{0, 0, 1920, 1080};
    EXPECT_EQ(corners(placePicture(1920, 1080, fullHd, 2)), corners({320, 60, 1280, 960}));
    // Two monitors side by side: centred on the left one, never across the seam.
    EXPECT_EQ(corners(placePicture(3840, 1080, fullHd, 2)), corners({320, 60, 1280, 960}));
    // A window, or a 640 x 480 full screen, is smaller than the monitor: its own corner.
    EXPECT_EQ(corners(placePicture(1280, 960, fullHd, 2)), corners({0, 0, 1280, 960}));
    EXPECT_EQ(corners(placePicture(640, 480, fullHd, 1)), corners({0, 0, 640, 480}));
}

}  // namespace
}  // namespace vexlorn
