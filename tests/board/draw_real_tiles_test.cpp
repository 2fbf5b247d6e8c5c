// The board drawn with the data file's own tiles over a level backdrop, against a picture
// composed pixel by pixel from the same tiles.
#include <allegro.h>
#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>

#include "assets/assets.h"
#include "board/board_draw.h"
#include "test_support/headless_allegro.h"
#include "test_support/test_datafile.h"

namespace vexlorn {
namespace {

constexpr int x0 = leftBoardX;
constexpr int y0 = boardScreenY;

class RealTilesDrawTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { loaded = loadTestAssets(); }
    static void TearDownTestSuite() {
        if (loaded) freeTestAssets();
        loaded = false;
    }

    void SetUp() override {
        ASSERT_TRUE(loaded);
        text_mode(-1);
        backdrop = dataBitmap(ObjLevelBackdrop0);
        ASSERT_NE(backdrop, nullptr);
        drawn = create_bitmap(screenWidth, screenHeight);
        expected = create_bitmap(screenWidth, screenHeight);
        std::memset(&board, 0, sizeof board);
        board.topRow = 1;
        board.riseStep = 1;
    }
    void TearDown() override {
        if (expected != nullptr) destroy_bitmap(expected);
        if (drawn != nullptr) destroy_bitmap(drawn);
    }

    void startFrame() {
        blit(backdrop, drawn, 0, 0, 0, 0, screenWidth, screenHeight);
        blit(backdrop, expected, 0, 0, 0, 0, screenWidth, screenHeight);
    }

    void setCell(int column, int row, CellKind kind, CellState state = Idle, int timer = 0,
                 int colour = 0) {
        board.at(column, row) = Cell{kind, colour, state, timer, 0};
    }

    // One tile composed into the expected picture inside the window, with the mask colour left
    // out; opacity 128 mixes each channel halfway, rounded down.
    void compose(BITMAP* tile, int left, int top, int opacity = 255) {
        int mask = bitmap_mask_color(tile);
        for (int j = 0; j < tile->h; ++j) {
            for (int i = 0; i < tile->w; ++i) {
                int x = left + i, y = top + j;
                if (x < x0 || x > x0 + 191 || y < y0 || y > y0 + 382) continue;
                int s = getpixel(tile, i, j);
                if (s == mask) continue;
                if (opacity == 128) {
                    int d = getpixel(expected, x, y);
                    s = makecol((getr(s) + getr(d)) / 2, (getg(s) + getg(d)) / 2,
                                (getb(s) + getb(d)) / 2);
                }
                putpixel(expected, x, y, s);
            }
        }
    }

    int differences() const {
        int count = 0;
        for (int y = 0; y < screenHeight; ++y) {
            for (int x = 0; x < screenWidth; ++x) {
                count += getpixel(drawn, x, y) != getpixel(expected, x, y);
            }
        }
        return count;
    }

    static inline bool loaded = false;
    BITMAP* drawn = nullptr;  // what drawBoard draws into
    BITMAP* backdrop = nullptr;
    BITMAP* expected = nullptr;
    Board board;
};

TEST_F(RealTilesDrawTest, CellsAtRiseStepOneAndThirtyTwo) {
    setCell(0, 1, Bomb);                // danger row
    setCell(2, 2, Block, Idle, 0, 3);   // first play row
    setCell(5, 12, Block, Idle, 0, 6);  // last shown row
    setCell(1, 7, Stone);
    setCell(4, 9, Avatar);
    for (int rise : {1, 32}) {
        startFrame();
        board.riseStep = static_cast<int16_t>(rise);
        drawBoard(drawn, board, x0, y0, 0);
        compose(bombTile, x0, y0 - rise);
        compose(blockTiles[3], x0 + 64, y0 + 32 - rise);
        compose(blockTiles[6], x0 + 160, y0 + 352 - rise);
        compose(stoneTile, x0 + 32, y0 + 192 - rise);
        compose(avatarFrames[0], x0 + 128, y0 + 256 - rise);
        EXPECT_EQ(differences(), 0) << "riseStep " << rise;
    }
}

TEST_F(RealTilesDrawTest, ClearingCellsFade) {
    struct Case {
        int timer, opacity;
    };
    for (Case c : {Case{0, 255}, Case{15, 128}, Case{30, 0}}) {
        startFrame();
        setCell(1, 4, Block, Clearing, c.timer, 2);
        setCell(3, 4, Stone, Clearing, c.timer);
        drawBoard(drawn, board, x0, y0, 0);
        if (c.opacity > 0) {
            compose(blockTiles[2], x0 + 32, y0 + 95, c.opacity);
            compose(stoneTile, x0 + 96, y0 + 95, c.opacity);
        }
        EXPECT_EQ(differences(), 0) << "timer " << c.timer;
    }
}

TEST_F(RealTilesDrawTest, BlastFramesOverAndThenInsteadOfTheTile) {
    struct Case {
        int timer, frame;
        bool tileShows;
    };
    for (Case c : {Case{8, 3, true}, Case{9, 4, false}, Case{30, 14, false}}) {
        startFrame();
        setCell(2, 6, Block, Blasting, c.timer, 5);
        drawBoard(drawn, board, x0, y0, 0);
        if (c.tileShows) compose(blockTiles[5], x0 + 64, y0 + 159);
        compose(blastFrames[c.frame], x0 + 64, y0 + 159);
        EXPECT_EQ(differences(), 0) << "timer " << c.timer;
    }
}

TEST_F(RealTilesDrawTest, IncomingRowPeeksUnderTheWindow) {
    board.topRow = 4;  // incoming row 16
    setCell(0, 16, Block, Idle, 0, 1);
    setCell(2, 16, Bomb);
    setCell(3, 16, Stone);
    setCell(5, 16, Block, Idle, 0, 7);
    for (int rise : {1, 9, 32}) {
        startFrame();
        board.riseStep = static_cast<int16_t>(rise);
        drawBoard(drawn, board, x0, y0, 0);
        int top = y0 + 384 - rise;
        compose(incomingTiles[1], x0, top);
        compose(bombTile, x0 + 64, top);
        compose(stoneTile, x0 + 96, top);
        compose(incomingTiles[7], x0 + 160, top);
        EXPECT_EQ(differences(), 0) << "riseStep " << rise;
    }
}

}  // namespace
}  // namespace vexlorn
