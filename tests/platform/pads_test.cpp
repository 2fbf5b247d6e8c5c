// Pads through SDL's virtual joysticks: the stick's dead zone, pads coming and going, and
// mapping files good and bad.
#include "platform/input/pads.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <string>

#include "platform/input/virtual_pad.h"
#include "test_support/temp_dir.h"

namespace vexlorn {
namespace {

class PadsTest : public ::testing::Test {
protected:
    void TearDown() override { stopPads(); }

    // Plugged in and opened, as the game's next poll opens it.
    static int plug() {
        const int pad = plugVirtualPad();
        pollPads();
        return pad;
    }
    static PadInput stick(int pad, const char* axis, int value) {
        setVirtualPadAxis(pad, axis, value);
        return pollPads();
    }
};

TEST(StickTest, PushedPastAThirdLetGoInsideAQuarter) {
    EXPECT_EQ(stickAxisDirection(0, stickPushAt - 1), 0);
    EXPECT_EQ(stickAxisDirection(0, stickPushAt), 1);
    EXPECT_EQ(stickAxisDirection(0, -32768), -1);
    EXPECT_EQ(stickAxisDirection(1, stickReleaseAt + 1), 1);  // between the two: stays
    EXPECT_EQ(stickAxisDirection(1, stickReleaseAt), 0);
    EXPECT_EQ(stickAxisDirection(-1, -stickReleaseAt - 1), -1);
    EXPECT_EQ(stickAxisDirection(0, -stickReleaseAt - 1), 0);  // but not from rest
    EXPECT_EQ(stickAxisDirection(-1, 32767), 1);               // straight across
}

TEST_F(PadsTest, StickAndDpadGiveDirectionsOnlyOnTheLeftStick) {
    ASSERT_TRUE(startPads(""));
    const int pad = plug();
    PadInput input = stick(pad, "lefty", -12000);
    EXPECT_EQ(input.pressed, padBit(PadUp));
    EXPECT_EQ(stick(pad, "lefty", -9000).held, padBit(PadUp));
    EXPECT_EQ(stick(pad, "lefty", -7000).held, 0u);
    EXPECT_EQ(stick(pad, "leftx", 20000).held, padBit(PadRight));
    EXPECT_EQ(stick(pad, "rightx", -32768).held, padBit(PadRight));
    EXPECT_EQ(stick(pad, "righttrigger", 32767).held, padBit(PadRight));
    // The D-pad pressed too: letting go of one leaves the direction held.
    setVirtualPadButton(pad, "dpright", true);
    EXPECT_EQ(pollPads().pressed, 0u);
    EXPECT_EQ(stick(pad, "leftx", 0).held, padBit(PadRight));
}

TEST_F(PadsTest, PadsPluggedInAndPulledOutWhileRunning) {
    ASSERT_TRUE(startPads(""));
    EXPECT_EQ(openPadCount(), 0);
    const int first = plug();
    const int second = plug();
    EXPECT_EQ(openPadCount(), 2);
    setVirtualPadButton(second, "a", true);
    setVirtualPadButton(first, "start", true);
    EXPECT_EQ(pollPads().held, padBit(PadA) | padBit(PadStart));

    unplugVirtualPad(second);
    PadInput input = pollPads();
    EXPECT_EQ(input.removed, 1);
    EXPECT_EQ(input.held, padBit(PadStart));  // what it held goes with it
    EXPECT_EQ(openPadCount(), 1);
    EXPECT_EQ(pollPads().removed, 0);
}

TEST_F(PadsTest, MappingFileLoadedFromItsPlaceAndSkippedWhenDamaged) {
    EXPECT_EQ(padMappingPath("/x/conf", "/home/u"), "/x/conf/vexlorn/gamecontrollerdb.txt");
    EXPECT_EQ(padMappingPath("", "/home/u"), "/home/u/.config/vexlorn/gamecontrollerdb.txt");
    EXPECT_EQ(padMappingPath("relative", "/home/u"),
              "/home/u/.config/vexlorn/gamecontrollerdb.txt");
    EXPECT_EQ(padMappingPath(nullptr, nullptr), "");

    TempDir dir;
    const char guid[] = "03000000aaaa0000bbbb000000010000";  // a pad SDL knows nothing of
    const std::string good = dir.path() + "/good.txt";
    std::ofstream(good) << "# one pad\n" << guid << ",Odd pad,a:b3,b:b2,start:b0,platform:Linux,\n";
    ASSERT_TRUE(startPads(good));
    EXPECT_TRUE(padMappingKnown(guid));
    stopPads();

    const std::string garbage = dir.path() + "/garbage.txt";
    std::ofstream(garbage) << "030000,Cut off,a:b\n\x01\xff\xfe,,platform:\n"
                           << std::string(3, '\0');
    const std::string fifo = dir.path() + "/fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    // Read, the FIFO would block the start for good.
    for (const std::string& file : {garbage, fifo, dir.path(), dir.path() + "/missing"}) {
        ASSERT_TRUE(startPads(file)) << file;
        EXPECT_FALSE(padMappingKnown(guid));
        const int pad = plug();
        setVirtualPadButton(pad, "a", true);
        EXPECT_EQ(pollPads().pressed, padBit(PadA)) << file;
        stopPads();
    }
}

}  // namespace
}  // namespace vexlorn
