// Choosing online play inside the game: the address a player types (what it takes, its limit,
// Backspace), what Enter does with an empty, a malformed and a good address, Esc, and long
// messages broken to fit the screen.
#include <gtest/gtest.h>

#include <string>

#include "platform/net/net_interfaces.h"
#include "platform/net/net_link.h"
#include "play/online_match_state.h"
#include "screen_fixture.h"
#include "screens/online_setup_state.h"
#include "screens/screen_draw.h"
#include "screens/versus_setup_state.h"

namespace vexlorn {
namespace {

TEST(AddressEntryTest, TakesWhatAddressesAreMadeOfUpToItsLimitAndErases) {
    AddressEntry entry;
    for (const char c : std::string("Host-1.example.org:27851[::1]")) EXPECT_TRUE(entry.type(c));
    EXPECT_EQ(entry.text(), "Host-1.example.org:27851[::1]");
    for (const int c : {int{' '}, int{'/'}, int{'@'}, int{'_'}, int{'\t'}, int{'\r'}, 0, 0x7f, 0xe9,
                        0x2014, -1}) {
        EXPECT_FALSE(entry.type(c)) << c;
    }
    EXPECT_EQ(entry.text(), "Host-1.example.org:27851[::1]");

    entry.clear();
    for (size_t i = 0; i < AddressEntry::longest; ++i) EXPECT_TRUE(entry.type('7'));
    EXPECT_FALSE(entry.type('7')) << "the text is full";
    EXPECT_EQ(entry.text().size(), AddressEntry::longest);
    for (size_t i = 0; i < AddressEntry::longest; ++i) EXPECT_TRUE(entry.erase());
    EXPECT_FALSE(entry.erase()) << "nothing left to erase";
    EXPECT_TRUE(entry.text().empty());
}

TEST(FitTextTest, BreaksBetweenWordsWithinTheWidthAndShowsTheLongDashAsAHyphen) {
    ensureHeadlessAllegro();
    FONT* const saved = gameFont;
    gameFont = nullptr;  // Allegro's own font: 8 pixels a character
    const auto lines =
        fitText("no answer from 203.0.113.5:27850 \xe2\x80\x94 is that game hosting?", 168);
    gameFont = saved;
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "no answer from");
    EXPECT_EQ(lines[1], "203.0.113.5:27850 -");
    EXPECT_EQ(lines[2], "is that game hosting?");
    for (const std::string& line : lines) EXPECT_LE(line.size() * 8, 168u) << line;
    EXPECT_EQ(fitText("short", 160), std::vector<std::string>{"short"});
    EXPECT_EQ(fitText("averyveryverylongwordindeed x", 80).size(), 2u)
        << "a word wider than the room has a line of its own";
    EXPECT_TRUE(fitText("", 80).empty());
}

class OnlineSetupTest : public ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        onlineSetupState.searchReach = LanReach::ThisComputer;  // tests ask no real network
        onlineMatchState.mapsPorts = false;
    }

    void press(int key, int character = 0) {
        lastKey = key;
        lastChar = character;
        stateStack.updateTop();
    }
    void typeText(const std::string& text) {
        for (const char c : text)
            press(KEY_A, c);  // the scancode does not matter, the character does
    }
};

TEST_F(OnlineSetupTest, TheVersusSetUpLeadsHereAndEscGoesBack) {
    stateStack.push(&versusSetupState);
    press(KEY_O, 'o');
    ASSERT_EQ(stateStack.top(), &onlineSetupState);
    EXPECT_EQ(onlineSetupState.selected, OnlineSetupState::HostRow);
    press(KeyEsc);
    EXPECT_EQ(stateStack.top(), &versusSetupState);
}

TEST_F(OnlineSetupTest, TypingGoesToTheAddressWhichEnterChecksBeforeJoining) {
    stateStack.push(&onlineSetupState);
    onlineSetupState.address.clear();
    press(KeyDown);
    EXPECT_EQ(onlineSetupState.selected, OnlineSetupState::AddressRow);
    press(KeyDown);
    EXPECT_EQ(onlineSetupState.selected, OnlineSetupState::HostRow) << "the choice wraps round";
    press(KeyUp);
    EXPECT_EQ(onlineSetupState.selected, OnlineSetupState::AddressRow);
    press(KeyUp);

    // Enter with nothing typed says what to do and goes nowhere.
    press(KeyDown);
    press(KeyEnter);
    EXPECT_EQ(stateStack.top(), &onlineSetupState);
    EXPECT_NE(onlineSetupState.problem.find("Type the address"), std::string::npos);

    // Typing from the host row moves to the address; a space or a slash is not taken.
    press(KeyUp);
    typeText("127.0.0 .1/:99999");
    EXPECT_EQ(onlineSetupState.selected, OnlineSetupState::AddressRow);
    EXPECT_EQ(onlineSetupState.address.text(), "127.0.0.1:99999");
    press(KeyEnter);
    EXPECT_EQ(stateStack.top(), &onlineSetupState) << "port 99999 does not exist";
    EXPECT_NE(onlineSetupState.problem.find("\"127.0.0.1:99999\" is not an address"),
              std::string::npos)
        << onlineSetupState.problem;

    for (int i = 0; i < 4; ++i) press(KeyBackspace);
    EXPECT_EQ(onlineSetupState.address.text(), "127.0.0.1:9");
    // A key that types nothing (an arrow, Enter's own character aside) changes no text.
    press(KeyLeft);
    EXPECT_EQ(onlineSetupState.address.text(), "127.0.0.1:9");

    // A good address joins: the match screen comes up connecting, and its Esc comes back here.
    press(KeyEnter, '\r');
    ASSERT_EQ(stateStack.top(), &onlineMatchState);
    EXPECT_TRUE(onlineSetupState.problem.empty());
    press(KeyEsc);
    EXPECT_EQ(stateStack.top(), &onlineSetupState);
    EXPECT_EQ(onlineSetupState.address.text(), "127.0.0.1:9") << "kept for another try";
}

TEST_F(OnlineSetupTest, HostingTakesTheNextPortWhenTheFirstIsTakenAndShowsWhereToJoin) {
    NetLink first;
    std::string error;
    const bool heldFirst = first.host(defaultOnlinePort, error);
    stateStack.push(&onlineSetupState);
    press(KeyEnter);  // Host a game, the first row
    ASSERT_EQ(stateStack.top(), &onlineMatchState);
    const uint16_t port = onlineMatchState.hostPort();
    EXPECT_GE(port, heldFirst ? defaultOnlinePort + 1 : defaultOnlinePort);
    EXPECT_LT(port, defaultOnlinePort + 10);
    const std::vector<NetInterface> networks = localNetInterfaces();
    ASSERT_EQ(onlineMatchState.hostAddresses().size(), networks.size());
    for (size_t i = 0; i < networks.size(); ++i) {
        EXPECT_EQ(onlineMatchState.hostAddresses()[i],
                  networks[i].address + ":" + std::to_string(port));
    }
    press(KeyEsc);
    EXPECT_EQ(stateStack.top(), &onlineSetupState);
}

}  // namespace
}  // namespace vexlorn
