// Where a match between two computers begins from the versus set-up: host a game, or join
// one by its address or from those found on this network.
#pragma once

#include <string>

#include "frame/state_stack.h"
#include "platform/net/net_link.h"
#include "screens/address_entry.h"

namespace vexlorn {

class OnlineSetupState : public BaseState {
public:
    void enter() override;
    void activate() override;
    bool update() override;
    void leave() override;

    // The rows, top to bottom; the games found follow the address.
    enum Row { HostRow = 0, AddressRow = 1 };
    int selected = HostRow;
    AddressEntry address;
    // What went wrong last, and what to try.
    std::string problem;
    // Games hosting on the local network, listed under the address.
    LanSearch search;
    LanReach searchReach = LanReach::Networks;

private:
    void handleKey();
    void take();
    int rowCount() const;
    void draw() const;
};

extern OnlineSetupState onlineSetupState;

}  // namespace vexlorn
