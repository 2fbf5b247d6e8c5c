// The Windows build has no online play yet (its network library is not cross-built): no
// interface is listed, and the host screen that would list them is never reached.
#include "platform/net/net_interfaces.h"

namespace vexlorn {

std::vector<NetInterface> localNetInterfaces() {
    return {};
}

}  // namespace vexlorn
