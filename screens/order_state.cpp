// Stand-in until this screen is built.
#include "screens/order_state.h"

namespace vexlorn {

OrderState orderState;

void OrderState::enter() {}
bool OrderState::update() { return true; }
const OrderOption orderOptions[2] = {{39, 16, 368}, {38, 186, 368}};
const char linkFileName[] = "vexlorn.url";

}  // namespace vexlorn
