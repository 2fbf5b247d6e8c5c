// Addresses as players type them.
#include "platform/net/net_link.h"

namespace vexlorn {

namespace {

bool parsePort(const std::string& text, uint16_t& port) {
    if (text.empty() || text.size() > 5) return false;
    uint32_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + static_cast<uint32_t>(c - '0');
    }
    if (value == 0 || value > 65535) return false;
    port = static_cast<uint16_t>(value);
    return true;
}

}  // namespace

bool splitNetAddress(const std::string& text, std::string& host, uint16_t& port) {
    port = defaultOnlinePort;
    if (text.empty() || text.size() > 255) return false;
    if (text[0] == '[') {
        const size_t close = text.find(']');
        if (close == std::string::npos || close == 1) return false;
        host = text.substr(1, close - 1);
        if (close + 1 == text.size()) return true;
        return text[close + 1] == ':' && parsePort(text.substr(close + 2), port);
    }
    const size_t colon = text.find(':');
    if (colon == std::string::npos) {
        host = text;
        return true;
    }
    // Two colons without brackets: an IPv6 address with no port.
    if (text.find(':', colon + 1) != std::string::npos) {
        host = text;
        return true;
    }
    host = text.substr(0, colon);
    return !host.empty() && parsePort(text.substr(colon + 1), port);
}

}  // namespace vexlorn
