// Games finding each other on this computer's loopback through real sockets: a host answers
// the search with its port and version, stops answering once it has a player, answers no more
// than it was sent, and a flood of questions gets a bounded number of answers.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <thread>

#include "platform/net/lan_message.h"
#include "platform/net/net_link.h"
#include "test_support/test_port.h"

namespace vexlorn {
namespace {

// Runs `step` until `done` holds, for at most `seconds`.
bool pumpUntil(const std::function<void()>& step, const std::function<bool()>& done,
               int seconds = 10) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    for (int i = 0; i < 20000 && std::chrono::steady_clock::now() < end; ++i) {
        step();
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return false;
}

void drain(NetLink& link) {
    NetEvent event;
    while (link.poll(event)) {
    }
}

TEST(LanSearchTest, AHostIsFoundWithItsPortAndVersionUntilItHasAPlayer) {
    const uint16_t port = testPort(1);
    NetLink host;
    std::string error;
    ASSERT_TRUE(host.host(port, error, "1.2.3")) << error;
    LanSearch search;
    ASSERT_TRUE(search.start(port, LanReach::ThisComputer));
    ASSERT_TRUE(pumpUntil(
        [&] {
            drain(host);
            search.poll(netTimeMs());
        },
        [&] { return !search.games().empty(); }));
    ASSERT_EQ(search.games().size(), 1u);
    EXPECT_EQ(search.games()[0].address, "127.0.0.1:" + std::to_string(port));
    EXPECT_EQ(search.games()[0].version, "1.2.3");

    // A second, hosting on another port, is not an answer to this search.
    NetLink other;
    ASSERT_TRUE(other.host(testPort(2), error, "1.2.3")) << error;

    // Once a player is connected the game is not offered any more.
    NetLink joiner;
    ASSERT_TRUE(joiner.join("127.0.0.1", port, error)) << error;
    ASSERT_TRUE(pumpUntil(
        [&] {
            drain(host);
            drain(joiner);
            drain(other);
        },
        [&] { return host.connected() && joiner.connected(); }));
    LanSearch later;
    ASSERT_TRUE(later.start(port, LanReach::ThisComputer));
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(1500);
    while (std::chrono::steady_clock::now() < end) {
        drain(host);
        drain(joiner);
        drain(other);
        later.poll(netTimeMs());
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_TRUE(later.games().empty());
    EXPECT_TRUE(host.connected()) << "the questions disturbed the match";
}

// A stranger's socket: what it gets back for what it sends.
struct Stranger {
    int fd = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in to{};
    explicit Stranger(uint16_t port) {
        to.sin_family = AF_INET;
        to.sin_port = htons(port);
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    }
    ~Stranger() { close(fd); }
    void send(const uint8_t* data, size_t size) {
        sendto(fd, data, size, 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
    }
    // Datagrams waiting, with the largest size among them.
    int receiveAll(size_t& largest) {
        int count = 0;
        uint8_t buffer[2048];
        pollfd watch{fd, POLLIN, 0};
        for (int i = 0; i < 10000 && ::poll(&watch, 1, 0) > 0; ++i) {
            const ssize_t got = recv(fd, buffer, sizeof buffer, 0);
            if (got < 0) break;
            largest = std::max(largest, static_cast<size_t>(got));
            ++count;
        }
        return count;
    }
};

TEST(LanSearchTest, AnswersAreNoLargerThanTheQuestionAndAFloodGetsFew) {
    const uint16_t port = testPort(3);
    NetLink host;
    std::string error;
    ASSERT_TRUE(host.host(port, error, "1.2.3")) << error;
    Stranger stranger(port);
    uint8_t question[lanMessageSize];
    ASSERT_TRUE(encodeLanMessage(LanMessage{}, question));

    // A question one byte short, an answer posing as a question, and noise: nothing comes back.
    stranger.send(question, sizeof question - 1);
    uint8_t answer[lanMessageSize];
    LanMessage posing;
    posing.answer = true;
    posing.port = 1;
    posing.version = "x";
    ASSERT_TRUE(encodeLanMessage(posing, answer));
    stranger.send(answer, sizeof answer);
    const uint8_t noise[3] = {1, 2, 3};
    stranger.send(noise, sizeof noise);
    size_t largest = 0;
    const auto quietEnd = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
    while (std::chrono::steady_clock::now() < quietEnd) drain(host);
    EXPECT_EQ(stranger.receiveAll(largest), 0);

    // A thousand questions in a burst: a bounded number of answers, each as long as a question.
    for (int i = 0; i < 1000; ++i) stranger.send(question, sizeof question);
    int answers = 0;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
    while (std::chrono::steady_clock::now() < end) {
        drain(host);
        answers += stranger.receiveAll(largest);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    EXPECT_GE(answers, 1);
    EXPECT_LE(answers, 40);
    EXPECT_EQ(largest, lanMessageSize);
}

}  // namespace
}  // namespace vexlorn
