// A back buffer and synthetic tiles of distinct solid colours for the board drawing tests.
#pragma once

#include <allegro.h>
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "assets/assets.h"
#include "assets/translucent.h"
#include "board/board.h"
#include "frame/globals.h"
#include "test_support/headless_allegro.h"

namespace vexlorn {

// Solid tiles; blast frames are only a 4-pixel border so the cell's own tile shows through.
class DrawFixture : public ::testing::Test {
protected:
    static constexpr int blastBorder = 4;

    void SetUp() override {
        ensureHeadlessAllegro();
        text_mode(-1);
        saveGlobals();
        background = makecol(0, 64, 0);
        backBuffer = create_bitmap(screenWidth, screenHeight);
        clear_to_color(backBuffer, background);
        int id = 0;
        for (BITMAP*& tile : blockTiles) tile = solidTile(id++);
        for (BITMAP*& tile : incomingTiles) tile = solidTile(id++);
        for (BITMAP*& tile : avatarFrames) tile = solidTile(id++);
        for (BITMAP*& tile : blastFrames) {
            tile = solidTile(id++);
            rectfill(tile, blastBorder, blastBorder, 31 - blastBorder, 31 - blastBorder,
                     bitmap_mask_color(tile));
        }
        bombTile = solidTile(id++);
        stoneTile = solidTile(id++);
        gameFont = font;
        tickCount = 0;
        std::memset(&board, 0, sizeof board);
        board.topRow = 1;
        board.riseStep = 1;
    }

    void TearDown() override {
        for (BITMAP* tile : created) destroy_bitmap(tile);
        destroy_bitmap(backBuffer);
        restoreGlobals();
    }

    // Every tile gets its own colour; none is magenta or the background.
    BITMAP* solidTile(int id) {
        BITMAP* tile = create_bitmap(32, 32);
        clear_to_color(tile, makecol(40 + 5 * id, 250 - 5 * id, (60 + 37 * id) % 200));
        created.push_back(tile);
        return tile;
    }

    static int colourOf(BITMAP* tile) { return getpixel(tile, 16, 16); }
    static int borderOf(BITMAP* tile) { return getpixel(tile, 0, 0); }
    int at(int x, int y) const { return getpixel(backBuffer, x, y); }

    // Each channel of s over d at opacity 128: the halfway mix, rounded down.
    static int halfway(int s, int d) {
        return makecol((getr(s) + getr(d)) / 2, (getg(s) + getg(d)) / 2, (getb(s) + getb(d)) / 2);
    }

    // The stand-in draws nothing; tests of the translucent cells wait for the real one.
    static bool translucentDrawReady() {
        BITMAP* sprite = create_bitmap(1, 1);
        BITMAP* target = create_bitmap(1, 1);
        clear_to_color(sprite, makecol(255, 255, 255));
        clear_to_color(target, 0);
        translucentDraw(sprite, target, 0, 0, 255);
        bool ready = getpixel(target, 0, 0) == makecol(255, 255, 255);
        destroy_bitmap(sprite);
        destroy_bitmap(target);
        return ready;
    }

    void setCell(int column, int row, CellKind kind, CellState state = Idle, int timer = 0,
                 int colour = 0) {
        Cell& cell = board.at(column, row);
        cell.kind = kind;
        cell.colour = colour;
        cell.state = state;
        cell.timer = timer;
    }

    Board board;
    int background = 0;
    std::vector<BITMAP*> created;

private:
    void saveGlobals() {
        savedBuffer = backBuffer;
        savedFont = gameFont;
        std::memcpy(savedBlock, blockTiles, sizeof savedBlock);
        std::memcpy(savedIncoming, incomingTiles, sizeof savedIncoming);
        std::memcpy(savedBlast, blastFrames, sizeof savedBlast);
        std::memcpy(savedAvatar, avatarFrames, sizeof savedAvatar);
        savedBomb = bombTile;
        savedStone = stoneTile;
        savedTicks = tickCount;
    }
    void restoreGlobals() {
        backBuffer = savedBuffer;
        gameFont = savedFont;
        std::memcpy(blockTiles, savedBlock, sizeof savedBlock);
        std::memcpy(incomingTiles, savedIncoming, sizeof savedIncoming);
        std::memcpy(blastFrames, savedBlast, sizeof savedBlast);
        std::memcpy(avatarFrames, savedAvatar, sizeof savedAvatar);
        bombTile = savedBomb;
        stoneTile = savedStone;
        tickCount = savedTicks;
    }

    BITMAP* savedBuffer = nullptr;
    FONT* savedFont = nullptr;
    BITMAP* savedBlock[8] = {};
    BITMAP* savedIncoming[8] = {};
    BITMAP* savedBlast[15] = {};
    BITMAP* savedAvatar[6] = {};
    BITMAP* savedBomb = nullptr;
    BITMAP* savedStone = nullptr;
    int savedTicks = 0;
};

}  // namespace vexlorn
