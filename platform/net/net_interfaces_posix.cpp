// The interfaces as the kernel lists them.
#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

#include "platform/net/net_interfaces.h"

namespace vexlorn {

namespace {

// More than a screen can show; a machine with dozens of virtual networks lists its first.
constexpr size_t mostInterfaces = 6;

std::string ipText(const sockaddr* address) {
    if (address == nullptr || address->sa_family != AF_INET) return "";
    char text[INET_ADDRSTRLEN] = "";
    const auto* ipv4 = reinterpret_cast<const sockaddr_in*>(address);
    if (inet_ntop(AF_INET, &ipv4->sin_addr, text, sizeof text) == nullptr) return "";
    return text;
}

}  // namespace

std::vector<NetInterface> localNetInterfaces() {
    std::vector<NetInterface> found;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) return found;
    for (const ifaddrs* entry = list; entry != nullptr && found.size() < mostInterfaces;
         entry = entry->ifa_next) {
        if ((entry->ifa_flags & IFF_UP) == 0 || (entry->ifa_flags & IFF_LOOPBACK) != 0) continue;
        NetInterface interface;
        interface.address = ipText(entry->ifa_addr);
        if (interface.address.empty()) continue;
        if ((entry->ifa_flags & IFF_BROADCAST) != 0) {
            interface.broadcast = ipText(entry->ifa_broadaddr);
        }
        found.push_back(interface);
    }
    freeifaddrs(list);
    return found;
}

}  // namespace vexlorn
