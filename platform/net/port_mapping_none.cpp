// A build without the UPnP library: no router is asked, and no outside address shown.
#include "platform/net/port_mapping.h"

namespace vexlorn {

struct PortMapping::Worker {};

PortMapping::PortMapping() = default;
PortMapping::~PortMapping() = default;

void PortMapping::start(uint16_t port) {
    (void)port;
}

std::string PortMapping::publicAddress() const {
    return "";
}

}  // namespace vexlorn
