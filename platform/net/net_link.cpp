// ENet behind the game's connection.
#include "platform/net/net_link.h"

#include <enet/enet.h>

#include <cstring>
#include <random>

#include "platform/net/lan_message.h"
#include "platform/net/net_interfaces.h"

namespace vexlorn {

namespace {

constexpr size_t channels = 2;  // 0: keys, unreliable; 1: everything else, reliable
// Two peers: the player, and room to turn a third party away with a reason.
constexpr size_t peerSlots = 2;
constexpr int eventsPerPoll = 64;
// ENet gives up on a peer silent this long; the game shows the silence long before.
constexpr uint32_t silenceLimitMs = 10000;

int libraryUsers = 0;

bool startLibrary() {
    if (libraryUsers == 0 && enet_initialize() != 0) return false;
    ++libraryUsers;
    return true;
}

void stopLibrary() {
    if (--libraryUsers == 0) enet_deinitialize();
}

// A host answers searches of the local network from its own socket, so that the one port a
// player opens serves both. ENet hands every datagram it reads to the host's intercept, which
// knows only the host: this table finds what to answer with.
struct LanAnswerer {
    ENetHost* host = nullptr;
    ENetPeer* const* peer = nullptr;  // the link's player: a game that has one is not offered
    uint8_t answer[lanMessageSize] = {};
    uint32_t windowMs = 0;
    int answersInWindow = 0;
};
constexpr int answererSlots = 4;
LanAnswerer answerers[answererSlots];
// A flood of questions gets this many answers a second, no more.
constexpr int answersPerSecond = 20;

int answerLanSearch(ENetHost* host, ENetEvent* event) {
    (void)event;
    LanMessage question;
    if (!decodeLanMessage(host->receivedData, host->receivedDataLength, question) ||
        question.answer) {
        return 0;  // ENet's own, or garbage ENet throws away
    }
    for (LanAnswerer& answerer : answerers) {
        if (answerer.host != host) continue;
        if (*answerer.peer != nullptr) return 1;
        const uint32_t now = enet_time_get();
        if (now - answerer.windowMs >= 1000) {
            answerer.windowMs = now;
            answerer.answersInWindow = 0;
        }
        if (answerer.answersInWindow >= answersPerSecond) return 1;
        ++answerer.answersInWindow;
        ENetBuffer buffer;
        buffer.data = answerer.answer;
        buffer.dataLength = sizeof answerer.answer;
        enet_socket_send(host->socket, &host->receivedAddress, &buffer, 1);
        return 1;
    }
    return 1;
}

void stopAnswering(const ENetHost* host) {
    for (LanAnswerer& answerer : answerers) {
        if (answerer.host == host) answerer = LanAnswerer{};
    }
}

uint64_t randomId() {
    std::random_device device;
    return static_cast<uint64_t>(device()) << 32 | device();
}

std::string addressText(const ENetAddress& address) {
    char ip[64] = "?";
    enet_address_get_host_ip(&address, ip, sizeof ip);
    return std::string(ip) + ":" + std::to_string(address.port);
}

}  // namespace

uint32_t netTimeMs() {
    return enet_time_get();
}

struct NetLink::Library {
    bool started = false;
    ENetHost* host = nullptr;
    ENetPeer* peer = nullptr;
    uint16_t port = 0;
};

NetLink::NetLink() : library_(std::make_unique<Library>()) {}

NetLink::~NetLink() {
    shutDown();
}

bool NetLink::startAfresh(std::string& error) {
    shutDown();
    if (!startLibrary()) {
        error = "the network cannot be used";
        return false;
    }
    library_->started = true;
    return true;
}

bool NetLink::host(uint16_t port, std::string& error, const std::string& version) {
    if (!startAfresh(error)) return false;
    ENetAddress address{};
    address.host = ENET_HOST_ANY;
    address.port = port;
    library_->host = enet_host_create(&address, peerSlots, channels, 0, 0);
    if (library_->host == nullptr) {
        error = "port " + std::to_string(port) +
                " cannot be opened — is another program using it? Try another port.";
        return false;
    }
    library_->host->maximumPacketSize = largestNetMessage;
    library_->port = port;
    LanMessage answer;
    answer.answer = true;
    answer.port = port;
    answer.id = randomId();
    answer.version = version.substr(0, longestLanVersion);
    for (LanAnswerer& answerer : answerers) {
        if (answerer.host != nullptr || !encodeLanMessage(answer, answerer.answer)) continue;
        answerer.host = library_->host;
        answerer.peer = &library_->peer;
        library_->host->intercept = answerLanSearch;
        break;
    }
    return true;
}

bool NetLink::join(const std::string& hostName, uint16_t port, std::string& error) {
    if (!startAfresh(error)) return false;
    ENetAddress address{};
    address.port = port;
    if (hostName.find(':') != std::string::npos) {
        error = "this game reaches IPv4 addresses only — try the other computer's IPv4 address";
        return false;
    }
    if (enet_address_set_host(&address, hostName.c_str()) != 0) {
        error = "no address found for " + hostName + " — is the name right?";
        return false;
    }
    library_->host = enet_host_create(nullptr, 1, channels, 0, 0);
    if (library_->host == nullptr) {
        error = "the network cannot be used";
        return false;
    }
    library_->host->maximumPacketSize = largestNetMessage;
    library_->peer = enet_host_connect(library_->host, &address, channels, 0);
    if (library_->peer == nullptr) {
        error = "the network cannot be used";
        return false;
    }
    enet_peer_timeout(library_->peer, 0, silenceLimitMs, silenceLimitMs);
    library_->port = port;
    return true;
}

bool NetLink::poll(NetEvent& event) {
    if (library_->host == nullptr) return false;
    ENetEvent got;
    for (int i = 0; i < eventsPerPoll; ++i) {
        if (enet_host_service(library_->host, &got, 0) <= 0) return false;
        switch (got.type) {
            case ENET_EVENT_TYPE_CONNECT:
                if (library_->peer == nullptr || library_->peer == got.peer) {
                    library_->peer = got.peer;
                    enet_peer_timeout(got.peer, 0, silenceLimitMs, silenceLimitMs);
                    event.kind = NetEventKind::Connected;
                    return true;
                }
                enet_peer_disconnect(got.peer, static_cast<uint32_t>(NetClose::Busy));
                event.kind = NetEventKind::Knocked;
                return true;
            case ENET_EVENT_TYPE_RECEIVE: {
                const bool ours =
                    got.peer == library_->peer && got.packet->dataLength <= largestNetMessage;
                if (ours) {
                    event.kind = NetEventKind::Message;
                    event.size = got.packet->dataLength;
                    std::memcpy(event.data, got.packet->data, event.size);
                }
                enet_packet_destroy(got.packet);
                if (ours) return true;
                break;
            }
            case ENET_EVENT_TYPE_DISCONNECT:
                if (got.peer != library_->peer) break;
                library_->peer = nullptr;
                event.kind = NetEventKind::Closed;
                event.reason = got.data;
                return true;
            case ENET_EVENT_TYPE_NONE:
                return false;
        }
    }
    return false;
}

void NetLink::send(const uint8_t* data, size_t size, bool reliable) {
    if (!connected() || size > largestNetMessage) return;
    ENetPacket* packet = enet_packet_create(
        data, size, reliable ? ENET_PACKET_FLAG_RELIABLE : ENET_PACKET_FLAG_UNSEQUENCED);
    if (packet == nullptr) return;
    if (enet_peer_send(library_->peer, reliable ? 1 : 0, packet) != 0) {
        enet_packet_destroy(packet);
    }
    enet_host_flush(library_->host);
}

void NetLink::close(NetClose reason, bool afterSending) {
    if (library_->peer == nullptr) return;
    if (afterSending) {
        enet_peer_disconnect_later(library_->peer, static_cast<uint32_t>(reason));
        enet_host_flush(library_->host);
    } else {
        enet_peer_disconnect_now(library_->peer, static_cast<uint32_t>(reason));
    }
    library_->peer = nullptr;
}

void NetLink::shutDown() {
    close(NetClose::Left);
    stopAnswering(library_->host);
    if (library_->host != nullptr) enet_host_destroy(library_->host);
    library_->host = nullptr;
    if (library_->started) stopLibrary();
    library_->started = false;
}

bool NetLink::connected() const {
    return library_->peer != nullptr && library_->peer->state == ENET_PEER_STATE_CONNECTED;
}

uint32_t NetLink::roundTripMs() const {
    return library_->peer != nullptr ? library_->peer->roundTripTime : 0;
}

uint16_t NetLink::boundPort() const {
    return library_->host != nullptr ? library_->host->address.port : 0;
}

std::string NetLink::peerText() const {
    return library_->peer != nullptr ? addressText(library_->peer->address) : "";
}

// The search's own socket, able to broadcast.
struct LanSearch::Socket {
    ENetSocket socket = ENET_SOCKET_NULL;
    bool started = false;
};

namespace {

// Answers read in one poll: a flood waits in the socket's buffer, and the kernel drops the rest.
constexpr int answersPerPoll = 32;
constexpr uint32_t askEveryMs = 1000;

}  // namespace

LanSearch::LanSearch() : socket_(std::make_unique<Socket>()) {}

LanSearch::~LanSearch() {
    stop();
}

bool LanSearch::start(uint16_t port, LanReach reach) {
    stop();
    games_.clear();
    port_ = port;
    asked_ = false;
    if (!startLibrary()) return false;
    socket_->started = true;
    socket_->socket = enet_socket_create(ENET_SOCKET_TYPE_DATAGRAM);
    if (socket_->socket == ENET_SOCKET_NULL) return false;
    enet_socket_set_option(socket_->socket, ENET_SOCKOPT_NONBLOCK, 1);
    ENetAddress any{};
    any.host = ENET_HOST_ANY;
    any.port = 0;
    if (enet_socket_bind(socket_->socket, &any) != 0) {
        stop();
        return false;
    }
    targets_ = {"127.0.0.1"};
    if (reach == LanReach::Networks) {
        enet_socket_set_option(socket_->socket, ENET_SOCKOPT_BROADCAST, 1);
        targets_.push_back("255.255.255.255");
        for (const NetInterface& network : localNetInterfaces()) {
            if (!network.broadcast.empty()) targets_.push_back(network.broadcast);
        }
    }
    return true;
}

void LanSearch::poll(uint32_t nowMs) {
    if (socket_->socket == ENET_SOCKET_NULL) return;
    if (!asked_ || nowMs - askedMs_ >= askEveryMs) {
        asked_ = true;
        askedMs_ = nowMs;
        uint8_t question[lanMessageSize];
        encodeLanMessage(LanMessage{}, question);
        for (const std::string& target : targets_) {
            ENetAddress address{};
            address.port = port_;
            if (enet_address_set_host_ip(&address, target.c_str()) != 0) continue;
            ENetBuffer buffer;
            buffer.data = question;
            buffer.dataLength = sizeof question;
            enet_socket_send(socket_->socket, &address, &buffer, 1);
        }
    }
    for (int i = 0; i < answersPerPoll; ++i) {
        // Room for one byte more than an answer: a longer datagram shows as too long.
        uint8_t data[lanMessageSize + 1];
        ENetBuffer buffer;
        buffer.data = data;
        buffer.dataLength = sizeof data;
        ENetAddress from{};
        const int got = enet_socket_receive(socket_->socket, &from, &buffer, 1);
        if (got == 0) break;
        if (got < 0) continue;  // too long for any answer, or an error of the last send
        char ip[64] = "";
        if (enet_address_get_host_ip(&from, ip, sizeof ip) != 0) continue;
        heard(ip, nowMs, data, static_cast<size_t>(got));
    }
    forgetSilent(nowMs);
}

void LanSearch::stop() {
    if (socket_->socket != ENET_SOCKET_NULL) enet_socket_destroy(socket_->socket);
    socket_->socket = ENET_SOCKET_NULL;
    if (socket_->started) stopLibrary();
    socket_->started = false;
}

}  // namespace vexlorn
