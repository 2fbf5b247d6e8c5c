// The list of games found on the local network, apart from how the answers came.
#include <algorithm>

#include "platform/net/lan_message.h"
#include "platform/net/net_link.h"

namespace vexlorn {

namespace {

// Asked every second: three questions unanswered, and the game is gone.
constexpr uint32_t silentAfterMs = 3500;

bool isLoopback(const std::string& address) {
    return address.rfind("127.", 0) == 0;
}

}  // namespace

void LanSearch::heard(const std::string& ip, uint32_t nowMs, const uint8_t* data, size_t size) {
    LanMessage answer;
    if (ip.empty() || !decodeLanMessage(data, size, answer) || !answer.answer) return;
    const std::string address = ip + ":" + std::to_string(answer.port);
    for (LanGame& game : games_) {
        if (game.id != answer.id) continue;
        // A game on this computer answers on loopback too; the network's address is the one
        // another computer can use as well.
        if (isLoopback(game.address) && !isLoopback(address)) game.address = address;
        game.version = answer.version;
        game.heardMs = nowMs;
        return;
    }
    if (games_.size() >= mostGames) return;
    games_.push_back(LanGame{address, answer.version, answer.id, nowMs});
}

void LanSearch::forgetSilent(uint32_t nowMs) {
    games_.erase(std::remove_if(
                     games_.begin(), games_.end(),
                     [nowMs](const LanGame& game) { return nowMs - game.heardMs > silentAfterMs; }),
                 games_.end());
}

}  // namespace vexlorn
