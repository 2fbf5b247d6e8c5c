// The command-line options.
#include "frame/options.h"

#include <gtest/gtest.h>

namespace vexlorn {
namespace {

Options parse(std::initializer_list<const char*> args) {
    std::vector<const char*> argv{"vexlorn"};
    argv.insert(argv.end(), args.begin(), args.end());
    return parseOptions(static_cast<int>(argv.size()), argv.data());
}

TEST(OptionsTest, NoArgumentsMeansFullScreenNoFpsNoCheat) {
    Options options = parse({});
    EXPECT_FALSE(options.windowed);
    EXPECT_FALSE(options.showFps);
    EXPECT_FALSE(options.cheat);
}

TEST(OptionsTest, WholeArgumentsWithoutRegardToCase) {
    Options options = parse({"-WINDOW", "-Fps", "-cheat", "-cheat", "-XDG-Data", "-Versus"});
    EXPECT_TRUE(options.versus);
    EXPECT_TRUE(options.windowed);
    EXPECT_TRUE(options.showFps);
    EXPECT_TRUE(options.cheat);
    EXPECT_TRUE(options.dataHome);
    // The Start-menu shortcut's name for it.
    EXPECT_TRUE(parse({"-User-Data"}).dataHome);
}

TEST(OptionsTest, PrefixesAndVariantsAreIgnored) {
    Options options = parse({"-windowed", "-fps=1", "window", "--cheat", "-che", "-xdg", "-vs",
                             "--versus", "-user", "user-data"});
    EXPECT_FALSE(options.versus);
    EXPECT_FALSE(options.windowed);
    EXPECT_FALSE(options.showFps);
    EXPECT_FALSE(options.cheat);
    EXPECT_FALSE(options.dataHome);
}

TEST(OptionsTest, ScaleTakesAWholeNumberFromOneToEight) {
    EXPECT_EQ(parse({}).scale, 0);
    EXPECT_EQ(parse({"-scale", "1"}).scale, 1);
    EXPECT_EQ(parse({"-SCALE", "3", "-window"}).scale, 3);
    EXPECT_TRUE(parse({"-SCALE", "3", "-window"}).windowed);
    EXPECT_EQ(parse({"-scale", "8"}).scale, 8);
    // Missing or malformed: "-scale" is ignored, and what follows counts as itself.
    for (const char* bad : {"0", "9", "x", "", "2.5", "-3", "12"}) {
        EXPECT_EQ(parse({"-scale", bad}).scale, 0) << bad;
    }
    EXPECT_EQ(parse({"-scale"}).scale, 0);
    Options options = parse({"-scale", "-window", "2"});
    EXPECT_EQ(options.scale, 0);
    EXPECT_TRUE(options.windowed);
    EXPECT_EQ(parse({"-scale=2", "-scale2"}).scale, 0);
}

// The file after "-replay" is taken as it is, even one named like an option.
TEST(OptionsTest, ReplayTakesTheNextArgumentAsItsFile) {
    EXPECT_EQ(parse({}).replay, nullptr);
    EXPECT_EQ(parse({"-replay"}).replay, nullptr);
    EXPECT_TRUE(parse({"-window", "-replay"}).replayWithoutFile);
    EXPECT_TRUE(parse({"-replay", ""}).replayWithoutFile);
    EXPECT_FALSE(parse({"-replay", "x.vxr"}).replayWithoutFile);
    EXPECT_FALSE(parse({}).replayWithoutFile);
    EXPECT_STREQ(parse({"-window", "-REPLAY", "a round.vxr"}).replay, "a round.vxr");
    Options options = parse({"-replay", "-window"});
    EXPECT_STREQ(options.replay, "-window");
    EXPECT_FALSE(options.windowed);
}

TEST(OptionsTest, HostTakesAnOptionalPortAndJoinItsAddress) {
    Options options = parse({"-host"});
    EXPECT_TRUE(options.host);
    EXPECT_EQ(options.hostPort, 27850);
    options = parse({"-Host", "31000", "-window"});
    EXPECT_EQ(options.hostPort, 31000);
    EXPECT_TRUE(options.windowed);
    // Not a port: the next argument is one of its own.
    options = parse({"-host", "-window"});
    EXPECT_EQ(options.hostPort, 27850);
    EXPECT_TRUE(options.windowed);
    EXPECT_EQ(parse({"-host", "70000"}).hostPort, 27850);
    EXPECT_EQ(parse({"-host", "0"}).hostPort, 27850);
    EXPECT_STREQ(parse({"-join", "[::1]:27851"}).join, "[::1]:27851");
    EXPECT_EQ(parse({"-join"}).join, nullptr);
}

}  // namespace
}  // namespace vexlorn
