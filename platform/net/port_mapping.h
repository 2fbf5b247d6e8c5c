// Asking the router to pass a port through to this computer (UPnP), so that players outside
// the local network can join without the port forwarded by hand. Never needed on a LAN, and
// optional: where no router answers, or it refuses, nothing shows but the missing address.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace vexlorn {

class PortMapping {
public:
    PortMapping();
    // Takes the mapping away again.
    ~PortMapping();
    PortMapping(const PortMapping&) = delete;
    PortMapping& operator=(const PortMapping&) = delete;

    // Asks in the background: the router takes a second or more to find.
    void start(uint16_t port);
    // "203.0.113.5:27850" once the router has passed the port; empty before, and when it did not.
    std::string publicAddress() const;

private:
    struct Worker;
    std::unique_ptr<Worker> worker_;
};

}  // namespace vexlorn
