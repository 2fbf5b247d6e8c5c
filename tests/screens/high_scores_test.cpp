// The hall-of-fame table: insertion and the 160-byte file.
#include "screens/high_scores.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "test_support/other_user.h"
#include "test_support/temp_dir.h"

namespace vexlorn {
namespace {

class HighScoresTest : public ::testing::Test {
protected:
    void SetUp() override { resetHighScores(); }
    void TearDown() override { resetHighScores(); }
};

TEST_F(HighScoresTest, BuiltInRows) {
    EXPECT_EQ(highScoreTable[0].level, 50);
    EXPECT_STREQ(highScoreTable[0].name, "KBX");
    EXPECT_EQ(highScoreTable[0].score, 1000);
    EXPECT_STREQ(highScoreTable[1].name, "JLV");
    EXPECT_STREQ(highScoreTable[2].name, "DMF");
    EXPECT_EQ(highScoreTable[9].score, 10);
    EXPECT_EQ(highScoreTable[9].level, 1);
}

TEST_F(HighScoresTest, QualifiesOnlyAboveTheLastRow) {
    EXPECT_FALSE(qualifies(10));
    EXPECT_TRUE(qualifies(11));
}

TEST_F(HighScoresTest, InsertAtBottomDropsTheOldLastRow) {
    insertEntry(0, "abc", 11);
    EXPECT_EQ(highScoreTable[9].score, 11);
    EXPECT_EQ(highScoreTable[9].level, 1);
    EXPECT_STREQ(highScoreTable[9].name, "abc");
    EXPECT_EQ(highScoreTable[8].score, 25);
}

TEST_F(HighScoresTest, EqualScoreGoesAboveTheOlderRow) {
    insertEntry(2, "new", 500);
    EXPECT_STREQ(highScoreTable[2].name, "new");
    EXPECT_EQ(highScoreTable[2].level, 3);
    EXPECT_STREQ(highScoreTable[3].name, "DMF");
    EXPECT_EQ(highScoreTable[3].score, 500);
    EXPECT_EQ(highScoreTable[4].score, 250);
}

TEST_F(HighScoresTest, InsertAtTopMovesEveryRowDownWithoutDuplicates) {
    insertEntry(4, "top", 5000);
    const int32_t expected[] = {5000, 1000, 750, 500, 250, 200, 150, 100, 50, 25};
    for (int row = 0; row < highScoreRows; ++row)
        EXPECT_EQ(highScoreTable[row].score, expected[row]);
    EXPECT_EQ(highScoreTable[0].level, 5);
}

TEST_F(HighScoresTest, EmptyAndLongNamesStayTerminatedInTheirField) {
    insertEntry(0, "", 2000);
    EXPECT_STREQ(highScoreTable[0].name, "");
    insertEntry(0, "abcdefghijklmnop", 3000);
    EXPECT_STREQ(highScoreTable[0].name, "abcdefghi");
}

class HighScoreFileTest : public HighScoresTest {
protected:
    // Written out, not the game's constant: players' files have this name, and a renamed
    // constant would otherwise carry every test along with it.
    static constexpr const char* fileName = "vexlorn.hi";

    void SetUp() override {
        HighScoresTest::SetUp();
        dir = std::make_unique<TempDir>();
        dir->enter();
    }
    void TearDown() override {
        dir.reset();
        HighScoresTest::TearDown();
    }
    void writeFile(const std::vector<unsigned char>& bytes) {
        std::ofstream(fileName, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
    std::vector<unsigned char> readFile() {
        std::ifstream in(fileName, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    std::unique_ptr<TempDir> dir;
};

TEST_F(HighScoreFileTest, RoundTripIsByteExactLittleEndian) {
    insertEntry(3, "zed", 123456);
    saveHighScores();
    std::vector<unsigned char> bytes = readFile();
    ASSERT_EQ(bytes.size(), 160u);
    EXPECT_EQ(bytes[0], 4);
    EXPECT_EQ(bytes[1], 0);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[2])), "zed");
    EXPECT_EQ(bytes[12], 123456 & 0xFF);
    EXPECT_EQ(bytes[13], (123456 >> 8) & 0xFF);
    EXPECT_EQ(bytes[14], (123456 >> 16) & 0xFF);
    HighScoreEntry saved[highScoreRows];
    std::memcpy(saved, highScoreTable, sizeof saved);
    resetHighScores();
    loadHighScores();
    EXPECT_EQ(std::memcmp(saved, highScoreTable, sizeof saved), 0);
}

TEST_F(HighScoreFileTest, MissingFileKeepsBuiltInTable) {
    loadHighScores();
    EXPECT_EQ(highScoreTable[0].score, 1000);
}

TEST_F(HighScoreFileTest, ShortFileReplacesOnlyItsLeadingBytes) {
    std::vector<unsigned char> bytes(100, 0);
    bytes[0] = 7;
    bytes[2] = 'q';
    bytes[96] = 42;  // row 7's level, low byte
    writeFile(bytes);
    loadHighScores();
    EXPECT_EQ(highScoreTable[0].level, 7);
    EXPECT_STREQ(highScoreTable[0].name, "q");
    EXPECT_EQ(highScoreTable[0].score, 0);
    EXPECT_EQ(highScoreTable[6].level, 42);
    // Row 7 spans bytes 96..111: its score (108..111) is past the file and stays built in.
    EXPECT_EQ(highScoreTable[6].score, 100);
    EXPECT_EQ(highScoreTable[7].score, 50);
}

TEST_F(HighScoreFileTest, LongFileContributesOnlyItsFirst160Bytes) {
    std::vector<unsigned char> bytes(400, 0x11);
    for (int row = 0; row < highScoreRows; ++row) bytes[row * 16 + 11] = 0;
    writeFile(bytes);
    loadHighScores();
    EXPECT_EQ(highScoreTable[9].score, 0x11111111);
    EXPECT_EQ(highScoreTable[9].level, 0x1111);
}

TEST_F(HighScoreFileTest, NameWithoutNulIsCutToNineCharacters) {
    std::vector<unsigned char> bytes(160, 'x');
    writeFile(bytes);
    loadHighScores();
    for (const HighScoreEntry& entry : highScoreTable) EXPECT_EQ(std::strlen(entry.name), 9u);
}

// A shared games folder, or a profile folder the player may not add files to: no temporary
// can be made there, but the file itself takes the new table.
TEST_F(HighScoreFileTest, ReadOnlyDirectoryGetsTheTableWrittenInPlace) {
    std::vector<unsigned char> old(200, 0);
    old[12] = 99;
    writeFile(old);
    ::chmod(fileName, 0666);
    ::chmod(".", 0555);
    const bool ran = runAsOtherUser([] {
        loadHighScores();
        insertEntry(0, "new", 9999);
        saveHighScores();
    });
    ::chmod(".", 0755);
    if (!ran) GTEST_SKIP() << "no user other than root to save as";
    std::vector<unsigned char> bytes = readFile();
    ASSERT_EQ(bytes.size(), 160u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[2])), "new");
    EXPECT_EQ(bytes[16 + 12], 99);  // the old first row, one place down
    EXPECT_EQ(dir->count(), 1);
}

// A player who keeps the file in a synced folder links to it from here.
TEST_F(HighScoreFileTest, LinkIsFollowedToItsFileAndStaysALink) {
    ASSERT_EQ(::mkdir("synced", 0755), 0);
    std::ofstream("synced/scores", std::ios::binary) << std::string(160, '\0');
    ASSERT_EQ(::symlink("synced/scores", fileName), 0);
    loadHighScores();
    insertEntry(0, "abc", 777);
    saveHighScores();
    char target[64] = {};
    ASSERT_GT(::readlink(fileName, target, sizeof target - 1), 0);
    EXPECT_STREQ(target, "synced/scores");
    std::vector<unsigned char> bytes = readFile();
    ASSERT_EQ(bytes.size(), 160u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[2])), "abc");
    EXPECT_EQ(dir->count(), 2);
    EXPECT_EQ(TempDir::countIn(dir->path() + "/synced"), 1);

    // A link to a file not made yet: the file is made where it points, as a plain write would.
    ASSERT_EQ(::unlink(fileName), 0);
    ASSERT_EQ(::symlink("later", "synced/link"), 0);
    ASSERT_EQ(::symlink("synced/link", fileName), 0);
    saveHighScores();
    struct stat info {};
    ASSERT_EQ(::lstat("synced/later", &info), 0);
    EXPECT_TRUE(S_ISREG(info.st_mode));
    EXPECT_EQ(info.st_size, 160);
    ASSERT_EQ(::lstat(fileName, &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
}

TEST_F(HighScoreFileTest, ReplacedFileKeepsItsModeAndOwner) {
    writeFile(std::vector<unsigned char>(160, 0));
    ::chmod(fileName, 0640);
    // Only root may give a file away; saved by root, a player's file stays the player's.
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(fileName, nobodyId, nobodyId), 0);
    }
    struct stat before {};
    ASSERT_EQ(::stat(fileName, &before), 0);
    const mode_t mask = ::umask(022);
    insertEntry(0, "abc", 777);
    saveHighScores();
    ::umask(mask);
    struct stat after {};
    ASSERT_EQ(::stat(fileName, &after), 0);
    EXPECT_NE(after.st_ino, before.st_ino) << "written in place, not replaced";
    EXPECT_EQ(after.st_mode & 07777, 0640u);
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(after.st_gid, before.st_gid);
}

// The game left open in one window and started again from another: both save at exit.
TEST_F(HighScoreFileTest, AnotherCopysEntriesSurviveThisCopysSave) {
    insertEntry(2, "you", 700);
    insertEntry(0, "tie", 600);
    unsigned char other[highScoreFileSize];
    encodeHighScores(other);

    resetHighScores();
    loadHighScores();  // no file yet
    insertEntry(1, "me", 600);
    insertEntry(3, "top", 2000);
    writeFile(std::vector<unsigned char>(other, other + sizeof other));
    saveHighScores();

    resetHighScores();
    loadHighScores();
    const char* const names[] = {"top", "KBX", "JLV", "you", "me",
                                 "tie", "DMF", "KBX", "KBX", "KBX"};
    const int32_t scores[] = {2000, 1000, 750, 700, 600, 600, 500, 250, 200, 150};
    for (int row = 0; row < highScoreRows; ++row) {
        EXPECT_STREQ(highScoreTable[row].name, names[row]) << row;
        EXPECT_EQ(highScoreTable[row].score, scores[row]) << row;
    }
    EXPECT_EQ(highScoreTable[4].level, 2);
}

TEST_F(HighScoreFileTest, SavingReplacesTheOldFileAndLeavesNoTemporary) {
    writeFile(std::vector<unsigned char>(37, 1));
    saveHighScores();
    EXPECT_EQ(readFile().size(), 160u);
    EXPECT_EQ(dir->count(), 1);
}

}  // namespace
}  // namespace vexlorn
