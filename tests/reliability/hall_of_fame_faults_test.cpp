// The hall-of-fame file under hostile conditions: the old file is never lost or damaged.
#include <gtest/gtest.h>
#include <signal.h>
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
    if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
    writeOld();
    for (mode_t mode : {0000, 0444, 0200}) {
        ::chmod(highScoreFileName, mode);
        resetHighScores();
        loadHighScores();
        insertEntry(0, "new", 5000);
        saveHighScores();
        ::chmod(highScoreFileName, 0644);
        EXPECT_EQ(readBack(), old) << "mode " << std::oct << mode;
    }
    EXPECT_EQ(dir->count(), 1);
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
