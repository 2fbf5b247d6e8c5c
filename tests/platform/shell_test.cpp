// Opening the link file through xdg-open: which file and address the opener receives, and what
// is left behind.
#include "platform/shell/shell.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "platform/shell/link_file.h"
#include "test_support/temp_dir.h"

namespace vexlorn {
namespace {

// Records what the opener saw, then renames the record into place so a reader never sees half.
const char recordingOpener[] = R"sh(#!/bin/sh
PATH=/usr/bin:/bin
record="$(dirname "$0")/record"
stdin=$(readlink /proc/$$/fd/0)
stdout=$(readlink /proc/$$/fd/1)
stderr=$(readlink /proc/$$/fd/2)
{
  echo "argc=$#"
  for arg in "$@"; do echo "arg=$arg"; done
  echo "stdin=$stdin"
  echo "stdout=$stdout"
  echo "stderr=$stderr"
  echo "session=$(cut -d' ' -f6 /proc/$$/stat)"
  echo "pid=$$"
  if [ -e /proc/$$/fd/57 ]; then echo "leaked=57"; fi
} > "$record.part"
mv "$record.part" "$record"
)sh";

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* path = std::getenv("PATH");
        savedPath_ = path ? path : "";
        setenv("PATH", dir_.path().c_str(), 1);
    }
    void TearDown() override { setenv("PATH", savedPath_.c_str(), 1); }

    void installOpener() {
        std::string opener = dir_.path() + "/xdg-open";
        std::ofstream(opener) << recordingOpener;
        chmod(opener.c_str(), 0755);
    }

    std::string waitForRecord() {
        std::string path = dir_.path() + "/record";
        for (int i = 0; i < 500; ++i) {
            std::ifstream in(path);
            if (in) {
                std::stringstream text;
                text << in.rdbuf();
                return text.str();
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return "";
    }

    static bool hasChildren() { return waitpid(-1, nullptr, WNOHANG) != -1 || errno != ECHILD; }

    TempDir dir_;
    std::string savedPath_;
};

TEST_F(ShellTest, OpenerGetsExactlyTheFileDetachedAndWithoutOurDescriptors) {
    installOpener();
    // A descriptor the game holds open, as it does its X connection and sound device.
    int held = open("/dev/null", O_RDONLY);
    ASSERT_GE(held, 0);
    ASSERT_EQ(dup2(held, 57), 57);

    EXPECT_TRUE(openWithDesktop("vexlorn.url"));
    std::string record = waitForRecord();
    close(57);
    close(held);

    ASSERT_FALSE(record.empty()) << "the opener never ran";
    EXPECT_NE(record.find("argc=1\narg=vexlorn.url\n"), std::string::npos) << record;
    EXPECT_NE(record.find("stdin=/dev/null\nstdout=/dev/null\nstderr=/dev/null\n"),
              std::string::npos)
        << record;
    EXPECT_EQ(record.find("leaked="), std::string::npos) << record;
    std::string pid = record.substr(record.find("pid=") + 4);
    pid = pid.substr(0, pid.find('\n'));
    EXPECT_NE(record.find("session=" + pid + "\n"), std::string::npos)
        << "the opener does not lead its own session:\n"
        << record;
    EXPECT_FALSE(hasChildren()) << "a child of the game is left behind";
}

TEST_F(ShellTest, MissingOpenerReportsFailureAndLeavesNoChild) {
    EXPECT_FALSE(openWithDesktop("vexlorn.url"));
    EXPECT_FALSE(hasChildren());
    EXPECT_EQ(dir_.count(), 0);
}

TEST(LinkFileTest, OnlyASaneWebAddressIsTakenFromTheShortcut) {
    const std::string good = "https://vexlorn.example.org/order?a=1";
    // As Windows writes them: a byte-order mark, CRLF, another section with its own URL line.
    EXPECT_EQ(
        shortcutUrl("\xEF\xBB\xBF[{000214A0-0000-0000-C000-000000000046}]\r\nURL=https://no/\r\n"
                    "[InternetShortcut]\r\nIDList=\r\nURL=" +
                    good + "\r\n"),
        good);
    EXPECT_EQ(shortcutUrl("URL=HTTP://Example.org"), "HTTP://Example.org");
    std::string longest = "http://a.org/" + std::string(maxLinkUrlLength - 13, 'x');
    EXPECT_EQ(shortcutUrl("[InternetShortcut]\nURL=" + longest + "\n"), longest);
    const std::string unusable[] = {"[InternetShortcut]\nIDList=\n",
                                    "URL=javascript:alert(1)",
                                    "URL=file:///etc/passwd",
                                    "URL=https://",
                                    "URL=https:///etc/passwd",
                                    "URL=ftp://a.org/",
                                    "URL=https://a.org/\tx",
                                    "URL=https://a.org/\x7f",
                                    "[Other]\nURL=https://a.org/",
                                    "URL=" + longest + "x",
                                    "URL=http://@",
                                    "URL=https://?x",
                                    "URL=http://user@/x",
                                    "URL=http://:80/",
                                    "URL=https://a.org/ x",
                                    "URL=https://a.org/\xc2\x85",
                                    "URL=https://a.org/\xe2\x80\xaetxt.exe"};
    for (const std::string& bad : unusable) {
        EXPECT_EQ(shortcutUrl(bad), "") << bad;
    }
    EXPECT_EQ(shortcutUrl(std::string("URL=https://a.org/\0x", 20)), "");
    EXPECT_EQ(shortcutUrl("URL=https://u:p@a.org:8080/x"), "https://u:p@a.org:8080/x");
    EXPECT_EQ(shortcutUrl("URL=http://[::1]:80/"), "http://[::1]:80/");
}

// The desktop's handler for a shortcut opens its URL= line itself, refused or not: a refused
// address hands nothing at all, and only a shortcut without any address is handed as a file.
TEST(LinkFileTest, WorkingDirectoryCopyComesFirstAndRefusedAddressesHandNothing) {
    TempDir installedDir;
    TempDir work;
    work.enter();
    std::string installed = installedDir.path() + "/vexlorn.url";
    EXPECT_EQ(findLinkFile("vexlorn.url", installed.c_str()), "") << "nothing to hand";
    std::ofstream(installed) << "[InternetShortcut]\nURL=https://installed.example.org/\n";
    EXPECT_EQ(findLinkFile("vexlorn.url", installed.c_str()), installed);
    EXPECT_EQ(linkTarget(installed), "https://installed.example.org/");

    std::ofstream("vexlorn.url") << "[InternetShortcut]\nURL=file:///etc/passwd\n";
    EXPECT_EQ(findLinkFile("vexlorn.url", installed.c_str()), "vexlorn.url");
    EXPECT_EQ(linkTarget("vexlorn.url"), "");
    ASSERT_EQ(std::remove(installed.c_str()), 0);
    EXPECT_EQ(findLinkFile("vexlorn.url", installed.c_str()), "vexlorn.url") << "only here";
    std::ofstream("plain.url") << "[InternetShortcut]\nIDList=\n";
    EXPECT_EQ(linkTarget("plain.url"), "plain.url");

    // Past the read limit a line may be cut, or one left unread: nothing is handed.
    std::ofstream("padded.url") << std::string(64 * 1024 - 20, '\n') << "URL=https://a.org/"
                                << std::string(100, 'x') << "\n";
    EXPECT_EQ(linkTarget("padded.url"), "");
    // A pipe is neither read nor waited on.
    ASSERT_EQ(mkfifo("pipe.url", 0600), 0);
    EXPECT_EQ(linkTarget("pipe.url"), "");
}

}  // namespace
// A working directory others may write to, such as a shared folder the game was started from:
// a neighbour's shortcut, or a neighbour's link to one of the player's files, is passed over
// for the installed one; the player's own is used.
TEST(LinkFileTest, ANeighboursShortcutInASharedWorkingDirectoryIsPassedOver) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to plant a neighbour's files";
    TempDir installedDir;
    TempDir work;
    work.enter();
    ASSERT_EQ(::chmod(work.path().c_str(), 0777), 0);
    const std::string installed = installedDir.path() + "/vexlorn.url";
    std::ofstream(installed) << "URL=https://installed.example.org/\n";
    std::ofstream("vexlorn.url") << "URL=https://neighbour.example.org/\n";
    ASSERT_EQ(::chown("vexlorn.url", 12346, 12346), 0);
    EXPECT_EQ(findLinkFile("vexlorn.url", installed.c_str()), installed);
    EXPECT_EQ(linkTarget("vexlorn.url"), "") << "a neighbour's file swapped in after the choice";
    ASSERT_EQ(::unlink("vexlorn.url"), 0);
    std::ofstream("own.txt") << "the player's";
    ASSERT_EQ(::symlink("own.txt", "vexlorn.url"), 0);
    ASSERT_EQ(::lchown("vexlorn.url", 12346, 12346), 0);
    EXPECT_EQ(findLinkFile("vexlorn.url", installed.c_str()), installed);
    ASSERT_EQ(::lchown("vexlorn.url", 0, 0), 0);
    EXPECT_EQ(findLinkFile("vexlorn.url", installed.c_str()), "vexlorn.url");
}

}  // namespace vexlorn
