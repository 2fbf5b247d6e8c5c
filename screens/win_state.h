// The win screen after the last level, with rising balloons.
#pragma once

#include <cstdint>
#include <vector>

#include "frame/display_layout.h"
#include "frame/state_stack.h"
#include "frame/task_list.h"
#include "screens/screen_draw.h"

struct BITMAP;

namespace vexlorn {

class WinState : public BaseState {
public:
    void activate() override;
    bool update() override;
    // A balloon let go shows from the next update, tick or not.
    bool stillBetweenTicks() const override { return !letGo_; }
    bool takesLetters() const override;
    int lettersLeft() const override;
    void closing() override;

private:
    void drawBackground();

    // Where the last update drew over the picture.
    std::vector<Area> drawnAreas_;
    bool letGo_ = false;  // a balloon in the last update
    KeptFrame frame_;
};

class BalloonTask : public BaseTask {
public:
    bool update(BITMAP* target, int ticks) override;

    int32_t elapsed = 0;
    int32_t lifetime = 300;
    BITMAP* sprite = nullptr;
    float posX = 0, posY = 0;
    float velX = 0, velY = 0;
    float accX = -10, accY = -20;
};

void spawnBalloon();

extern WinState winState;

}  // namespace vexlorn
