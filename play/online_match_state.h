// A match between two computers: the connection, both sides' levels and readiness, rounds run
// through the rollback session until one side has won two, and what the player is told when
// the other side pauses, leaves, or falls silent.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "frame/state_stack.h"
#include "platform/net/net_link.h"
#include "platform/net/port_mapping.h"
#include "play/match.h"
#include "play/online_connection.h"
#include "play/online_round.h"
#include "play/online_session.h"

namespace vexlorn {

class OnlineMatchState : public BaseState {
public:
    // The screen is pushed either way; a failure shows as its notice.
    void host(uint16_t port);
    // The first free port from the default up: a second game on this computer hosts too.
    void hostOnFreePort();
    void join(const std::string& address);
    // What ended the last attempt or match, for the screen beneath: empty when nothing did.
    const std::string& lastNotice() const;
    // While hosting: the port, and the addresses shown for other computers to join at.
    uint16_t hostPort() const { return port_; }
    const std::vector<std::string>& hostAddresses() const { return hostAddresses_; }

    void activate() override;
    bool update() override;
    void leave() override;
    // A host asks the router to pass its port through; tests ask no router.
    bool mapsPorts = true;

    // The focus lost pauses nothing: the other side plays on.
    int pauseKey() const override { return 0; }

private:
    enum class Stage { Waiting, SetUp, Playing, RoundOver, Notice };

    void open(bool hosting, uint16_t port, const std::string& address, int portsToTry = 1);
    void pollNetwork(uint32_t now);
    void control(const ControlMessage& message);
    void sendControl(const ControlMessage& message);
    void sendSetUp();
    void beginRound(const ControlMessage& start);
    void startNextRound();
    void playTicks(int elapsed);
    void endRound(const char* verdict);
    void keepRecording();
    void keepDesyncDump(const std::string& update);
    void notice(const std::string& text, bool toMenu);
    void drawWaiting();
    void drawSetUp();
    void drawRoundScreen(int elapsed);

    std::unique_ptr<NetLink> link_;
    std::unique_ptr<PortMapping> mapping_;
    std::unique_ptr<OnlineConnection> connection_;
    std::unique_ptr<OnlineRound> round_;
    std::unique_ptr<OnlineSession> session_;
    Stage stage_ = Stage::Notice;
    bool hosting_ = false;
    uint16_t port_ = defaultOnlinePort;
    std::string address_;
    // Where other computers reach this one's game: "192.168.1.5:27850".
    std::vector<std::string> hostAddresses_;
    int localSide_ = 0;
    int ownLevel_ = 1;
    bool ownReady_ = false;
    int peerLevel_ = 1;
    bool peerReady_ = false;
    uint8_t roundNumber_ = 0;
    int64_t roundTime_ = 0;
    bool pendingStart_ = false;
    ControlMessage nextStart_;
    bool roundOpen_ = false;
    uint8_t pendingKey_ = 0;
    bool paused_ = false;
    bool pausedByPeer_ = false;
    MatchTally tally_;
    std::string message_;
    int stageTicks_ = 0;
    bool noticeToMenu_ = false;
};

extern OnlineMatchState onlineMatchState;

}  // namespace vexlorn
