// The desktop launch's directory: where it is, and the old hall of fame carried into it (the
// real program's launches are in tests/window/test_install.py).
#include "platform/files/data_home.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>

#include "test_support/other_user.h"
#include "test_support/temp_dir.h"

namespace vexlorn {
namespace {

std::string contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return in ? text.str() : "<missing>";
}

TEST(DataHomeTest, XdgDataHomeWhenAbsoluteElseUnderHome) {
    EXPECT_EQ(dataHomeDirectory("/x/data", "/home/p"), "/x/data/vexlorn");
    for (const char* ignored : {static_cast<const char*>(nullptr), "", "relative/data"}) {
        EXPECT_EQ(dataHomeDirectory(ignored, "/home/p"), "/home/p/.local/share/vexlorn");
    }
    EXPECT_EQ(dataHomeDirectory("", "home"), "");
}

TEST(DataHomeTest, OldFileOnAnotherFileSystemIsCopiedWholeThenRemoved) {
    struct stat tmp, shm;
    if (stat("/tmp", &tmp) != 0 || stat("/dev/shm", &shm) != 0 || tmp.st_dev == shm.st_dev) {
        GTEST_SKIP() << "needs /dev/shm on another file system than /tmp";
    }
    char started[4096];
    ASSERT_NE(getcwd(started, sizeof started), nullptr);
    char oldDir[] = "/dev/shm/vexlorn-test-XXXXXX";
    ASSERT_NE(mkdtemp(oldDir), nullptr);
    std::string old = std::string(oldDir) + "/vexlorn.hi";
    std::string table(160, '\x7f');
    std::ofstream(old, std::ios::binary) << table;
    TempDir home;
    const std::string target = home.path() + "/vexlorn/vexlorn.hi";
    // A copy cut short (here killed at a file-size limit) leaves no target behind, which would
    // stop every later move.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        struct rlimit small = {100, 100};
        setrlimit(RLIMIT_FSIZE, &small);
        enterDataHome(home.path() + "/vexlorn", old);
        _exit(0);
    }
    ASSERT_EQ(waitpid(child, nullptr, 0), child);
    EXPECT_EQ(contents(target), "<missing>");
    EXPECT_EQ(contents(old), table);

    EXPECT_TRUE(enterDataHome(home.path() + "/vexlorn", old));
    EXPECT_EQ(contents(target), table);
    EXPECT_EQ(contents(old), "<missing>");
    ASSERT_EQ(chdir(started), 0);
    rmdir(oldDir);
}

TEST(DataHomeTest, OnlyASmallRegularFileIsMoved) {
    TempDir home;
    const std::string old = home.path() + "/vexlorn.hi";
    const std::string target = home.path() + "/data/vexlorn.hi";
    std::ofstream(old, std::ios::binary) << std::string(64 * 1024 + 1, 'x');
    char started[4096];
    ASSERT_NE(getcwd(started, sizeof started), nullptr);
    EXPECT_TRUE(enterDataHome(home.path() + "/data", old));
    EXPECT_EQ(contents(target), "<missing>");
    EXPECT_EQ(contents(old).size(), 64u * 1024 + 1);
    ASSERT_EQ(truncate(old.c_str(), 64 * 1024), 0);
    EXPECT_TRUE(enterDataHome(home.path() + "/data", old));
    EXPECT_EQ(contents(target).size(), 64u * 1024);
    ASSERT_EQ(chdir(started), 0);
}

TEST(DataHomeTest, UnenterableDirectoryLeavesTheGameWhereItStartedAndTheFileAlone) {
    TempDir home;
    std::string old = home.path() + "/vexlorn.hi";
    std::ofstream(old) << "kept";
    EXPECT_FALSE(enterDataHome(old + "/vexlorn", old));
    EXPECT_FALSE(enterDataHome("", old));
    EXPECT_EQ(contents(old), "kept");
}

// XDG_DATA_HOME in a folder others may write to, where a neighbour made the game's folder (or a
// link to one of theirs) first: the game stays where it started, and its hall of fame with it.
TEST(DataHomeTest, ANeighboursFolderOrLinkInASharedFolderIsNotEntered) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as the player and a neighbour";
    constexpr uid_t neighbour = 12346;
    TempDir base;
    ASSERT_EQ(::chmod(base.path().c_str(), 01777), 0);
    const std::string data = base.path() + "/vexlorn";
    const std::string theirs = base.path() + "/theirs";
    ASSERT_EQ(::mkdir(theirs.c_str(), 0777), 0);
    ASSERT_EQ(::chmod(theirs.c_str(), 0777), 0);
    ASSERT_EQ(::chown(theirs.c_str(), neighbour, neighbour), 0);
    for (bool link : {false, true}) {
        if (link) {
            ASSERT_EQ(::rmdir(data.c_str()), 0);
            ASSERT_EQ(::symlink(theirs.c_str(), data.c_str()), 0);
        } else {
            ASSERT_EQ(::mkdir(data.c_str(), 0777), 0);
            ASSERT_EQ(::chmod(data.c_str(), 0777), 0);
        }
        ASSERT_EQ(::lchown(data.c_str(), neighbour, neighbour), 0);
        // Entered, the player's hall of fame would be written there.
        ASSERT_TRUE(runAsOtherUser([&data] {
            if (enterDataHome(data, "")) std::ofstream("entered") << "";
        }));
        EXPECT_EQ(::access((data + "/entered").c_str(), F_OK), -1) << (link ? "link" : "folder");
    }
    // The player's own is entered.
    ASSERT_EQ(::unlink(data.c_str()), 0);
    ASSERT_TRUE(runAsOtherUser([&data] {
        if (enterDataHome(data, "")) std::ofstream("entered") << "";
    }));
    EXPECT_EQ(::access((data + "/entered").c_str(), F_OK), 0);
}

}  // namespace
}  // namespace vexlorn
