// The player's file opened once and judged by what was opened: each refusal names its cause,
// and nothing under the name can stall the game.
#include "platform/files/open_regular.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <vector>

#include "test_support/other_user.h"
#include "test_support/temp_dir.h"

namespace vexlorn {
namespace {

TEST(OpenRegularFile, RefusalsNameTheirCause) {
    TempDir dir;
    const std::string file = dir.path() + "/round.vxr";
    std::ofstream(file, std::ios::binary) << "12345";
    std::vector<uint8_t> bytes;
    EXPECT_EQ(readWholeRegularFile(file.c_str(), 5, bytes), FileRefusal::None);
    EXPECT_EQ(bytes, (std::vector<uint8_t>{'1', '2', '3', '4', '5'}));
    EXPECT_EQ(readWholeRegularFile(file.c_str(), 4, bytes), FileRefusal::TooLarge);
    EXPECT_TRUE(bytes.empty());

    EXPECT_EQ(readWholeRegularFile((dir.path() + "/none.vxr").c_str(), 9, bytes),
              FileRefusal::Missing);
    EXPECT_EQ(readWholeRegularFile((file + "/below").c_str(), 9, bytes), FileRefusal::Missing);
    EXPECT_EQ(readWholeRegularFile(dir.path().c_str(), 9, bytes), FileRefusal::NotAFile);

    const std::string a = dir.path() + "/a.vxr";
    const std::string b = dir.path() + "/b.vxr";
    ASSERT_EQ(::symlink(b.c_str(), a.c_str()), 0);
    ASSERT_EQ(::symlink(a.c_str(), b.c_str()), 0);
    EXPECT_EQ(readWholeRegularFile(a.c_str(), 9, bytes), FileRefusal::LinkLoop);

    // A pipe with no writer: opening it must not wait for one.
    const std::string fifo = dir.path() + "/fifo.vxr";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(readWholeRegularFile(fifo.c_str(), 9, bytes), FileRefusal::NotAFile);
    EXPECT_EQ(readWholeRegularFile("/dev/null", 9, bytes), FileRefusal::NotAFile);

    // Another user, whom the file's permissions keep out.
    ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
    ASSERT_EQ(::chmod(file.c_str(), 0600), 0);
    int answer[2];
    ASSERT_EQ(::pipe(answer), 0);
    const bool ran = runAsOtherUser([&] {
        std::vector<uint8_t> theirs;
        const auto refusal = static_cast<char>(readWholeRegularFile(file.c_str(), 9, theirs));
        (void)!::write(answer[1], &refusal, 1);
    });
    ::close(answer[1]);
    char refusal = -1;
    const bool answered = ::read(answer[0], &refusal, 1) == 1;
    ::close(answer[0]);
    if (!ran || !answered) GTEST_SKIP() << "no other user to run as";
    EXPECT_EQ(static_cast<FileRefusal>(refusal), FileRefusal::NotAllowed);
}

}  // namespace
}  // namespace vexlorn
