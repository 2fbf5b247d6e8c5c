// The online match screen.
#include "play/online_match_state.h"

#include <allegro.h>

#include <ctime>
#include <string>
#include <utility>

#include "assets/assets.h"
#include "board/game_random.h"
#include "board/rules.h"
#include "frame/globals.h"
#include "platform/files/game_folder.h"
#include "platform/files/regular_file.h"
#include "platform/net/net_interfaces.h"
#include "play/game1_state.h"
#include "play/replay_recorder.h"
#include "play/versus_state.h"
#include "play/well_input.h"
#include "screens/screen_draw.h"

namespace vexlorn {

OnlineMatchState onlineMatchState;

namespace {

static_assert(onlineLevelCount == versusLevels, "a level travels as the set-up's number");

constexpr int centreX = 320;
constexpr int lineHeight = 22;
constexpr int textWidth = 600;
constexpr int roundOverTicks = 3 * ticksPerSecond;
constexpr int noticeTicks = 5 * ticksPerSecond;
// Ticks run at once after a slow pass: more would only show as a jump.
constexpr int ticksAtOnce = 5;
// A wait this long shows as such; shorter ones pass unseen.
constexpr int shownWaitTicks = ticksPerSecond / 2;
constexpr size_t largestDataFile = 64u << 20;
// A host started from the screens takes the next port when another game holds the default.
constexpr int hostPortsToTry = 10;

// A notice may be long: it is broken into lines that fit.
void drawCentred(int y, const std::string& text) {
    drawCentredLines(centreX, y, textWidth, lineHeight, text);
}

OnlineIdentity ownIdentity() {
    OnlineIdentity own;
    own.version = gameVersion();
    std::string bytes;
    if (readRegularFile(dataFilePath(), largestDataFile, bytes)) {
        own.digest = onlineDigest(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    }
    return own;
}

}  // namespace

void OnlineMatchState::host(uint16_t port) {
    open(true, port, "");
}

void OnlineMatchState::hostOnFreePort() {
    open(true, defaultOnlinePort, "", hostPortsToTry);
}

void OnlineMatchState::join(const std::string& address) {
    open(false, defaultOnlinePort, address);
}

const std::string& OnlineMatchState::lastNotice() const {
    static const std::string none;
    return stage_ == Stage::Notice ? message_ : none;
}

void OnlineMatchState::open(bool hosting, uint16_t port, const std::string& address,
                            int portsToTry) {
    hosting_ = hosting;
    port_ = port;
    address_ = address;
    localSide_ = hosting ? LeftSide : RightSide;
    link_ = std::make_unique<NetLink>();
    connection_ = std::make_unique<OnlineConnection>(*link_, ownIdentity());
    if (round_ == nullptr) round_ = std::make_unique<OnlineRound>();
    session_.reset();
    tally_.reset();
    roundNumber_ = 0;
    roundOpen_ = false;
    pendingStart_ = false;
    std::string error;
    bool opened = false;
    if (hosting) {
        for (int i = 0; i < portsToTry && !opened; ++i) {
            port_ = static_cast<uint16_t>(port + i);
            opened = connection_->host(port_, error);
        }
        mapping_.reset();
        if (opened && mapsPorts) {
            mapping_ = std::make_unique<PortMapping>();
            mapping_->start(port_);
        }
        hostAddresses_.clear();
        for (const NetInterface& interface : localNetInterfaces()) {
            hostAddresses_.push_back(interface.address + ":" + std::to_string(port_));
        }
    } else {
        opened = connection_->join(address, error);
    }
    stage_ = Stage::Waiting;
    stageTicks_ = 0;
    message_.clear();
    stateStack.push(this);
    if (!opened) notice(error, true);
}

void OnlineMatchState::activate() {
    tickCount = 0;
    lastTickCount = 0;
}

void OnlineMatchState::leave() {
    keepRecording();
    if (connection_ != nullptr) connection_->leave();
    session_.reset();
    connection_.reset();
    link_.reset();
    mapping_.reset();
}

void OnlineMatchState::notice(const std::string& text, bool toMenu) {
    keepRecording();
    session_.reset();
    message_ = text;
    noticeToMenu_ = toMenu;
    stage_ = Stage::Notice;
    stageTicks_ = 0;
}

void OnlineMatchState::sendControl(const ControlMessage& message) {
    uint8_t bytes[largestControlMessage];
    connection_->send(bytes, encodeControlMessage(message, bytes), true);
}

void OnlineMatchState::sendSetUp() {
    ControlMessage message;
    message.type = OnlineMessageType::SetUp;
    message.level = static_cast<uint8_t>(ownLevel_);
    message.ready = ownReady_;
    sendControl(message);
}

void OnlineMatchState::control(const ControlMessage& message) {
    switch (message.type) {
        case OnlineMessageType::SetUp:
            peerLevel_ = message.level;
            peerReady_ = message.ready;
            break;
        case OnlineMessageType::RoundStart:
            // Only the host starts rounds; the joiner starts one once its last has ended.
            if (hosting_) break;
            nextStart_ = message;
            pendingStart_ = true;
            break;
        case OnlineMessageType::Pause:
            if (stage_ != Stage::Playing) break;
            paused_ = message.paused;
            pausedByPeer_ = message.paused;
            break;
        default:
            break;
    }
}

void OnlineMatchState::pollNetwork(uint32_t now) {
    if (connection_ == nullptr) return;
    const OnlinePhase before = connection_->phase();
    NetEvent event;
    while (connection_->poll(now, event)) {
        if (event.size > 0 && event.data[0] == static_cast<uint8_t>(OnlineMessageType::Keys)) {
            if (session_ != nullptr) session_->receive(event.data, event.size);
            continue;
        }
        ControlMessage message;
        if (decodeControlMessage(event.data, event.size, message)) control(message);
    }
    const OnlinePhase phase = connection_->phase();
    if (phase == before || stage_ == Stage::Notice) return;
    if (phase == OnlinePhase::Playing && stage_ == Stage::Waiting) {
        stage_ = Stage::SetUp;
        ownReady_ = peerReady_ = false;
        tally_.reset();
        sendSetUp();
    } else if (phase == OnlinePhase::Left || phase == OnlinePhase::Lost) {
        // The host waits for the next player; the joiner has nobody left to play.
        const std::string text = connection_->problem();
        if (hosting_ && phase == OnlinePhase::Left) {
            keepRecording();
            session_.reset();
            std::string error;
            connection_->host(port_, error);
            stage_ = Stage::Waiting;
            message_ = text;
        } else {
            notice(text, true);
        }
    } else if (phase == OnlinePhase::Refused) {
        notice(connection_->problem(), true);
    } else if (phase == OnlinePhase::Hosting && !connection_->problem().empty()) {
        message_ = connection_->problem();
    }
}

void OnlineMatchState::beginRound(const ControlMessage& start) {
    ReplayHeader header;
    header.gameVersion = gameVersion();
    for (int side = 0; side < 2; ++side) {
        header.seats[side] = static_cast<uint8_t>(SlotSource::Pad);
        header.boards[side].level = static_cast<int16_t>(start.levels[side]);
        header.seeds[side] = start.seeds[side];
    }
    header.startTime = start.startTime;
    roundTime_ = start.startTime;
    roundNumber_ = start.round;
    round_->begin(header);
    round_->showOnLeft(localSide_);
    session_ = std::make_unique<OnlineSession>(*round_, localSide_, start.round);
    roundOpen_ = true;
    pendingKey_ = noOnlineKey;
    paused_ = pausedByPeer_ = false;
    stage_ = Stage::Playing;
    stageTicks_ = 0;
    message_.clear();
    lastKey = 0;
}

// Every online round is kept, finished, left or cut off; both sides' files are alike.
void OnlineMatchState::keepRecording() {
    if (!roundOpen_ || round_ == nullptr) return;
    roundOpen_ = false;
    const std::vector<uint8_t> bytes = round_->finishRecording();
    // The host's start time names it; the host's millisecond is not sent, so both sides count
    // from 0 and the name takes a number when it is taken.
    if (roundRecorder.keepFiles) keepReplayFile(bytes, roundTime_, 0);
}

// Beside the round's recording: what this side's round held when the two were found to differ.
void OnlineMatchState::keepDesyncDump(const std::string& update) {
    if (!roundRecorder.keepFiles) return;
    const std::string text = "differs at update " + update + "\nhash " +
                             std::to_string(round_->hashRound()) + "\n" +
                             describeRound(round_->state());
    const std::string name = "desync-" + std::to_string(roundTime_) + "-" + update + ".txt";
    GameFolder(replayFolder, true).add(name, std::vector<uint8_t>(text.begin(), text.end()));
}

void OnlineMatchState::endRound(const char* verdict) {
    keepRecording();
    message_ = verdict;
    stage_ = Stage::RoundOver;
    stageTicks_ = 0;
}

void OnlineMatchState::playTicks(int elapsed) {
    const int direction = keySetDirection(arrowKeySet, lastKey);
    if (direction != noMove) {
        pendingKey_ = static_cast<uint8_t>(direction + 1);
        lastKey = 0;
    }
    if (lastKey == KeyP) {
        lastKey = 0;
        paused_ = !paused_;
        pausedByPeer_ = false;
        ControlMessage pause;
        pause.type = OnlineMessageType::Pause;
        pause.paused = paused_;
        sendControl(pause);
    }
    if (paused_) {
        // Still heard while paused: a pause is not silence.
        if (session_ != nullptr && elapsed > 0) {
            uint8_t bytes[largestKeysMessage];
            connection_->send(bytes, session_->message(bytes), false);
        }
        return;
    }
    const int ticks = elapsed < ticksAtOnce ? elapsed : ticksAtOnce;
    for (int tick = 0; tick < ticks && session_ != nullptr; ++tick) {
        const SessionStep step = session_->tick(pendingKey_);
        if (step == SessionStep::Advanced) pendingKey_ = noOnlineKey;
        uint8_t bytes[largestKeysMessage];
        connection_->send(bytes, session_->message(bytes), false);
        if (step == SessionStep::Desynced) {
            const std::string text =
                "the two games differ at update " + std::to_string(session_->desyncUpdate());
            notice(text, true);
            return;
        }
        if (step == SessionStep::Ended) {
            const int winner = round_->winner();
            tally_.addRound(winner);
            endRound(winner < 0 ? "a draw" : winner == localSide_ ? "round won" : "round lost");
            return;
        }
    }
}

void OnlineMatchState::drawRoundScreen(int elapsed) {
    if (session_ == nullptr && !roundOpen_) {
        clear_to_color(backBuffer, 0);
    }
    round_->show();
    // Each side sees its own well on the left.
    if (localSide_ == RightSide) std::swap(*leftBoard, *rightBoard);
    // Paused, the effects hold still with the wells.
    drawRound(levelParams(leftBoard->level).background, *leftBoard, *rightBoard,
              paused_ ? 0 : elapsed);
    if (localSide_ == RightSide) std::swap(*leftBoard, *rightBoard);
    forgetDrawnRound();
    const std::string score = std::to_string(tally_.wins[localSide_]) + " : " +
                              std::to_string(tally_.wins[1 - localSide_]);
    drawCentred(4, score);
    if (connection_ != nullptr && connection_->interrupted(netTimeMs())) {
        drawCentred(200, "connection interrupted");
    } else if (paused_) {
        drawCentred(200, pausedByPeer_ ? "paused by the other player" : "paused");
    } else if (session_ != nullptr && session_->waitingTicks() > shownWaitTicks) {
        drawCentred(200, "waiting for the other player");
    }
    if (stage_ == Stage::RoundOver) drawCentred(200, message_);
}

void OnlineMatchState::drawWaiting() {
    clear_to_color(backBuffer, 0);
    int y = 120;
    if (hosting_) {
        drawCentred(y, "waiting for a player on port " + std::to_string(port_));
        y += 2 * lineHeight;
        if (hostAddresses_.empty()) {
            drawCentred(y, "no network found: only this computer can join, at");
            drawCentred(y + lineHeight, "127.0.0.1:" + std::to_string(port_));
            y += 2 * lineHeight;
        } else {
            drawCentred(y, "other computers join at");
            for (const std::string& address : hostAddresses_) {
                y += lineHeight;
                drawCentred(y, address);
            }
            y += lineHeight;
        }
        const std::string outside = mapping_ != nullptr ? mapping_->publicAddress() : "";
        if (!outside.empty()) {
            y += lineHeight;
            drawCentred(y, "from the internet at " + outside);
            y += lineHeight;
        }
    } else {
        drawCentred(y, "connecting to " + address_);
    }
    if (!message_.empty()) drawCentred(y + lineHeight, message_);
    drawCentred(400, "Esc: back");
}

void OnlineMatchState::drawSetUp() {
    clear_to_color(backBuffer, 0);
    drawCentred(40, "online match");
    drawCentred(120, "your level: " + std::to_string(ownLevel_) + (ownReady_ ? "  ready" : ""));
    drawCentred(120 + 2 * lineHeight, "the other player's level: " + std::to_string(peerLevel_) +
                                          (peerReady_ ? "  ready" : ""));
    if (!message_.empty()) drawCentred(260, message_);
    drawCentred(360, "Left, right: level    Enter: ready");
    drawCentred(360 + lineHeight, "Esc: leave");
}

// The host deals every round: both levels, the boards' seeds, and its clock for the name.
void OnlineMatchState::startNextRound() {
    ControlMessage start;
    start.type = OnlineMessageType::RoundStart;
    start.round = static_cast<uint8_t>(roundNumber_ + 1);
    start.levels[LeftSide] = static_cast<uint8_t>(ownLevel_ - 1);
    start.levels[RightSide] = static_cast<uint8_t>(peerLevel_ - 1);
    start.seeds[0] = boardSeed();
    start.seeds[1] = boardSeed() ^ 0x9e3779b9u;
    start.startTime = static_cast<int64_t>(std::time(nullptr));
    sendControl(start);
    beginRound(start);
}

bool OnlineMatchState::update() {
    const int elapsed = elapsedTicks();
    stageTicks_ += elapsed;
    pollNetwork(netTimeMs());
    if (lastKey == KeyEsc) {
        lastKey = 0;
        stateStack.pop();
        return true;
    }
    switch (stage_) {
        case Stage::Waiting:
            drawWaiting();
            break;
        case Stage::SetUp: {
            const int direction = keySetDirection(arrowKeySet, lastKey);
            if (!ownReady_ && (direction == 1 || direction == 3)) {
                ownLevel_ += direction == 1 ? 1 : -1;
                if (ownLevel_ < 1) ownLevel_ = 1;
                if (ownLevel_ > versusLevels) ownLevel_ = versusLevels;
                sendSetUp();
            }
            if (lastKey == KeyEnter) {
                ownReady_ = !ownReady_;
                sendSetUp();
            }
            lastKey = 0;
            if (hosting_ && ownReady_ && peerReady_) {
                startNextRound();
            } else if (!hosting_ && pendingStart_) {
                pendingStart_ = false;
                beginRound(nextStart_);
            }
            if (stage_ == Stage::SetUp) drawSetUp();
            break;
        }
        case Stage::Playing:
            playTicks(elapsed);
            if (stage_ == Stage::Playing || stage_ == Stage::RoundOver) drawRoundScreen(elapsed);
            break;
        case Stage::RoundOver:
            // The other side may still need keys to settle the round.
            if (session_ != nullptr) {
                session_->tick(noOnlineKey);
                uint8_t bytes[largestKeysMessage];
                connection_->send(bytes, session_->message(bytes), false);
            }
            drawRoundScreen(elapsed);
            lastKey = 0;
            if (stageTicks_ < roundOverTicks) break;
            if (tally_.over()) {
                message_ = tally_.matchWinner() == localSide_ ? "you won the match"
                                                              : "the other player won the match";
                tally_.reset();
                ownReady_ = peerReady_ = false;
                stage_ = Stage::SetUp;
                sendSetUp();
                break;
            }
            if (hosting_ && session_ != nullptr && session_->peerHasEverything()) {
                startNextRound();
            } else if (!hosting_ && pendingStart_) {
                pendingStart_ = false;
                beginRound(nextStart_);
            }
            break;
        case Stage::Notice:
            clear_to_color(backBuffer, 0);
            drawCentred(200, message_);
            if (noticeToMenu_ && (stageTicks_ >= noticeTicks || lastKey != 0)) {
                lastKey = 0;
                stateStack.pop();
                return true;
            }
            lastKey = 0;
            break;
    }
    lastTickCount += elapsed;
    return true;
}

}  // namespace vexlorn
