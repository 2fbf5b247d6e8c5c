// The hall-of-fame file under hostile conditions: the old file is never lost or damaged.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "platform/files/shared_file.h"
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
    std::vector<unsigned char> readBack(const std::string& path = highScoreFileName) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    void writeOldAt(const std::string& path, uid_t owner, mode_t mode) {
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(old.data()),
                   static_cast<std::streamsize>(old.size()));
        ASSERT_EQ(::chown(path.c_str(), owner, owner), 0);
        ASSERT_EQ(::chmod(path.c_str(), mode), 0);
    }
    // A finished game of the player's saved from `place`, as the player.
    static void saveAsPlayerIn(const std::string& place) {
        const bool ran = runAsOtherUser([&place] {
            if (::chdir(place.c_str()) != 0) ::_exit(1);
            resetHighScores();
            loadHighScores();
            insertEntry(0, "new", 5000);
            saveHighScores();
        });
        ASSERT_TRUE(ran);
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

// Users who are neither the player (nobody) nor root.
constexpr uid_t directoryOwner = 12345;
constexpr uid_t neighbour = 12346;

// A shared directory like /tmp, owned by someone else, where another user has planted a
// "vexlorn.hi" link to a file of the player's. A plain write would be refused by the kernel's
// protection of such links; the save must not write through it either, whatever the setting.
TEST_F(HallOfFameFaultsTest, LinkPlantedByAnotherUserInASharedDirectoryIsNotFollowed) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to plant files as other users";
    const std::string home = dir->path() + "/home";
    const std::string shared = dir->path() + "/shared";
    const std::string link = shared + "/vexlorn.hi";
    ASSERT_EQ(::chmod(dir->path().c_str(), 0755), 0);
    ASSERT_EQ(::mkdir(home.c_str(), 0755), 0);
    ASSERT_EQ(::chown(home.c_str(), nobodyId, nobodyId), 0);
    ASSERT_EQ(::mkdir(shared.c_str(), 0755), 0);
    ASSERT_EQ(::chmod(shared.c_str(), 01777), 0);
    ASSERT_EQ(::chown(shared.c_str(), directoryOwner, directoryOwner), 0);
    writeOldAt(home + "/scores", nobodyId, 0644);

    const auto plant = [&link](const std::string& target, uid_t owner) {
        ::unlink(link.c_str());
        ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
        ASSERT_EQ(::lchown(link.c_str(), owner, owner), 0);
    };
    plant(home + "/scores", neighbour);
    saveAsPlayerIn(shared);
    EXPECT_EQ(readBack(home + "/scores"), old) << "written through a neighbour's link";
    // Nor read through it, as the kernel's protection would not read it either.
    ASSERT_EQ(::chdir(shared.c_str()), 0);
    loadHighScores();
    EXPECT_EQ(highScoreTable[0].score, 1000);
    dir->enter();
    // Nor is a file made where a neighbour's dangling link points.
    plant(home + "/made", neighbour);
    saveAsPlayerIn(shared);
    EXPECT_EQ(::access((home + "/made").c_str(), F_OK), -1);
    EXPECT_EQ(TempDir::countIn(shared), 1);

    // The player's own link, and one of the directory's owner, are followed as before.
    for (uid_t owner : {static_cast<uid_t>(nobodyId), directoryOwner}) {
        plant(home + "/scores", owner);
        saveAsPlayerIn(shared);
        const std::vector<unsigned char> saved = readBack(home + "/scores");
        ASSERT_EQ(saved.size(), 160u) << "link of " << owner;
        EXPECT_STREQ(reinterpret_cast<const char*>(&saved[2]), "new") << "link of " << owner;
        writeOldAt(home + "/scores", nobodyId, 0644);
    }
}

// Without the sticky bit the kernel protects no link, and a neighbour may also put a file of
// their own in the player's way: in any directory others may write to, a neighbour's link is
// not followed and a neighbour's file is neither read nor written.
TEST_F(HallOfFameFaultsTest, NeighboursLinkOrFileInADirectoryOthersMayWriteToIsNotUsed) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to plant files as other users";
    const std::string home = dir->path() + "/home";
    const std::string shared = dir->path() + "/shared";
    const std::string name = shared + "/vexlorn.hi";
    ASSERT_EQ(::chmod(dir->path().c_str(), 0755), 0);
    ASSERT_EQ(::mkdir(home.c_str(), 0755), 0);
    ASSERT_EQ(::chown(home.c_str(), nobodyId, nobodyId), 0);
    ASSERT_EQ(::mkdir(shared.c_str(), 0755), 0);
    ASSERT_EQ(::chown(shared.c_str(), directoryOwner, directoryOwner), 0);
    for (mode_t mode : {0777, 0775}) {
        ASSERT_EQ(::chmod(shared.c_str(), mode), 0);
        if (mode == 0775) {
            ASSERT_EQ(::chown(shared.c_str(), directoryOwner, nobodyId), 0);
        }
        writeOldAt(home + "/scores", nobodyId, 0644);
        ::unlink(name.c_str());
        ASSERT_EQ(::symlink((home + "/scores").c_str(), name.c_str()), 0);
        ASSERT_EQ(::lchown(name.c_str(), neighbour, neighbour), 0);
        saveAsPlayerIn(shared);
        EXPECT_EQ(readBack(home + "/scores"), old) << "written through a neighbour's link";

        ::unlink(name.c_str());
        writeOldAt(name, neighbour, 0666);
        saveAsPlayerIn(shared);
        EXPECT_EQ(readBack(name), old) << "a neighbour's file taken for the hall of fame";
        struct stat after {};
        ASSERT_EQ(::stat(name.c_str(), &after), 0);
        EXPECT_EQ(after.st_uid, neighbour);
        ASSERT_EQ(::chdir(shared.c_str()), 0);
        resetHighScores();
        loadHighScores();
        EXPECT_EQ(highScoreTable[0].score, 1000) << "a neighbour's table read as the player's";
        dir->enter();
    }
}

// The kernel's files and the devices are regular files to fstat, and writable to root.
TEST_F(HallOfFameFaultsTest, LinkIntoProcOrDevIsNotWritten) {
    char name[64] = {};
    std::ifstream("/proc/self/comm").getline(name, sizeof name);
    ASSERT_EQ(::symlink("/proc/self/comm", highScoreFileName), 0);
    insertEntry(0, "new", 5000);
    saveHighScores();
    char after[64] = {};
    std::ifstream("/proc/self/comm").getline(after, sizeof after);
    EXPECT_STREQ(after, name);
    std::ofstream("/proc/self/comm") << name;
    ASSERT_EQ(::unlink(highScoreFileName), 0);

    const std::string device = "/dev/shm" + dir->path().substr(4);
    std::ofstream(device, std::ios::binary)
        .write(reinterpret_cast<const char*>(old.data()), static_cast<std::streamsize>(old.size()));
    if (::access(device.c_str(), F_OK) != 0) return;  // no /dev/shm here
    ASSERT_EQ(::symlink(device.c_str(), highScoreFileName), 0);
    saveHighScores();
    EXPECT_EQ(readBack(device), old);
    ::unlink(device.c_str());
}

// In a shared directory the player may write the directory owner's file but not replace it:
// the rename is refused, and the table goes over the old bytes as a plain write would put it.
TEST_F(HallOfFameFaultsTest, RefusedRenameSavesInPlace) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to give the file another owner";
    ASSERT_EQ(::chmod(".", 01777), 0);
    ASSERT_EQ(::chown(".", directoryOwner, directoryOwner), 0);
    writeOldAt(highScoreFileName, directoryOwner, 0666);
    struct stat before {};
    ASSERT_EQ(::stat(highScoreFileName, &before), 0);
    saveAsPlayerIn(dir->path());
    const std::vector<unsigned char> saved = readBack();
    ASSERT_EQ(saved.size(), 160u);
    EXPECT_STREQ(reinterpret_cast<const char*>(&saved[2]), "new");
    EXPECT_EQ(saved[16 + 12], old[12]) << "the old first row, one place down";
    struct stat after {};
    ASSERT_EQ(::stat(highScoreFileName, &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_uid, directoryOwner);
    EXPECT_EQ(dir->count(), 1);
}

bool lockHeldAlone = false;

// The other copy's part while this one's save stands still: it finds the lock held against
// every other copy, waits for it as long as it will, gives up, saves its own entry and ends.
void saveAsACopyThatGaveUpWaiting() {
    sharedFileSeams.beforeReplace = nullptr;
    const std::string lockFile = std::string(highScoreFileName) + ".lock";
    int fd = ::open(highScoreFileName, O_RDONLY);
    if (fd < 0) fd = ::open(lockFile.c_str(), O_RDONLY);
    lockHeldAlone = fd >= 0 && ::flock(fd, LOCK_SH | LOCK_NB) != 0;
    ::close(fd);
    const pid_t child = ::fork();
    if (child == 0) {
        resetHighScores();
        loadHighScores();
        insertEntry(0, "oth", 5000);
        saveHighScores();
        ::_exit(0);
    }
    ::waitpid(child, nullptr, 0);
}

// A save stalled past the lock's patience (a slow disk, a copy stopped with Ctrl+Z) must not
// then put back the table it read before, over the other copy's completed save.
TEST_F(HallOfFameFaultsTest, StalledSaveKeepsTheEntryOfACopyThatStoppedWaiting) {
    for (bool fileExists : {true, false}) {
        SCOPED_TRACE(fileExists ? "lock on the file" : "lock file beside it");
        if (fileExists) writeOld();
        resetHighScores();
        loadHighScores();
        insertEntry(0, "me", 4000);
        sharedFileSeams.lockPatienceMs = 50;
        sharedFileSeams.beforeReplace = saveAsACopyThatGaveUpWaiting;
        lockHeldAlone = false;
        saveHighScores();
        sharedFileSeams = SharedFileSeams{};
        EXPECT_TRUE(lockHeldAlone);

        resetHighScores();
        loadHighScores();
        EXPECT_STREQ(highScoreTable[0].name, "oth");
        EXPECT_STREQ(highScoreTable[1].name, "me");
        EXPECT_EQ(dir->count(), 1);
        ::unlink(highScoreFileName);
    }
}

void putAnotherCopysLockFile() {
    const std::string lockFile = std::string(highScoreFileName) + ".lock";
    ::unlink(lockFile.c_str());
    ::close(::open(lockFile.c_str(), O_RDWR | O_CREAT, 0644));
}

// A save removes the lock file it made, never one that took its place: that one is another
// copy's, which the next copy would otherwise not wait for.
TEST_F(HallOfFameFaultsTest, LockFileThatIsNotTheSavesOwnIsLeftInPlace) {
    sharedFileSeams.beforeReplace = putAnotherCopysLockFile;
    insertEntry(0, "new", 5000);
    saveHighScores();
    sharedFileSeams = SharedFileSeams{};
    EXPECT_EQ(::access("vexlorn.hi.lock", F_OK), 0);
    EXPECT_EQ(readBack().size(), 160u);
}

// Saves killed between making their temporary and renaming it leave it behind.
TEST_F(HallOfFameFaultsTest, OldTemporariesOfKilledSavesAreRemovedOthersKept) {
    const auto make = [](const char* name, int size, int ageSeconds) {
        std::ofstream(name, std::ios::binary) << std::string(size, 'x');
        struct timeval times[2] = {};
        ::gettimeofday(&times[0], nullptr);
        times[0].tv_sec -= ageSeconds;
        times[1] = times[0];
        ::utimes(name, times);
    };
    make("vexlorn.hi.Ab12Cd", 160, 120);  // a killed save's
    make("vexlorn.hi.Qx9zR0", 0, 120);    // killed before it wrote
    make("vexlorn.hi.Young1", 160, 5);    // perhaps another copy's, saving now
    make("vexlorn.hi.old", 160, 120);     // the player's own files
    make("vexlorn.hi.backup1", 160, 120);
    make("vexlorn.hi.Big123", 4096, 120);
    make("vexlorn.hi.Other1", 160, 120);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown("vexlorn.hi.Other1", neighbour, neighbour), 0);
    }
    insertEntry(0, "new", 5000);
    saveHighScores();
    for (const char* gone : {"vexlorn.hi.Ab12Cd", "vexlorn.hi.Qx9zR0"})
        EXPECT_NE(::access(gone, F_OK), 0) << gone;
    for (const char* kept :
         {"vexlorn.hi.Young1", "vexlorn.hi.old", "vexlorn.hi.backup1", "vexlorn.hi.Big123"})
        EXPECT_EQ(::access(kept, F_OK), 0) << kept;
    if (root) {
        EXPECT_EQ(::access("vexlorn.hi.Other1", F_OK), 0) << "another user's";
    }
    EXPECT_EQ(readBack().size(), 160u);
}

}  // namespace
}  // namespace vexlorn
