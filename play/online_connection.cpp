// The greeting and the watch over the connection.
#include "play/online_connection.h"

#include <cstring>

#include "play/online_message.h"

namespace vexlorn {

uint64_t onlineDigest(const uint8_t* data, size_t size) {
    uint64_t hash = 14695981039346656037ull;
    for (size_t i = 0; i < size; ++i) hash = (hash ^ data[i]) * 1099511628211ull;
    return hash;
}

bool OnlineConnection::host(uint16_t port, std::string& error) {
    hosting_ = true;
    problem_.clear();
    if (!link_.host(port, error, own_.version)) {
        phase_ = OnlinePhase::Closed;
        return false;
    }
    phase_ = OnlinePhase::Hosting;
    return true;
}

bool OnlineConnection::join(const std::string& address, std::string& error) {
    hosting_ = false;
    problem_.clear();
    std::string name;
    uint16_t port = defaultOnlinePort;
    if (!splitNetAddress(address, name, port)) {
        error = "\"" + address + "\" is not an address — try NAME, NAME:PORT or [IPv6]:PORT";
        return false;
    }
    target_ = (name.find(':') != std::string::npos ? "[" + name + "]" : name) + ":" +
              std::to_string(port);
    if (!link_.join(name, port, error)) {
        phase_ = OnlinePhase::Closed;
        return false;
    }
    phase_ = OnlinePhase::Joining;
    knockTimed_ = false;
    return true;
}

std::string OnlineConnection::versionText(uint16_t protocol, const std::string& version) const {
    return "version " + (version.empty() ? std::string("?") : version) + " (protocol " +
           std::to_string(protocol) + ")";
}

// Before the greeting the host answers nothing but a well-formed hello, and then in kind.
void OnlineConnection::greet(const NetEvent& event) {
    HelloMessage hello;
    if (!decodeHelloMessage(event.data, event.size, hello)) {
        link_.close(NetClose::Refused);
        phase_ = hosting_ ? OnlinePhase::Hosting : OnlinePhase::Refused;
        if (!hosting_) problem_ = target_ + " is not a game of this kind";
        return;
    }
    const bool same = hello.protocol == own_.protocol && own_.version == hello.version &&
                      hello.digest == own_.digest;
    const std::string theirs = versionText(hello.protocol, hello.version);
    const std::string ours = versionText(own_.protocol, own_.version);
    std::string difference = "the other game is " + theirs + ", this one " + ours;
    if (same == false && hello.protocol == own_.protocol && own_.version == hello.version) {
        difference = "the other game's data file differs from this one's (" + ours + ")";
    }
    if (hosting_) {
        if (hello.type != OnlineMessageType::Hello) {
            link_.close(NetClose::Refused);
            phase_ = OnlinePhase::Hosting;
            return;
        }
        HelloMessage reply;
        reply.type = OnlineMessageType::HelloReply;
        reply.protocol = own_.protocol;
        std::strncpy(reply.version, own_.version.c_str(), longestHelloVersion);
        reply.digest = own_.digest;
        reply.accepted = same;
        uint8_t bytes[helloSize];
        link_.send(bytes, encodeHelloMessage(reply, bytes), true);
        if (same) {
            phase_ = OnlinePhase::Playing;
            problem_.clear();
        } else {
            // The host keeps waiting for a player who can play; it says whom it turned away.
            link_.close(NetClose::Refused, true);
            phase_ = OnlinePhase::Hosting;
            problem_ = "a player was turned away: " + difference;
        }
        return;
    }
    if (hello.type != OnlineMessageType::HelloReply) return;
    if (hello.accepted && same) {
        phase_ = OnlinePhase::Playing;
        return;
    }
    link_.close(NetClose::Refused);
    phase_ = OnlinePhase::Refused;
    problem_ = "refused: " + difference + " — both players need the same version";
}

bool OnlineConnection::poll(uint32_t nowMs, NetEvent& message) {
    NetEvent event;
    while (link_.poll(event)) {
        switch (event.kind) {
            case NetEventKind::Knocked:
                ++knocks_;
                break;
            case NetEventKind::Connected:
                lastHeardMs_ = nowMs;
                phase_ = OnlinePhase::Greeting;
                if (!hosting_) {
                    HelloMessage hello;
                    hello.protocol = own_.protocol;
                    std::strncpy(hello.version, own_.version.c_str(), longestHelloVersion);
                    hello.digest = own_.digest;
                    uint8_t bytes[helloSize];
                    link_.send(bytes, encodeHelloMessage(hello, bytes), true);
                }
                break;
            case NetEventKind::Closed:
                if (phase_ == OnlinePhase::Refused) break;
                if (hosting_) {
                    if (phase_ == OnlinePhase::Playing) {
                        phase_ = event.reason == static_cast<uint32_t>(NetClose::Left)
                                     ? OnlinePhase::Left
                                     : OnlinePhase::Lost;
                    } else {
                        phase_ = OnlinePhase::Hosting;
                    }
                } else if (phase_ == OnlinePhase::Joining) {
                    phase_ = OnlinePhase::Lost;
                    problem_ =
                        "no answer from " + target_ + " — is that game hosting, and its port open?";
                } else if (event.reason == static_cast<uint32_t>(NetClose::Busy)) {
                    phase_ = OnlinePhase::Refused;
                    problem_ = target_ + " already has a player";
                } else if (event.reason == static_cast<uint32_t>(NetClose::Left)) {
                    phase_ = OnlinePhase::Left;
                } else {
                    phase_ = OnlinePhase::Lost;
                }
                if (phase_ == OnlinePhase::Lost && problem_.empty()) problem_ = "connection lost";
                if (phase_ == OnlinePhase::Left) problem_ = "the other player left";
                break;
            case NetEventKind::Message:
                lastHeardMs_ = nowMs;
                if (phase_ == OnlinePhase::Greeting) {
                    greet(event);
                    break;
                }
                if (phase_ != OnlinePhase::Playing) break;
                message = event;
                return true;
        }
    }
    if (phase_ == OnlinePhase::Joining) {
        if (!knockTimed_) {
            knockTimed_ = true;
            lastHeardMs_ = nowMs;
        } else if (nowMs - lastHeardMs_ >= joinAnswerMs) {
            link_.close(NetClose::Left);
            phase_ = OnlinePhase::Lost;
            problem_ = "no answer from " + target_ + " — is that game hosting, and its port open?";
        }
        return false;
    }
    if ((phase_ == OnlinePhase::Playing || phase_ == OnlinePhase::Greeting) &&
        nowMs - lastHeardMs_ >= lostAfterMs) {
        link_.close(NetClose::Refused);
        phase_ = OnlinePhase::Lost;
        problem_ = "connection lost";
    }
    return false;
}

void OnlineConnection::send(const uint8_t* data, size_t size, bool reliable) {
    if (phase_ == OnlinePhase::Playing) link_.send(data, size, reliable);
}

void OnlineConnection::leave() {
    link_.close(NetClose::Left);
    phase_ = OnlinePhase::Closed;
}

bool OnlineConnection::interrupted(uint32_t nowMs) const {
    return phase_ == OnlinePhase::Playing && nowMs - lastHeardMs_ >= interruptedAfterMs;
}

}  // namespace vexlorn
