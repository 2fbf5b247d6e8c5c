// The hall-of-fame file under hostile conditions: the old file is never lost or damaged.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "screens/high_scores.h"
#include "test_support/other_user.h"
#include "test_support/temp_dir.h"

namespace vexlorn {
namespace {

class HallOfFameFaultsTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetHighScores();
        dir = std::make_unique<TempDir>();
        dir->enter();
        // A table unlike the built-in one, as a player's earlier games left it.
        for (int row = 0; row < highScoreRows; ++row) {
            old[row * 16] = static_cast<unsigned char>(row + 1);
            old[row * 16 + 2] = 'q';
            old[row * 16 + 12] = static_cast<unsigned char>(200 - row);
        }
    }
    void TearDown() override {
        dir.reset();
        resetHighScores();
    }

    void writeOld() {
        std::ofstream out(highScoreFileName, std::ios::binary);
        out.write(reinterpret_cast<const char*>(old.data()),
                  static_cast<std::streamsize>(old.size()));
    }
    std::vector<unsigned char> readBack() {
        std::ifstream in(highScoreFileName, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    std::unique_ptr<TempDir> dir;
    std::vector<unsigned char> old = std::vector<unsigned char>(160, 0);
};

TEST_F(HallOfFameFaultsTest, PipeInTheFilesPlaceNeitherBlocksNorIsReplaced) {
    ASSERT_EQ(::mkfifo(highScoreFileName, 0644), 0);
    const auto start = std::chrono::steady_clock::now();
    loadHighScores();  // a blocking open would wait here for a writer forever
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_EQ(highScoreTable[0].score, 1000);
    insertEntry(0, "new", 5000);
    saveHighScores();
    struct stat info {};
    ASSERT_EQ(::stat(highScoreFileName, &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    EXPECT_EQ(dir->count(), 1);
}

TEST_F(HallOfFameFaultsTest, DirectoryInTheFilesPlaceIsLeftAlone) {
    ASSERT_EQ(::mkdir(highScoreFileName, 0755), 0);
    loadHighScores();
    EXPECT_EQ(highScoreTable[0].score, 1000);
    saveHighScores();
    struct stat info {};
    ASSERT_EQ(::stat(highScoreFileName, &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    EXPECT_EQ(dir->count(), 1);
}

TEST_F(HallOfFameFaultsTest, FileWithoutPermissionsIsNotReplaced) {
    writeOld();
    ::chmod(".", 0777);  // the directory would take a temporary: the file itself says no
    for (mode_t mode : {0000, 0444, 0200}) {
        ::chmod(highScoreFileName, mode);
        const bool ran = runAsOtherUser([] {
            resetHighScores();
            loadHighScores();
            insertEntry(0, "new", 5000);
            saveHighScores();
        });
        if (!ran) GTEST_SKIP() << "no user other than root to save as";
        ::chmod(highScoreFileName, 0644);
        EXPECT_EQ(readBack(), old) << "mode " << std::oct << mode;
    }
    EXPECT_EQ(dir->count(), 1);
}

// Another copy of the game is in the middle of its save when this one starts its own: it
// holds the lock, on the file or, while there is none, on the lock file beside it. It then
// renames its table into place and lets go, as the save does. This copy must wait for it and
// merge with the table it wrote, not with the file it found or the one it first locked.
TEST_F(HallOfFameFaultsTest, SaveWaitsForAnotherCopysSaveAndMergesWithIt) {
    const std::string lockFile = std::string(highScoreFileName) + ".lock";
    for (bool fileExists : {true, false}) {
        SCOPED_TRACE(fileExists ? "lock on the file" : "lock file beside it");
        if (fileExists) writeOld();
        resetHighScores();
        loadHighScores();
        insertEntry(0, "oth", 5000);
        unsigned char other[highScoreFileSize];
        encodeHighScores(other);
        resetHighScores();
        loadHighScores();
        insertEntry(0, "me", 4000);

        const char* held = fileExists ? highScoreFileName : lockFile.c_str();
        const int fd = ::open(held, O_RDWR | O_CREAT, 0644);
        ASSERT_EQ(::flock(fd, LOCK_EX), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(fd);  // a lock belongs to the open file, which the child would keep locked
            saveHighScores();
            ::_exit(0);
        }
        // Long enough for a save that does not wait to be over; one that does waits longer.
        ::usleep(300 * 1000);
        std::ofstream("other.tmp", std::ios::binary)
            .write(reinterpret_cast<const char*>(other), sizeof other);
        ASSERT_EQ(::rename("other.tmp", highScoreFileName), 0);
        if (!fileExists) ::unlink(held);
        ::close(fd);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);

        resetHighScores();
        loadHighScores();
        EXPECT_STREQ(highScoreTable[0].name, "oth");
        EXPECT_STREQ(highScoreTable[1].name, "me");
        EXPECT_EQ(highScoreTable[1].score, 4000);
        EXPECT_EQ(dir->count(), 1);
        ::unlink(highScoreFileName);
    }
}

TEST_F(HallOfFameFaultsTest, FileSizeLimitLeavesTheOldFileAndDoesNotKill) {
    writeOld();
    for (rlim_t limit : {0, 100, 159}) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // As on a full disk: nothing or only part of the new file can be written.
            struct rlimit small = {limit, limit};
            ::setrlimit(RLIMIT_FSIZE, &small);
            loadHighScores();
            insertEntry(0, "new", 5000);
            saveHighScores();
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
            << "limit " << limit << ": the save ended the program (signal "
            << (WIFSIGNALED(status) ? WTERMSIG(status) : 0) << ")";
        EXPECT_EQ(readBack(), old) << "limit " << limit;
        EXPECT_EQ(dir->count(), 1) << "a temporary file was left behind";
    }
}

}  // namespace
}  // namespace vexlorn
