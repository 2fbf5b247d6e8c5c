// A network between two sides inside one process: each direction delays its messages by a
// seeded amount with jitter, and loses, repeats and reorders some, as the internet does.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

namespace vexlorn {

struct LinkProfile {
    int delayMs = 0;  // one way
    int jitterMs = 0;
    int lossPercent = 0;
    int duplicatePercent = 0;
    int reorderPercent = 0;  // held back a further delay, so later ones overtake it
};

class SimLink {
public:
    SimLink(const LinkProfile& profile, uint32_t seed) : profile_(profile), random_(seed) {}

    void send(const uint8_t* data, size_t size, int64_t nowMs) {
        ++sent_;
        if (percent(profile_.lossPercent)) return;
        const int copies = percent(profile_.duplicatePercent) ? 2 : 1;
        for (int copy = 0; copy < copies; ++copy) {
            int64_t at = nowMs + profile_.delayMs + between(0, profile_.jitterMs);
            if (percent(profile_.reorderPercent)) at += between(1, 60);
            inFlight_.push_back({at, std::vector<uint8_t>(data, data + size)});
        }
    }

    // Hands every message due by now to `deliver(data, size)`, in the order they arrive.
    template <typename Deliver>
    void deliver(int64_t nowMs, Deliver deliver) {
        for (size_t i = 0; i < inFlight_.size();) {
            if (inFlight_[i].at > nowMs) {
                ++i;
                continue;
            }
            const std::vector<uint8_t> bytes = std::move(inFlight_[i].bytes);
            inFlight_.erase(inFlight_.begin() + static_cast<std::ptrdiff_t>(i));
            deliver(bytes.data(), bytes.size());
        }
    }

    int sent() const { return sent_; }

private:
    struct Message {
        int64_t at;
        std::vector<uint8_t> bytes;
    };
    bool percent(int chance) { return between(0, 99) < chance; }
    int between(int low, int high) {
        return high <= low ? low : std::uniform_int_distribution<int>(low, high)(random_);
    }

    LinkProfile profile_;
    std::mt19937 random_;
    std::vector<Message> inFlight_;
    int sent_ = 0;
};

}  // namespace vexlorn
