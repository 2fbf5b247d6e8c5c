// The three command-line options.
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
    Options options = parse({"-WINDOW", "-Fps", "-cheat", "-cheat"});
    EXPECT_TRUE(options.windowed);
    EXPECT_TRUE(options.showFps);
    EXPECT_TRUE(options.cheat);
}

TEST(OptionsTest, PrefixesAndVariantsAreIgnored) {
    Options options = parse({"-windowed", "-fps=1", "window", "--cheat", "-che"});
    EXPECT_FALSE(options.windowed);
    EXPECT_FALSE(options.showFps);
    EXPECT_FALSE(options.cheat);
}

}  // namespace
}  // namespace vexlorn
