// The order page: visit the website or go back.
#pragma once

#include <cstdint>

#include "frame/state_stack.h"
#include "screens/screen_draw.h"

namespace vexlorn {

struct OrderOption {
    int32_t object;
    int32_t x;
    int32_t y;
};

inline constexpr int orderOptionCount = 2;
// Unsized here so that its definition, with a static_assert on its length, sets the size.
extern const OrderOption orderOptions[];
extern const char linkFileName[];

class OrderState : public BaseState {
public:
    void enter() override;
    bool update() override;
    bool stillBetweenTicks() const override { return true; }

    int32_t selected = 0;

private:
    void draw();

    KeptFrame frame_;
    int32_t drawnSelected_ = -1;
};

extern OrderState orderState;

}  // namespace vexlorn
