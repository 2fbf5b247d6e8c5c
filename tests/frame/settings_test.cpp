// The remembered choices: the file's text, what a damaged file means, and what the command line
// keeps out of it (the real program's restarts are in tests/window/test_display.py).
#include "frame/settings.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "platform/files/settings_file.h"
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

void put(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

TEST(SettingsTest, KnownLinesAreReadAndAnythingElseLeavesTheDefault) {
    Settings settings = parseSettings(" music = off\ndisplay=window\r\nscale=3\n");
    EXPECT_TRUE(settings.musicMuted);
    EXPECT_TRUE(settings.windowed);
    EXPECT_EQ(settings.scale, 3);
    EXPECT_EQ(parseSettings("scale=FILL").scale, fillScale);
    for (const char* text : {"", "music=maybe\ndisplay=big\nscale=9", "scale=0\nscale=2.5",
                             "\xff\xfe garbage\n==\n=on\nmusic", "MUSIC=off\ndisplay:window"}) {
        settings = parseSettings(text);
        EXPECT_FALSE(settings.musicMuted) << text;
        EXPECT_FALSE(settings.windowed) << text;
        EXPECT_EQ(settings.scale, 0) << text;
    }
}

TEST(SettingsTest, AnUpdateRewritesOnlyTheChangedLinesAndKeepsTheRest) {
    Settings settings;
    settings.musicMuted = true;
    settings.scale = fillScale;
    const std::string old = "# mine\nscale = 2\nvolume=7\nmusic=on\nnot a setting";
    EXPECT_EQ(updateSettingsText(old, settings, SettingKeys{true, false, false}),
              "# mine\nscale = 2\nvolume=7\nmusic=off\nnot a setting\n");
    EXPECT_EQ(updateSettingsText(old, settings, SettingKeys{false, true, true}),
              "# mine\nscale=fill\nvolume=7\nmusic=on\nnot a setting\ndisplay=fullscreen\n");
    EXPECT_EQ(updateSettingsText("", settings, SettingKeys{true, true, false}),
              "music=off\ndisplay=fullscreen\n");
}

TEST(SettingsTest, ConfigDirectoryWhenAbsoluteElseUnderHome) {
    EXPECT_EQ(settingsFilePath("/x/cfg", "/home/p"), "/x/cfg/vexlorn/settings");
    for (const char* ignored : {static_cast<const char*>(nullptr), "", "cfg"}) {
        EXPECT_EQ(settingsFilePath(ignored, "/home/p"), "/home/p/.config/vexlorn/settings");
    }
    EXPECT_EQ(settingsFilePath(nullptr, "home"), "");
}

// Each test runs with its own XDG_CONFIG_HOME.
class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* old = getenv("XDG_CONFIG_HOME");
        hadOld_ = old != nullptr;
        if (hadOld_) old_ = old;
        setenv("XDG_CONFIG_HOME", dir_.path().c_str(), 1);
        ::mkdir((dir_.path() + "/vexlorn").c_str(), 0700);
    }
    void TearDown() override {
        if (hadOld_) {
            setenv("XDG_CONFIG_HOME", old_.c_str(), 1);
        } else {
            unsetenv("XDG_CONFIG_HOME");
        }
        // Forgotten, not read again from the player's own file, which later tests would write.
        forgetSettings();
    }
    std::string file() const { return dir_.path() + "/vexlorn/settings"; }

    TempDir dir_;
    std::string old_;
    bool hadOld_ = false;
};

TEST_F(SettingsFileTest, ChoicesAreWrittenWhenTheyChangeAndReadAtTheNextStart) {
    Settings first = loadSettings(Options{});
    EXPECT_FALSE(first.musicMuted);
    EXPECT_FALSE(first.windowed);
    EXPECT_EQ(contents(file()), "<missing>");
    rememberMusic(true);
    rememberDisplay(true, 3);
    EXPECT_EQ(contents(file()), "music=off\ndisplay=window\nscale=3\n");
    EXPECT_EQ(TempDir::countIn(dir_.path() + "/vexlorn"), 1) << "a temporary was left behind";
    Settings next = loadSettings(Options{});
    EXPECT_TRUE(next.musicMuted);
    EXPECT_TRUE(next.windowed);
    EXPECT_EQ(next.scale, 3);
}

TEST_F(SettingsFileTest, TheCommandLineWinsForTheRunAndIsNotSaved) {
    put(file(), "display=fullscreen\nscale=2\n");
    Options options;
    options.windowed = true;
    options.scale = 4;
    Settings run = loadSettings(options);
    EXPECT_TRUE(run.windowed);
    EXPECT_EQ(run.scale, 4);
    rememberDisplay(false, 4);  // a switch during a run that -window started
    rememberMusic(true);
    EXPECT_EQ(contents(file()), "display=fullscreen\nscale=2\nmusic=off\n");
}

TEST_F(SettingsFileTest, TheDesktopEntrysWindowIsOnlyTheFirstLookUntilThePlayerChooses) {
    Options desktop;  // what the desktop entry passes
    desktop.dataHome = true;
    desktop.windowed = true;
    desktop.scale = 8;
    Settings first = loadSettings(desktop);
    EXPECT_TRUE(first.windowed);
    EXPECT_EQ(first.scale, 8);
    rememberDisplay(false, 8);  // F11
    EXPECT_EQ(contents(file()), "display=fullscreen\n");
    Settings next = loadSettings(desktop);
    EXPECT_FALSE(next.windowed);
    EXPECT_EQ(next.scale, 8);
}

TEST_F(SettingsFileTest, ADamagedFileMeansDefaultsAndIsLeftAlone) {
    const std::string huge(settingsFileLimit + 1, 'x');
    const std::string binary("music=off\n\0\x01\x02", 13);
    for (const std::string& text : {huge, binary}) {
        put(file(), text);
        Settings settings = loadSettings(Options{});
        EXPECT_FALSE(settings.musicMuted);
        rememberMusic(true);
        rememberDisplay(true, 2);
        EXPECT_EQ(contents(file()), text);
    }
    ::unlink(file().c_str());
    ::mkdir(file().c_str(), 0700);
    loadSettings(Options{});
    rememberMusic(true);
    struct stat status;
    ASSERT_EQ(::stat(file().c_str(), &status), 0);
    EXPECT_TRUE(S_ISDIR(status.st_mode));
}

// Another copy of the game, or the player's editor, changed the file after this run read it: a
// change made now keeps theirs and sets only its own lines.
TEST_F(SettingsFileTest, AChangeKeepsWhatAnotherCopyChangedMeanwhile) {
    put(file(), "scale=2\n");
    loadSettings(Options{});
    put(file(), "music=off\nscale=2\nnewer=kept\n");
    rememberDisplay(true, 2);
    EXPECT_EQ(contents(file()), "music=off\nscale=2\nnewer=kept\ndisplay=window\n");
    put(file(), "display=window\n");
    rememberMusic(true);
    EXPECT_EQ(contents(file()), "display=window\nmusic=off\n");
}

TEST_F(SettingsFileTest, NoiseOrAFileOfTheLimitsSizeIsLeftAloneAndOldTemporariesCleared) {
    std::mt19937 random(3000);
    std::string noise(3000, ' ');
    for (char& c : noise) c = static_cast<char>(1 + random() % 255);
    const std::string full(settingsFileLimit, 'x');
    std::string lateNoise = "music=on\n";
    lateNoise += '\x1b';
    for (const std::string& text : {noise, full, lateNoise}) {
        put(file(), text);
        loadSettings(Options{});
        rememberMusic(true);
        EXPECT_EQ(contents(file()), text) << text.size() << " bytes";
        // Damaged after the start: still left alone.
        put(file(), "music=on\n");
        loadSettings(Options{});
        put(file(), text);
        rememberMusic(true);
        EXPECT_EQ(contents(file()), text) << text.size() << " bytes, changed meanwhile";
    }
    put(file(), std::string(settingsFileLimit - 20, '#') + "\nmusic=on\n");
    loadSettings(Options{});
    const std::string stray = file() + ".Ab3xYz";
    const std::string fresh = file() + ".Qq9Rr0";
    put(stray, "music=on\n");
    put(fresh, "music=on\n");
    const struct timeval old[2] = {{1000000000, 0}, {1000000000, 0}};
    ASSERT_EQ(::utimes(stray.c_str(), old), 0);
    rememberMusic(true);
    const std::string changed = contents(file());
    EXPECT_EQ(changed.substr(changed.size() - 10), "music=off\n");
    EXPECT_EQ(contents(stray), "<missing>") << "a killed write's temporary kept for good";
    EXPECT_EQ(contents(fresh), "music=on\n") << "a running write's temporary removed";
}

// A configuration folder others may write to: a neighbour's file or link there is neither read
// nor written, and the settings stay the defaults.
TEST_F(SettingsFileTest, ANeighboursFileOrLinkInASharedFolderIsNotUsed) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as the player and a neighbour";
    constexpr uid_t neighbour = 12346;
    const std::string folder = dir_.path() + "/vexlorn";
    const std::string mine = dir_.path() + "/mine";
    ASSERT_EQ(::chmod(dir_.path().c_str(), 0755), 0);
    ASSERT_EQ(::chmod(folder.c_str(), 0777), 0);
    put(mine, "scale=3\n");
    ASSERT_EQ(::chown(mine.c_str(), nobodyId, nobodyId), 0);
    for (bool link : {false, true}) {
        ::unlink(file().c_str());
        if (link) {
            ASSERT_EQ(::symlink(mine.c_str(), file().c_str()), 0);
        } else {
            put(file(), "music=off\n");
            ASSERT_EQ(::chmod(file().c_str(), 0666), 0);
        }
        ASSERT_EQ(::lchown(file().c_str(), neighbour, neighbour), 0);
        // Read as the player's, its music line would be written back beside the change.
        ASSERT_TRUE(runAsOtherUser([] {
            loadSettings(Options{});
            rememberDisplay(true, 2);
        }));
        EXPECT_EQ(contents(mine), "scale=3\n") << (link ? "link" : "file");
        struct stat planted {};
        ASSERT_EQ(::lstat(file().c_str(), &planted), 0);
        EXPECT_EQ(planted.st_uid, neighbour) << (link ? "link" : "file") << " replaced";
        if (!link) {
            EXPECT_EQ(contents(file()), "music=off\n");
        }
    }
}

}  // namespace
}  // namespace vexlorn
