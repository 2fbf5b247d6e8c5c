// The local network's question and answer as anyone on it may send them: each message has one
// exact form, and nothing else is taken, whatever bytes come.
#include "platform/net/lan_message.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

namespace vexlorn {
namespace {

LanMessage answer(uint16_t port, uint64_t id, const std::string& version) {
    LanMessage message;
    message.answer = true;
    message.port = port;
    message.id = id;
    message.version = version;
    return message;
}

// Whatever is taken is a message whose own form is those very bytes.
void expectTakenOnlyInItsForm(const uint8_t* data, size_t size) {
    LanMessage message;
    if (!decodeLanMessage(data, size, message)) return;
    ASSERT_EQ(size, lanMessageSize);
    uint8_t again[lanMessageSize];
    ASSERT_TRUE(encodeLanMessage(message, again));
    EXPECT_EQ(std::memcmp(again, data, size), 0);
    EXPECT_LE(message.version.size(), longestLanVersion);
    for (const char c : message.version) EXPECT_TRUE(c >= 0x20 && c <= 0x7e);
}

TEST(LanMessageTest, QuestionsAndAnswersGoAndComeBackWhole) {
    uint8_t bytes[lanMessageSize];
    LanMessage got;
    ASSERT_TRUE(encodeLanMessage(LanMessage{}, bytes));
    ASSERT_TRUE(decodeLanMessage(bytes, sizeof bytes, got));
    EXPECT_FALSE(got.answer);

    for (const LanMessage& sent : {answer(27850, 0x0123456789abcdefull, "1.0.0"),
                                   answer(1, ~0ull, "0123456789abcdef"), answer(65535, 0, "~")}) {
        ASSERT_TRUE(encodeLanMessage(sent, bytes));
        ASSERT_TRUE(decodeLanMessage(bytes, sizeof bytes, got));
        EXPECT_TRUE(got.answer);
        EXPECT_EQ(got.port, sent.port);
        EXPECT_EQ(got.id, sent.id);
        EXPECT_EQ(got.version, sent.version);
        // Every shorter or longer datagram with the same start is refused.
        std::vector<uint8_t> longer(bytes, bytes + sizeof bytes);
        longer.push_back(0);
        EXPECT_FALSE(decodeLanMessage(longer.data(), longer.size(), got));
        for (size_t size = 0; size < lanMessageSize; ++size)
            EXPECT_FALSE(decodeLanMessage(bytes, size, got)) << size;
    }
    EXPECT_FALSE(decodeLanMessage(nullptr, lanMessageSize, got));
}

TEST(LanMessageTest, AnAnswerWithoutPortOrVersionOrWithAnUnprintableVersionHasNoForm) {
    uint8_t bytes[lanMessageSize];
    EXPECT_FALSE(encodeLanMessage(answer(0, 1, "1.0.0"), bytes));
    EXPECT_FALSE(encodeLanMessage(answer(27850, 1, ""), bytes));
    EXPECT_FALSE(encodeLanMessage(answer(27850, 1, "0123456789abcdefg"), bytes));
    EXPECT_FALSE(encodeLanMessage(answer(27850, 1, "1.0\n"), bytes));
    EXPECT_FALSE(encodeLanMessage(answer(27850, 1,
                                         std::string("1\0"
                                                     "2",
                                                     3)),
                                  bytes));
}

TEST(LanMessageTest, EveryChangedByteOfAGoodMessageAndRandomBytesAreTakenOnlyInTheirForm) {
    uint8_t good[2][lanMessageSize];
    ASSERT_TRUE(encodeLanMessage(LanMessage{}, good[0]));
    ASSERT_TRUE(encodeLanMessage(answer(27850, 77, "1.0.0"), good[1]));
    int refused = 0;
    for (const auto& message : good) {
        for (size_t at = 0; at < lanMessageSize; ++at) {
            for (int value = 0; value < 256; ++value) {
                uint8_t bytes[lanMessageSize];
                std::memcpy(bytes, message, sizeof bytes);
                bytes[at] = static_cast<uint8_t>(value);
                expectTakenOnlyInItsForm(bytes, sizeof bytes);
                LanMessage got;
                if (!decodeLanMessage(bytes, sizeof bytes, got)) ++refused;
            }
        }
    }
    EXPECT_GT(refused, 10000) << "the magic, kind and format are checked";

    std::mt19937 random(12345);
    for (int round = 0; round < 20000; ++round) {
        const size_t size = random() % (2 * lanMessageSize);
        std::vector<uint8_t> bytes(size);
        for (uint8_t& b : bytes) b = static_cast<uint8_t>(random());
        // Half the time with a right beginning, so that the checks past it are reached.
        if (size >= 6 && round % 2 == 0) std::memcpy(bytes.data(), good[round % 4 / 2], 6);
        expectTakenOnlyInItsForm(bytes.data(), bytes.size());
    }
}

}  // namespace
}  // namespace vexlorn
