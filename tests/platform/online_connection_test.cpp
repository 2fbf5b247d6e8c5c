// Two games on this computer's loopback through real sockets: the greeting, the one player
// at a time, refusals that name both versions, what a stranger's datagrams get, and silence.
#include "play/online_connection.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "play/online_message.h"
#include "test_support/test_port.h"

namespace vexlorn {
namespace {

OnlineIdentity identity(const std::string& version, uint64_t digest = 42) {
    OnlineIdentity own;
    own.version = version;
    own.digest = digest;
    return own;
}

struct Game {
    explicit Game(const std::string& version, uint64_t digest = 42)
        : connection(link, identity(version, digest)) {}
    NetLink link;
    OnlineConnection connection;
    NetEvent last;
    int messages = 0;

    void poll() {
        NetEvent event;
        while (connection.poll(netTimeMs(), event)) {
            last = event;
            ++messages;
        }
    }
};

// Polls every game until `done` holds, for at most ten seconds (under the sanitizers ENet's
// first resends alone can take a few).
template <typename... Games>
bool pumpUntil(const std::function<bool()>& done, Games&... games) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    for (int i = 0; i < 20000 && std::chrono::steady_clock::now() < end; ++i) {
        (games.poll(), ...);
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

TEST(OnlineConnectionTest, TwoGamesGreetPlayOnePlayerAtATimeAndLeavingIsTold) {
    const uint16_t port = testPort(1);
    Game host("1.4.0");
    Game joiner("1.4.0");
    std::string error;
    ASSERT_TRUE(host.connection.host(port, error)) << error;
    ASSERT_TRUE(joiner.connection.join("127.0.0.1:" + std::to_string(port), error)) << error;
    ASSERT_TRUE(pumpUntil(
        [&] {
            return host.connection.phase() == OnlinePhase::Playing &&
                   joiner.connection.phase() == OnlinePhase::Playing;
        },
        host, joiner));

    const uint8_t keys[3] = {1, 2, 3};
    joiner.connection.send(keys, sizeof keys, false);
    const uint8_t control[2] = {9, 8};
    host.connection.send(control, sizeof control, true);
    ASSERT_TRUE(
        pumpUntil([&] { return host.messages == 1 && joiner.messages == 1; }, host, joiner));
    EXPECT_EQ(host.last.size, 3u);
    EXPECT_EQ(host.last.data[2], 3);
    EXPECT_EQ(joiner.last.data[0], 9);

    // A third game knocking during the match is turned away; the match goes on.
    Game stranger("1.4.0");
    ASSERT_TRUE(stranger.connection.join("localhost:" + std::to_string(port), error)) << error;
    ASSERT_TRUE(pumpUntil([&] { return stranger.connection.phase() == OnlinePhase::Refused; }, host,
                          joiner, stranger));
    EXPECT_NE(stranger.connection.problem().find("already has a player"), std::string::npos);
    EXPECT_EQ(host.connection.knocks(), 1);
    EXPECT_EQ(host.connection.phase(), OnlinePhase::Playing);

    joiner.connection.leave();
    ASSERT_TRUE(pumpUntil([&] { return host.connection.phase() == OnlinePhase::Left; }, host));
    EXPECT_EQ(host.connection.problem(), "the other player left");
}

TEST(OnlineConnectionTest, DifferentVersionsOrDataFilesAreRefusedNamingBoth) {
    const uint16_t port = testPort(2);
    Game host("1.4.0");
    std::string error;
    ASSERT_TRUE(host.connection.host(port, error)) << error;
    {
        Game joiner("1.5.2");
        ASSERT_TRUE(joiner.connection.join("127.0.0.1:" + std::to_string(port), error));
        ASSERT_TRUE(pumpUntil([&] { return joiner.connection.phase() == OnlinePhase::Refused; },
                              host, joiner));
        const std::string& problem = joiner.connection.problem();
        EXPECT_NE(problem.find("version 1.4.0"), std::string::npos) << problem;
        EXPECT_NE(problem.find("version 1.5.2"), std::string::npos) << problem;
        ASSERT_TRUE(pumpUntil([&] { return !host.connection.problem().empty(); }, host));
        EXPECT_NE(host.connection.problem().find("1.5.2"), std::string::npos);
        EXPECT_EQ(host.connection.phase(), OnlinePhase::Hosting);
    }
    Game otherData("1.4.0", 43);
    ASSERT_TRUE(otherData.connection.join("127.0.0.1:" + std::to_string(port), error));
    ASSERT_TRUE(pumpUntil([&] { return otherData.connection.phase() == OnlinePhase::Refused; },
                          host, otherData));
    EXPECT_NE(otherData.connection.problem().find("data file"), std::string::npos);

    // The host still takes a player who can play.
    Game good("1.4.0");
    ASSERT_TRUE(good.connection.join("127.0.0.1:" + std::to_string(port), error));
    EXPECT_TRUE(
        pumpUntil([&] { return good.connection.phase() == OnlinePhase::Playing; }, host, good));
}

TEST(OnlineConnectionTest, NoAnswerAndSilenceAreToldAsThePlayerSeesThem) {
    Game lonely("1.4.0");
    std::string error;
    const uint16_t port = testPort(3);
    ASSERT_TRUE(lonely.connection.join("127.0.0.1:" + std::to_string(port), error));
    NetEvent event;
    // The clock is the caller's: the wait is seen as if that much time had passed.
    const uint32_t start = netTimeMs();
    lonely.connection.poll(start, event);
    lonely.connection.poll(start + joinAnswerMs - 100, event);
    EXPECT_EQ(lonely.connection.phase(), OnlinePhase::Joining);
    lonely.connection.poll(start + joinAnswerMs + 100, event);
    EXPECT_EQ(lonely.connection.phase(), OnlinePhase::Lost);
    EXPECT_EQ(lonely.connection.problem(), "no answer from 127.0.0.1:" + std::to_string(port) +
                                               " — is that game hosting, and its port open?");

    Game host("1.4.0");
    Game joiner("1.4.0");
    ASSERT_TRUE(host.connection.host(port, error)) << error;
    ASSERT_TRUE(joiner.connection.join("127.0.0.1:" + std::to_string(port), error));
    ASSERT_TRUE(
        pumpUntil([&] { return host.connection.phase() == OnlinePhase::Playing; }, host, joiner));
    const uint32_t now = netTimeMs();
    EXPECT_FALSE(host.connection.interrupted(now));
    EXPECT_TRUE(host.connection.interrupted(now + interruptedAfterMs + 50));
    host.connection.poll(now + lostAfterMs - 100, event);
    EXPECT_EQ(host.connection.phase(), OnlinePhase::Playing);
    host.connection.poll(now + lostAfterMs + 100, event);
    EXPECT_EQ(host.connection.phase(), OnlinePhase::Lost);
    EXPECT_EQ(host.connection.problem(), "connection lost");
}

// Datagrams from a stranger who never greets: the game answers none larger than it was sent,
// and a flood neither holds the frame loop nor keeps a player out.
TEST(OnlineConnectionTest, AStrangersGarbageAndFloodsGetNoLargerAnswerAndHarmNothing) {
    const uint16_t port = testPort(4);
    Game host("1.4.0");
    std::string error;
    ASSERT_TRUE(host.connection.host(port, error)) << error;
    const int stranger = socket(AF_INET, SOCK_DGRAM, 0);
    ASSERT_GE(stranger, 0);
    timeval wait{0, 1000};
    setsockopt(stranger, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    uint32_t noise = 7;
    size_t largestSent = 0;
    size_t largestAnswer = 0;
    uint8_t datagram[600];
    for (int i = 0; i < 3000; ++i) {
        const size_t size = 1 + (noise >> 8) % sizeof datagram;
        for (size_t at = 0; at < size; ++at) {
            noise = noise * 1103515245u + 12345u;
            datagram[at] = static_cast<uint8_t>(noise >> 16);
        }
        largestSent = std::max(largestSent, size);
        sendto(stranger, datagram, size, 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
        if (i % 100 == 0) {
            const auto before = std::chrono::steady_clock::now();
            host.poll();
            EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(500));
            uint8_t answer[2048];
            const ssize_t got = recv(stranger, answer, sizeof answer, 0);
            if (got > 0) largestAnswer = std::max(largestAnswer, static_cast<size_t>(got));
        }
    }
    close(stranger);
    EXPECT_LE(largestAnswer, largestSent);
    EXPECT_EQ(host.connection.phase(), OnlinePhase::Hosting);

    Game joiner("1.4.0");
    ASSERT_TRUE(joiner.connection.join("127.0.0.1:" + std::to_string(port), error));
    EXPECT_TRUE(
        pumpUntil([&] { return joiner.connection.phase() == OnlinePhase::Playing; }, host, joiner));
}

TEST(NetAddressTest, NamesPortsAndBracketedIPv6AddressesAreSplit) {
    std::string host;
    uint16_t port = 0;
    ASSERT_TRUE(splitNetAddress("example.org", host, port));
    EXPECT_EQ(host, "example.org");
    EXPECT_EQ(port, defaultOnlinePort);
    ASSERT_TRUE(splitNetAddress("192.0.2.7:1234", host, port));
    EXPECT_EQ(host, "192.0.2.7");
    EXPECT_EQ(port, 1234);
    ASSERT_TRUE(splitNetAddress("[2001:db8::5]:27851", host, port));
    EXPECT_EQ(host, "2001:db8::5");
    EXPECT_EQ(port, 27851);
    ASSERT_TRUE(splitNetAddress("[::1]", host, port));
    EXPECT_EQ(host, "::1");
    EXPECT_EQ(port, defaultOnlinePort);
    ASSERT_TRUE(splitNetAddress("::1", host, port));
    EXPECT_EQ(host, "::1");
    for (const char* bad :
         {"", "host:", "host:0", "host:70000", "host:12a", "[::1", "[]:5", "[::1]x", ":27850"}) {
        EXPECT_FALSE(splitNetAddress(bad, host, port)) << bad;
    }
}

}  // namespace
}  // namespace vexlorn
