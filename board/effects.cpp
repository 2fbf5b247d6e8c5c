// Pop-up pictures, flying tiles, and a board shattered into flying tiles.
#include "board/effects.h"

#include <allegro.h>

#include "assets/assets.h"
#include "assets/translucent.h"
#include "board/board_draw.h"
#include "board/game_random.h"
#include "frame/picture_changes.h"

namespace vexlorn {

namespace {

constexpr int floatRise = 40;
constexpr int shatterDuration = 90;
constexpr float shatterGravity = 0.05f;

// One of -2.9, -2.8, ..., 3.0 pixels per tick.
float shatterSpeed() {
    return static_cast<float>(30 - gameRand() % 60) / 10.0f;
}

BITMAP* shownTile(const Cell& cell) {
    switch (cell.kind) {
        case Block:
            return cell.colour >= 0 && cell.colour < blockColours ? blockTiles[cell.colour]
                                                                  : nullptr;
        case Stone:
            return stoneTile;
        case Bomb:
            return bombTile;
        case Avatar:
            return avatarFrames[0];
        default:
            return nullptr;
    }
}

// A tile that finds no memory simply does not fly.
void throwTile(const Cell& cell, float x, float y) {
    FallTask* task = new (std::nothrow) FallTask;
    if (task == nullptr) return;
    task->bitmap = shownTile(cell);
    task->x = x;
    task->y = y;
    task->vx = shatterSpeed();
    task->vy = shatterSpeed();
    task->ax = 0.0f;
    task->ay = shatterGravity;
    task->duration = shatterDuration;
    taskList.add(task);
}

}  // namespace

// The surplus of ticks over the remaining delay is dropped, not carried into age.
bool FloatTask::update(BITMAP* target, int ticks) {
    if (delay >= 1) {
        delay = ticks > delay ? 0 : delay - ticks;
        return true;
    }
    age += ticks;
    if (age > duration) return false;
    int half = duration / 2;
    if (bitmap == nullptr || half <= 0) return true;
    int bw = bitmap->w;
    int bh = bitmap->h;
    if (age > 0 && age < half) {
        int w = bw + (half - age) * bw / half;
        int h = bh + (half - age) * bh / half;
        stretch_sprite(target, bitmap, x - w / 2, y - h / 2, w, h);
        markChanged(Area{x - w / 2, y - h / 2, w, h});
    } else if (age >= half && age < duration) {
        int opacity = (2 * half - age) * 255 / half;
        int rise = (half - age) * floatRise / half;
        translucentDraw(bitmap, target, x - bw / 2, y - bh / 2 + rise, opacity);
        markChanged(Area{x - bw / 2, y - bh / 2 + rise, bw, bh});
    }
    return true;
}

// Speeds first, then positions with the new speeds, every step rounded to float as it goes.
bool FallTask::update(BITMAP* target, int ticks) {
    age += ticks;
    if (age > duration) return false;
    float t = static_cast<float>(ticks);
    vx = vx + ax * t;
    vy = vy + ay * t;
    x = x + vx * t;
    y = y + vy * t;
    if (bitmap != nullptr && duration > 0) {
        int opacity = 255 - 255 * age / duration;
        translucentDraw(bitmap, target, static_cast<int>(x), static_cast<int>(y), opacity);
        markChanged(Area{static_cast<int>(x), static_cast<int>(y), bitmap->w, bitmap->h});
    }
    return true;
}

void shatterBoard(Board& board, int x0) {
    int end = windowEnd(board);
    for (int c = 0; c < boardColumns; ++c) {
        for (int r = board.topRow; r < end; ++r) {
            Cell& cell = board.at(c, r);
            if (cell.kind == Block || cell.kind == Stone || cell.kind == Bomb ||
                cell.kind == Avatar) {
                throwTile(
                    cell, static_cast<float>(x0 + 32 * c),
                    static_cast<float>(boardScreenY + 32 * (r - board.topRow) - board.riseStep));
            }
            // The end screen goes on updating the shattered copy: a cell left mid-swap or
            // mid-fall would finish its move there and bring a tile back into the empty well.
            cell.kind = Empty;
            cell.state = Idle;
            cell.timer = 0;
        }
    }
}

}  // namespace vexlorn
