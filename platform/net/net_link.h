// The one network connection of an online match: UDP on one port, one peer at a time, through
// ENet (which alone keeps order, repeats and splits messages). Only this layer knows the
// library; above it are names, ports, datagrams and events.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vexlorn {

inline constexpr uint16_t defaultOnlinePort = 27850;
// No message of the game is longer; ENet drops longer ones unread.
inline constexpr size_t largestNetMessage = 256;

// Why a connection was closed, as the other side is told.
enum class NetClose : uint32_t { Left = 1, Busy = 2, Refused = 3 };

enum class NetEventKind {
    Connected,
    Message,
    Closed,   // by the other side (`reason`), or silent too long (reason 0)
    Knocked,  // a third party tried to connect and was turned away
};

struct NetEvent {
    NetEventKind kind = NetEventKind::Message;
    uint8_t data[largestNetMessage] = {};
    size_t size = 0;
    uint32_t reason = 0;
};

// "name", "name:port", "1.2.3.4:port", "[v6 address]:port": the host part and the port (the
// default when none is given). False for anything else.
bool splitNetAddress(const std::string& text, std::string& host, uint16_t& port);

// Milliseconds of a steady clock.
uint32_t netTimeMs();

class NetLink {
public:
    NetLink();
    ~NetLink();
    NetLink(const NetLink&) = delete;
    NetLink& operator=(const NetLink&) = delete;

    // Listens on the port for one player; false with what failed and what to try. While no
    // player is connected it answers searches of the local network, naming `version`.
    bool host(uint16_t port, std::string& error, const std::string& version = "");
    // Starts connecting to a game hosting at the name or address; Connected follows, or Closed.
    bool join(const std::string& hostName, uint16_t port, std::string& error);
    // The next event, without waiting; false when there is none. Each call handles a bounded
    // number of datagrams, so a flood cannot hold the frame loop.
    bool poll(NetEvent& event);
    // To the peer, if there is one: unreliable messages may be lost or come out of order.
    void send(const uint8_t* data, size_t size, bool reliable);
    // Closes the connection, telling the peer why; the port stays open for the next player.
    // `afterSending`: what was sent reaches the peer first (a refusal's reason, say).
    void close(NetClose reason, bool afterSending = false);
    void shutDown();

    bool connected() const;
    uint32_t roundTripMs() const;
    // The address the link listens on, or talks to: "1.2.3.4:27850".
    uint16_t boundPort() const;
    std::string peerText() const;

private:
    // What hosting and joining both begin with: any earlier link ended, the library started.
    bool startAfresh(std::string& error);

    struct Library;
    std::unique_ptr<Library> library_;
};

// A game found hosting on the local network.
struct LanGame {
    std::string address;  // "192.168.1.5:27850", as joining takes it
    std::string version;
    uint64_t id = 0;
    uint32_t heardMs = 0;
};

enum class LanReach {
    Networks,      // every network this computer is on, and this computer
    ThisComputer,  // 127.0.0.1 only
};

// Asks the local networks every second which games host on a port, and lists those that
// answer until they fall silent.
class LanSearch {
public:
    static constexpr size_t mostGames = 6;

    LanSearch();
    ~LanSearch();
    LanSearch(const LanSearch&) = delete;
    LanSearch& operator=(const LanSearch&) = delete;

    // False where the network cannot be used; the list then stays empty.
    bool start(uint16_t port = defaultOnlinePort, LanReach reach = LanReach::Networks);
    // Asks when it is time, and reads a bounded number of answers, without waiting.
    void poll(uint32_t nowMs);
    void stop();
    const std::vector<LanGame>& games() const { return games_; }

private:
    void heard(const std::string& ip, uint32_t nowMs, const uint8_t* data, size_t size);
    void forgetSilent(uint32_t nowMs);

    struct Socket;
    std::unique_ptr<Socket> socket_;
    std::vector<std::string> targets_;
    std::vector<LanGame> games_;
    uint16_t port_ = defaultOnlinePort;
    uint32_t askedMs_ = 0;
    bool asked_ = false;
};

}  // namespace vexlorn
