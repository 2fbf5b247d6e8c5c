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

TEST(StickTest, PushedPastAThirdLetGoInsideAQuarter) {
    EXPECT_EQ(stickAxisDirection(0, stickPushAt - 1), 0);
    EXPECT_EQ(stickAxisDirection(0, stickPushAt), 1);
    EXPECT_EQ(stickAxisDirection(0, -32768), -1);
    EXPECT_EQ(stickAxisDirection(1, stickReleaseAt + 1), 1);  // between the two: stays
    EXPECT_EQ(stickAxisDirection(1, stickReleaseAt), 0);
    EXPECT_EQ(stickAxisDirection(0, -stickReleaseAt - 1), 0);  // but not from rest
    EXPECT_EQ(stickAxisDirection(-1, 32767), 1);               // straight across
}

class PadsTest : public ::testing::Test {
protected:
    void TearDown() override { stopPads(); }
    // Plugged in and opened, as the game's next poll opens it.
    static int plug() {
        const int pad = plugVirtualPad();
        pollPads();
        return pad;
    }
};

TEST_F(PadsTest, PadsComeAndGoAndWhatTheyHeldGoesWithThem) {
    ASSERT_TRUE(startPads(""));
    const int first = plug();
    const int second = plug();
    EXPECT_EQ(openPadCount(), 2);
    setVirtualPadAxis(first, "lefty", -20000);
    setVirtualPadAxis(first, "rightx", 32767);  // only the left stick steers
    setVirtualPadButton(second, "dpup", true);
    setVirtualPadButton(second, "start", true);
    PadInput input = pollPads();
    EXPECT_EQ(input.pressed, padBit(PadUp) | padBit(PadStart));
    EXPECT_EQ(input.held, padBit(PadUp) | padBit(PadStart));

    unplugVirtualPad(second);
    input = pollPads();
    EXPECT_EQ(input.removed, 1);
    EXPECT_EQ(input.pressed, 0u);
    EXPECT_EQ(input.held, padBit(PadUp));  // still pushed on the first
    EXPECT_EQ(openPadCount(), 1);
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

    // SDL takes time that grows with the square of the lines: a larger file is skipped whole,
    // its good line too.
    const std::string large = dir.path() + "/large.txt";
    std::ofstream(large) << guid << ",Odd pad,a:b3,platform:Linux,\n"
                         << std::string(2 << 20, '#') << "\n";
    ASSERT_TRUE(startPads(large));
    EXPECT_FALSE(padMappingKnown(guid));
    stopPads();
    EXPECT_TRUE(mappingFileFits(std::string(maxMappingFileBytes, '#')));
    EXPECT_FALSE(mappingFileFits(std::string(maxMappingFileBytes + 1, '#')));
    std::string lines;
    for (int line = 0; line < maxMappingFileLines; ++line) lines += "#\n";
    EXPECT_TRUE(mappingFileFits(lines));
    EXPECT_FALSE(mappingFileFits(lines + "#"));

    const std::string garbage = dir.path() + "/garbage.txt";
    std::ofstream(garbage) << "030000,Cut off,a:b\n\x01\xff\xfe,,platform:\n"
                           << std::string(3, '\0');
    const std::string fifo = dir.path() + "/fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    // Read, the FIFO would block the start for good.
    for (const std::string& file : {garbage, fifo, dir.path(), dir.path() + "/missing"}) {
        ASSERT_TRUE(startPads(file)) << file;
        const int pad = plug();
        setVirtualPadButton(pad, "a", true);
        EXPECT_EQ(pollPads().pressed, padBit(PadA)) << file;
        stopPads();
    }
}

}  // namespace
}  // namespace vexlorn
