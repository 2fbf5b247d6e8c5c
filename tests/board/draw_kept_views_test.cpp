// The board windows draw the same pixels whatever was drawn before and into whichever buffer.
#include <allegro.h>
#include <gtest/gtest.h>

#include <cstring>

#include "board/board_draw.h"
#include "board/draw_fixture.h"

namespace vexlorn {
namespace {

class KeptViewsTest : public DrawFixture {
protected:
    // A window with every kind of drawing in it: fading, falling, blasting, avatar, incoming.
    void fillBoard() {
        for (int column = 0; column < boardColumns; ++column) {
            for (int row = 4; row < boardRows; ++row)
                setCell(column, row, Block, Idle, 0, (column + 2 * row) % blockColours);
        }
        setCell(0, 5, Block, Clearing, 10, 3);
        setCell(1, 6, Stone, Clearing, 25);
        setCell(2, 7, Block, Falling, 3, 4);
        setCell(3, 8, Bomb, Blasting, 6);
        setCell(4, 9, Avatar, Swapping, 2);
        board.riseStep = 17;
    }

    // The board alone at (x, y) in a fresh buffer of the given size.
    BITMAP* drawn(int width, int height, int x, int y) {
        BITMAP* picture = create_bitmap(width, height);
        clear_to_color(picture, background);
        drawBoard(picture, board, x, y, drawTick);
        return picture;
    }

    static bool same(BITMAP* a, BITMAP* b) {
        for (int y = 0; y < screenHeight; ++y) {
            if (std::memcmp(a->line[y], b->line[y], screenWidth * 4) != 0) return false;
        }
        return true;
    }
};

TEST_F(KeptViewsTest, SameBoardSamePixelsAcrossBuffersPlacesAndReplacedBuffers) {
    fillBoard();
    BITMAP* first = drawn(screenWidth, screenHeight, leftBoardX, boardScreenY);
    // Other places and a larger buffer in between push the first view out.
    BITMAP* right = drawn(screenWidth, screenHeight, rightBoardX, boardScreenY);
    BITMAP* clipped = drawn(screenWidth, screenHeight, -40, -30);
    BITMAP* larger = drawn(screenWidth + 64, screenHeight + 32, leftBoardX, boardScreenY);
    BITMAP* again = drawn(screenWidth, screenHeight, leftBoardX, boardScreenY);
    EXPECT_TRUE(same(first, again));
    EXPECT_TRUE(same(first, larger));
    EXPECT_FALSE(same(first, right));
    EXPECT_FALSE(same(first, clipped));

    // A buffer freed and another made in its place (often at the same address) is drawn into,
    // not the memory of the old one.
    destroy_bitmap(again);
    BITMAP* replaced = drawn(screenWidth, screenHeight, leftBoardX, boardScreenY);
    EXPECT_TRUE(same(first, replaced));
    destroy_bitmap(replaced);
    destroy_bitmap(first);

    for (BITMAP* bitmap : {right, clipped, larger}) destroy_bitmap(bitmap);
}

}  // namespace
}  // namespace vexlorn
