// Pads through SDL's virtual joysticks: the stick's dead zone, pads coming and going, and
// mapping files good and bad.
#include "platform/input/pads.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cctype>
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
    // Each pad on its own too, in the order they were opened.
    ASSERT_EQ(input.padCount, 2);
    EXPECT_EQ(input.each[0].pad, first);
    EXPECT_EQ(input.each[0].pressed, padBit(PadUp));
    EXPECT_EQ(input.each[1].pad, second);
    EXPECT_EQ(input.each[1].pressed, padBit(PadUp) | padBit(PadStart));

    unplugVirtualPad(second);
    input = pollPads();
    EXPECT_EQ(input.removed, 1);
    EXPECT_EQ(input.pressed, 0u);
    EXPECT_EQ(input.held, padBit(PadUp));  // still pushed on the first
    EXPECT_EQ(openPadCount(), 1);
    EXPECT_EQ(input.padCount, 1);
}

TEST_F(PadsTest, MappingFileLoadedFromItsPlaceAndSkippedWhenDamaged) {
    EXPECT_EQ(padMappingPath("/x/conf", "/home/u"), "/x/conf/vexlorn/gamecontrollerdb.txt");
    EXPECT_EQ(padMappingPath("", "/home/u"), "/home/u/.config/vexlorn/gamecontrollerdb.txt");
    EXPECT_EQ(padMappingPath("relative", "/home/u"),
              "/home/u/.config/vexlorn/gamecontrollerdb.txt");
    EXPECT_EQ(padMappingPath(nullptr, nullptr), "");

    // The GUID by which a mapping line names the virtual pad.
    ASSERT_TRUE(startPads(""));
    std::string guid = virtualPadGuid(plug());
    stopPads();
    ASSERT_EQ(guid.size(), 32u);
    // As mapping databases write it: without the CRC of the pad's name, and in capitals.
    guid.replace(4, 4, "0000");
    for (char& c : guid) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));

    TempDir dir;
    const auto write = [&dir](const char* name, const std::string& text) {
        const std::string path = dir.path() + "/" + name;
        std::ofstream(path) << text;
        return path;
    };
    const auto mappedAs = [&guid](const char* name) {
        return padMapping(guid.c_str()).find(name) != std::string::npos;
    };
    const std::string line = guid + ",Odd pad,a:b3,b:b2,start:b0,platform:Linux,\n";
    // SDL's time grows with the square of the lines it holds: it is given a line only when its
    // pad comes. A line for another system does not replace it.
    ASSERT_TRUE(startPads(
        write("good.txt", "# one pad\r\n" + line + guid + ",Other pad,a:b1,platform:Windows,\n")));
    EXPECT_FALSE(mappedAs("Odd pad"));
    plug();
    EXPECT_TRUE(mappedAs("Odd pad"));
    stopPads();

    // A larger file is skipped whole, its good line too.
    ASSERT_TRUE(startPads(write("large.txt", line + std::string(2 << 20, '#') + "\n")));
    plug();
    EXPECT_FALSE(mappedAs("Odd pad"));
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
