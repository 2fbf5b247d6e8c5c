// This computer's own addresses, as other computers on its networks reach it.
#pragma once

#include <string>
#include <vector>

namespace vexlorn {

struct NetInterface {
    std::string address;    // "192.168.1.5"
    std::string broadcast;  // "192.168.1.255"; empty where the network has none
};

// The IPv4 networks this computer is on, loopback left out, at most a handful.
std::vector<NetInterface> localNetInterfaces();

}  // namespace vexlorn
