// A build without a network library: every connection is refused with the reason.
#include <chrono>

#include "platform/net/net_link.h"

namespace vexlorn {

namespace {

constexpr const char* missing = "this build of the game has no online play";

}  // namespace

uint32_t netTimeMs() {
    using namespace std::chrono;
    return static_cast<uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

struct NetLink::Library {};

NetLink::NetLink() : library_(std::make_unique<Library>()) {}
NetLink::~NetLink() = default;

bool NetLink::host(uint16_t port, std::string& error, const std::string& version) {
    (void)port;
    (void)version;
    error = missing;
    return false;
}

bool NetLink::join(const std::string& hostName, uint16_t port, std::string& error) {
    (void)hostName;
    (void)port;
    error = missing;
    return false;
}

bool NetLink::poll(NetEvent& event) {
    (void)event;
    return false;
}

void NetLink::send(const uint8_t* data, size_t size, bool reliable) {
    (void)data;
    (void)size;
    (void)reliable;
}

void NetLink::close(NetClose reason, bool afterSending) {
    (void)reason;
    (void)afterSending;
}

void NetLink::shutDown() {}

bool NetLink::connected() const {
    return false;
}

uint32_t NetLink::roundTripMs() const {
    return 0;
}

uint16_t NetLink::boundPort() const {
    return 0;
}

std::string NetLink::peerText() const {
    return "";
}

struct LanSearch::Socket {};

LanSearch::LanSearch() = default;
LanSearch::~LanSearch() = default;

bool LanSearch::start(uint16_t port, LanReach reach) {
    (void)port;
    (void)reach;
    return false;
}

void LanSearch::poll(uint32_t nowMs) {
    (void)nowMs;
}

void LanSearch::stop() {}

}  // namespace vexlorn
