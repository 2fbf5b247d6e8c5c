// A picture to draw into and synthetic tiles of distinct solid colours for the board drawing
// tests.
#pragma once

#include <allegro.h>
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "assets/assets.h"
#include "board/board.h"
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
        buffer = create_bitmap(screenWidth, screenHeight);
        clear_to_color(buffer, background);
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
        std::memset(&board, 0, sizeof board);
        board.topRow = 1;
        board.riseStep = 1;
    }

    void TearDown() override {
        for (BITMAP* tile : created) destroy_bitmap(tile);
        destroy_bitmap(buffer);
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
    int at(int x, int y) const { return getpixel(buffer, x, y); }

    // Each channel of s over d at opacity 128: the halfway mix, rounded down.
    static int halfway(int s, int d) {
        return makecol((getr(s) + getr(d)) / 2, (getg(s) + getg(d)) / 2, (getb(s) + getb(d)) / 2);
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
    BITMAP* buffer = nullptr;  // what the tests draw into
    int drawTick = 0;          // the game clock they draw at
    int background = 0;
    std::vector<BITMAP*> created;

private:
    void saveGlobals() {
        savedFont = gameFont;
        std::memcpy(savedBlock, blockTiles, sizeof savedBlock);
        std::memcpy(savedIncoming, incomingTiles, sizeof savedIncoming);
        std::memcpy(savedBlast, blastFrames, sizeof savedBlast);
        std::memcpy(savedAvatar, avatarFrames, sizeof savedAvatar);
        savedBomb = bombTile;
        savedStone = stoneTile;
    }
    void restoreGlobals() {
        gameFont = savedFont;
        std::memcpy(blockTiles, savedBlock, sizeof savedBlock);
        std::memcpy(incomingTiles, savedIncoming, sizeof savedIncoming);
        std::memcpy(blastFrames, savedBlast, sizeof savedBlast);
        std::memcpy(avatarFrames, savedAvatar, sizeof savedAvatar);
        bombTile = savedBomb;
        stoneTile = savedStone;
    }

    FONT* savedFont = nullptr;
    BITMAP* savedBlock[8] = {};
    BITMAP* savedIncoming[8] = {};
    BITMAP* savedBlast[15] = {};
    BITMAP* savedAvatar[6] = {};
    BITMAP* savedBomb = nullptr;
    BITMAP* savedStone = nullptr;
};

}  // namespace vexlorn
