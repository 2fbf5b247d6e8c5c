// Pop-up pictures and flying tiles, as tasks in the task list.
#pragma once

#include <cstdint>

#include "board/board.h"
#include "frame/task_list.h"

struct BITMAP;

namespace vexlorn {

// A picture that pops up at twice its size, settles, then rises 40 pixels while fading.
class FloatTask : public BaseTask {
public:
    FloatTask(int32_t delay, int32_t duration, BITMAP* bitmap, int16_t x, int16_t y)
        : delay(delay), duration(duration), bitmap(bitmap), x(x), y(y) {}
    bool update(BITMAP* target, int ticks) override;

    int32_t age = 0;
    int32_t delay;
    int32_t duration;
    BITMAP* bitmap;
    int16_t x;
    int16_t y;
};

// A tile flying off under gravity while fading.
class FallTask : public BaseTask {
public:
    bool update(BITMAP* target, int ticks) override;

    int32_t age = 0;
    int32_t duration = 90;
    BITMAP* bitmap = nullptr;
    float x = 0, y = 0;
    float vx = 0, vy = 0;
    float ax = 0, ay = 0.05f;
};

// Every shown tile of the board becomes a FallTask; the shown cells become Empty and Idle.
void shatterBoard(Board& board, int x0);

}  // namespace vexlorn
