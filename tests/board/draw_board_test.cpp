// The board window on a memory back buffer: rise, slide, fade, blast, avatar, incoming row, frame.
#include <gtest/gtest.h>

#include "board/board_draw.h"
#include "draw_fixture.h"

namespace vexlorn {
namespace {

using BoardDrawTest = DrawFixture;

constexpr int x0 = leftBoardX;
constexpr int y0 = boardScreenY;

TEST_F(BoardDrawTest, WindowRisesByRiseStepPixels) {
    setCell(0, 1, Bomb);  // danger row
    setCell(2, 2, Bomb);

    board.riseStep = 1;
    drawBoard(buffer, board, x0, y0, drawTick);
    // The danger row shows one line less than its height; the row under it starts at 31.
    EXPECT_EQ(at(x0 + 16, y0), colourOf(bombTile));
    EXPECT_EQ(at(x0 + 16, y0 + 30), colourOf(bombTile));
    EXPECT_EQ(at(x0 + 16, y0 + 31), background);
    EXPECT_EQ(at(x0 + 64 + 16, y0 + 30), background);
    EXPECT_EQ(at(x0 + 64 + 16, y0 + 31), colourOf(bombTile));
    EXPECT_EQ(at(x0 + 64 + 16, y0 + 62), colourOf(bombTile));
    EXPECT_EQ(at(x0 + 64 + 16, y0 + 63), background);
    EXPECT_EQ(at(x0 + 16, y0 - 1), background);

    clear_to_color(buffer, background);
    board.riseStep = 32;
    drawBoard(buffer, board, x0, y0, drawTick);
    // A whole row has risen: the danger row is gone and the next sits exactly at the top.
    EXPECT_EQ(at(x0 + 16, y0), background);
    EXPECT_EQ(at(x0 + 64 + 16, y0), colourOf(bombTile));
    EXPECT_EQ(at(x0 + 64 + 16, y0 + 31), colourOf(bombTile));
    EXPECT_EQ(at(x0 + 64 + 16, y0 + 32), background);
}

TEST_F(BoardDrawTest, ColumnsAndLastRowSitOnTheirGrid) {
    board.riseStep = 1;
    setCell(5, 12, Bomb);  // last shown row, last column
    drawBoard(buffer, board, x0, y0, drawTick);
    EXPECT_EQ(at(x0 + 160, y0 + 351), colourOf(bombTile));
    EXPECT_EQ(at(x0 + 191, y0 + 382), colourOf(bombTile));
    EXPECT_EQ(at(x0 + 159, y0 + 382), background);
    EXPECT_EQ(at(x0 + 191, y0 + 350), background);
}

TEST_F(BoardDrawTest, FallingCellSlidesDownFromTheRowAbove) {
    board.riseStep = 1;
    int cellTop = y0 + 32 * 5 - 1;  // row 6
    setCell(1, 6, Bomb, Falling, 0);
    drawBoard(buffer, board, x0, y0, drawTick);
    EXPECT_EQ(at(x0 + 48, cellTop - 32), colourOf(bombTile));
    EXPECT_EQ(at(x0 + 48, cellTop - 1), colourOf(bombTile));
    EXPECT_EQ(at(x0 + 48, cellTop), background);

    clear_to_color(buffer, background);
    setCell(1, 6, Bomb, Falling, 6);  // 24 of the 32 pixels down
    drawBoard(buffer, board, x0, y0, drawTick);
    EXPECT_EQ(at(x0 + 48, cellTop - 9), background);
    EXPECT_EQ(at(x0 + 48, cellTop - 8), colourOf(bombTile));
    EXPECT_EQ(at(x0 + 48, cellTop + 23), colourOf(bombTile));
    EXPECT_EQ(at(x0 + 48, cellTop + 24), background);

    clear_to_color(buffer, background);
    setCell(1, 6, Bomb, Landed, 0);
    drawBoard(buffer, board, x0, y0, drawTick);
    EXPECT_EQ(at(x0 + 48, cellTop), colourOf(bombTile));
    EXPECT_EQ(at(x0 + 48, cellTop - 1), background);
}

TEST_F(BoardDrawTest, ClearingCellFadesOutOverThirtyTicks) {
    board.riseStep = 1;
    int px = x0 + 32 * 2 + 16, py = y0 + 32 * 3 + 15;  // centre of cell (2, 4)
    int tile = colourOf(blockTiles[5]);

    setCell(2, 4, Block, Clearing, 0, 5);
    drawBoard(buffer, board, x0, y0, drawTick);
    EXPECT_EQ(at(px, py), tile);

    clear_to_color(buffer, background);
    setCell(2, 4, Block, Clearing, 15, 5);  // opacity 255 - 127 = 128
    drawBoard(buffer, board, x0, y0, drawTick);
    EXPECT_EQ(at(px, py), halfway(tile, background));

    clear_to_color(buffer, background);
    setCell(2, 4, Block, Clearing, 30, 5);
    drawBoard(buffer, board, x0, y0, drawTick);
    EXPECT_EQ(at(px, py), background);

    // Stones fade the same way; bombs never fade.
    clear_to_color(buffer, background);
    setCell(2, 4, Stone, Clearing, 15);
    setCell(3, 4, Bomb, Clearing, 15);
    drawBoard(buffer, board, x0, y0, drawTick);
    EXPECT_EQ(at(px, py), halfway(colourOf(stoneTile), background));
    EXPECT_EQ(at(px + 32, py), colourOf(bombTile));
}

TEST_F(BoardDrawTest, BlockAndStoneCellsUseTheirTiles) {
    board.riseStep = 1;
    for (int colour = 0; colour < 6; ++colour) setCell(colour, 5, Block, Idle, 0, colour);
    setCell(0, 6, Block, Idle, 0, 7);
    setCell(1, 6, Stone);
    drawBoard(buffer, board, x0, y0, drawTick);
    for (int colour = 0; colour < 6; ++colour) {
        EXPECT_EQ(at(x0 + 32 * colour + 16, y0 + 32 * 4 + 15), colourOf(blockTiles[colour]));
    }
    EXPECT_EQ(at(x0 + 16, y0 + 32 * 5 + 15), colourOf(blockTiles[7]));
    EXPECT_EQ(at(x0 + 48, y0 + 32 * 5 + 15), colourOf(stoneTile));
}

TEST_F(BoardDrawTest, BlastShowsTheTileForFourFramesThenTheBlastAlone) {
    board.riseStep = 1;
    int left = x0 + 32 * 3, top = y0 + 32 * 6 - 1;  // cell (3, 7)
    struct Case {
        int timer;
        int frame;
        bool tileShows;
    };
    for (Case c : {Case{0, 0, true}, Case{8, 3, true}, Case{9, 4, false}, Case{30, 14, false}}) {
        clear_to_color(buffer, background);
        setCell(3, 7, Bomb, Blasting, c.timer);
        drawBoard(buffer, board, x0, y0, drawTick);
        SCOPED_TRACE(c.timer);
        EXPECT_EQ(at(left, top), borderOf(blastFrames[c.frame]));
        EXPECT_EQ(at(left + 31, top + 31), borderOf(blastFrames[c.frame]));
        EXPECT_EQ(at(left + 16, top + 16), c.tileShows ? colourOf(bombTile) : background);
    }
}

TEST_F(BoardDrawTest, AvatarShowsItsSwapFrame) {
    board.riseStep = 1;
    int left = x0 + 32, top = y0 + 32 * 10 - 1;  // cell (1, 11)
    setCell(1, 11, Avatar);
    drawBoard(buffer, board, x0, y0, drawTick);
    EXPECT_EQ(at(left + 16, top + 16), colourOf(avatarFrames[0]));

    for (int timer = 0; timer <= 5; ++timer) {
        setCell(1, 11, Avatar, Swapping, timer);
        drawBoard(buffer, board, x0, y0, drawTick);
        EXPECT_EQ(at(left + 16, top + 16), colourOf(avatarFrames[timer]));
    }
    // Drawn before the rules carry the swap out: the last frame holds.
    setCell(1, 11, Avatar, Swapping, 6);
    drawBoard(buffer, board, x0, y0, drawTick);
    EXPECT_EQ(at(left + 16, top + 16), colourOf(avatarFrames[5]));

    clear_to_color(buffer, background);
    setCell(1, 11, Avatar, Falling, 4);
    drawBoard(buffer, board, x0, y0, drawTick);
    EXPECT_EQ(at(left + 16, top - 16), colourOf(avatarFrames[0]));
    EXPECT_EQ(at(left + 16, top + 16), background);
}

TEST_F(BoardDrawTest, IncomingRowShowsRiseStepMinusOneLines) {
    board.topRow = 1;  // incoming row 13
    setCell(0, 13, Block, Idle, 0, 2);
    setCell(1, 13, Stone);
    setCell(2, 13, Bomb);
    setCell(3, 13, Block, Clearing, 15, 6);  // no fading under the window
    int below = y0 + 383;

    board.riseStep = 1;
    drawBoard(buffer, board, x0, y0, drawTick);
    for (int c = 0; c < 6; ++c) EXPECT_EQ(at(x0 + 32 * c + 16, below - 1), background);

    board.riseStep = 5;
    drawBoard(buffer, board, x0, y0, drawTick);
    EXPECT_EQ(at(x0 + 16, below - 4), colourOf(incomingTiles[2]));
    EXPECT_EQ(at(x0 + 16, below - 1), colourOf(incomingTiles[2]));
    EXPECT_EQ(at(x0 + 16, below - 5), background);
    EXPECT_EQ(at(x0 + 48, below - 1), colourOf(stoneTile));
    EXPECT_EQ(at(x0 + 80, below - 1), colourOf(bombTile));
    EXPECT_EQ(at(x0 + 112, below - 1), colourOf(incomingTiles[6]));
    EXPECT_EQ(at(x0 + 144, below - 1), background);
    for (int c = 0; c < 6; ++c) EXPECT_EQ(at(x0 + 32 * c + 16, below), background);
}

TEST_F(BoardDrawTest, IncomingRowEndsWithTheWell) {
    board.riseStep = 20;
    for (int c = 0; c < 6; ++c) setCell(c, 35, Bomb);

    board.topRow = 23;  // row 35 is still the incoming row
    drawBoard(buffer, board, x0, y0, drawTick);
    EXPECT_EQ(at(x0 + 16, y0 + 382), colourOf(bombTile));
    EXPECT_EQ(at(x0 + 16, y0 + 383), background);

    clear_to_color(buffer, background);
    board.topRow = 24;  // row 35 is the window's last row; nothing lies under it
    drawBoard(buffer, board, x0, y0, drawTick);
    EXPECT_EQ(at(x0 + 16, y0 + 382 - 20), colourOf(bombTile));
    EXPECT_EQ(at(x0 + 16, y0 + 382), background);

    clear_to_color(buffer, background);
    board.topRow = 25;
    drawBoard(buffer, board, x0, y0, drawTick);
    EXPECT_EQ(at(x0 + 16, y0 + 32 * 10 - 20), colourOf(bombTile));
    EXPECT_EQ(at(x0 + 16, y0 + 32 * 11 - 20), background);
    EXPECT_EQ(at(x0 + 16, y0 + 382), background);
}

TEST_F(BoardDrawTest, WarningFrameAppearsWhenTheSecondPlayRowHoldsAnything) {
    board.topRow = 4;
    board.riseStep = 10;
    for (int c = 0; c < 6; ++c) setCell(c, 7, Bomb);  // topRow + 3
    drawTick = 30;
    drawBoard(buffer, board, x0, y0, drawTick);
    EXPECT_EQ(at(x0 - 2, y0 - 2), background);

    setCell(4, 6, Avatar);  // topRow + 2
    drawBoard(buffer, board, x0, y0, drawTick);
    int red = makecol(255, 0, 0);
    for (int inset = -2; inset <= 2; ++inset) {
        SCOPED_TRACE(inset);
        EXPECT_EQ(at(x0 + inset, y0 + 100), red);
        EXPECT_EQ(at(x0 + 191 - inset, y0 + 100), red);
        EXPECT_EQ(at(x0 + 100, y0 + inset), red);
        EXPECT_EQ(at(x0 + 100, y0 + 382 - inset), red);
    }
    EXPECT_EQ(at(x0 - 3, y0 + 100), background);
    EXPECT_EQ(at(x0 + 194, y0 + 100), background);
    EXPECT_EQ(at(x0 + 100, y0 - 3), background);
    EXPECT_EQ(at(x0 + 100, y0 + 385), background);
    // The frame is five nested one-pixel rectangles, two outside the window to two inside;
    // every pixel of the picture as they would draw it, corners included.
    BITMAP* nested = create_bitmap(buffer->w, buffer->h);
    clear_to_color(nested, background);
    clear_to_color(buffer, background);
    for (int inset = 2; inset >= -2; --inset)
        rect(nested, x0 + inset, y0 + inset, x0 + 191 - inset, y0 + 382 - inset, red);
    drawWarningFrame(buffer, board, x0, y0, drawTick);
    for (int y = 0; y < buffer->h; ++y) {
        for (int x = 0; x < buffer->w; ++x) {
            ASSERT_EQ(getpixel(nested, x, y), at(x, y)) << x << "," << y;
        }
    }
    destroy_bitmap(nested);
}

TEST_F(BoardDrawTest, WarningFramePulsesAlongASixtyTickTriangle) {
    setCell(0, board.topRow + 2, Block, Idle, 0, 1);
    struct Case {
        int ticks;
        int red;
    };
    for (Case c : {Case{0, 0}, Case{1, 8}, Case{15, 127}, Case{30, 255}, Case{31, 247},
                   Case{45, 128}, Case{59, 9}, Case{60, 0}, Case{630, 255}}) {
        drawTick = c.ticks;
        drawBoard(buffer, board, x0, y0, drawTick);
        SCOPED_TRACE(c.ticks);
        EXPECT_EQ(at(x0 - 2, y0 - 2), makecol(c.red, 0, 0));
        EXPECT_EQ(at(x0 + 193, y0 + 384), makecol(c.red, 0, 0));
    }
}

// Every kind in every state, the danger row fading and a fall sliding above the window.
void fillBusyBoard(Board& board, bool warning) {
    const CellKind kinds[] = {Block, Stone, Bomb, Block, Block, Stone};
    const CellState states[] = {Idle, Clearing, Blasting, Falling, Landed, Clearing};
    for (int r = 0; r < boardRows; ++r) {
        for (int c = 0; c < boardColumns; ++c) {
            Cell& cell = board.at(c, r);
            cell.kind = kinds[(r + c) % 6];
            cell.colour = (r * 3 + c) % 8;
            cell.state = states[(r + 2 * c) % 6];
            cell.timer = (r * 7 + c * 5) % 31;
            if (cell.state == Falling) cell.timer %= 9;
        }
    }
    Cell& avatar = board.at(2, board.topRow + 5);
    avatar.kind = Avatar;
    avatar.state = Idle;
    if (!warning) {
        for (int c = 0; c < boardColumns; ++c) board.at(c, board.topRow + 2).kind = Empty;
    }
}

bool insideWindow(int x, int y) {
    return x >= x0 && x <= x0 + 191 && y >= y0 && y <= y0 + 382;
}
bool onFrame(int x, int y) {
    return x >= x0 - 2 && x <= x0 + 193 && y >= y0 - 2 && y <= y0 + 384 &&
           !(x >= x0 + 3 && x <= x0 + 188 && y >= y0 + 3 && y <= y0 + 379);
}

TEST_F(BoardDrawTest, NothingIsDrawnOutsideTheWindowButTheFrame) {
    for (bool warning : {false, true}) {
        for (int rise : {1, 13, 32}) {
            for (int top : {1, 20, 23, 24, 29}) {
                clear_to_color(buffer, background);
                board.topRow = top;
                board.riseStep = rise;
                fillBusyBoard(board, warning);
                drawTick = 30;
                drawBoard(buffer, board, x0, y0, drawTick);
                int stray = 0, frame = 0, inside = 0;
                for (int y = 0; y < screenHeight; ++y) {
                    for (int x = 0; x < screenWidth; ++x) {
                        if (at(x, y) == background) continue;
                        if (insideWindow(x, y)) {
                            ++inside;
                        } else if (onFrame(x, y)) {
                            ++frame;
                        } else {
                            ++stray;
                        }
                    }
                }
                SCOPED_TRACE(testing::Message() << warning << " " << rise << " " << top);
                EXPECT_EQ(stray, 0);
                EXPECT_GT(inside, 0);
                EXPECT_EQ(frame > 0, warning);
            }
        }
    }
}

TEST_F(BoardDrawTest, DrawingLeavesTheBoardAsItWas) {
    fillBusyBoard(board, true);
    Board before = board;
    drawLeftBoard(buffer, board, drawTick);
    drawRightBoard(buffer, board, drawTick);
    EXPECT_EQ(std::memcmp(&before, &board, sizeof board), 0);
}

// The panel against the same texts drawn straight with the font.
TEST_F(BoardDrawTest, PanelShowsRowsLeftLevelAndScore) {
    struct Case {
        int topRow, level, score;
        const char* rows;
        const char* levelText;
        const char* scoreText;
    };
    BITMAP* expected = create_bitmap(screenWidth, screenHeight);
    for (Case c : {Case{1, 0, 0, "30", "1", "00000"}, Case{17, 4, 42, "14", "5", "00042"},
                   Case{29, 2, 123456, "2", "3", "123456"}}) {
        board.topRow = static_cast<int16_t>(c.topRow);
        board.level = static_cast<int16_t>(c.level);
        board.score = c.score;
        for (int panelX : {28, 558}) {
            clear_to_color(buffer, background);
            clear_to_color(expected, background);
            if (panelX == 28) {
                drawLeftBoard(buffer, board, drawTick);
            } else {
                drawRightBoard(buffer, board, drawTick);
            }
            textout(expected, font, c.rows, panelX, 64, -1);
            textout(expected, font, c.levelText, panelX, 139, -1);
            textout(expected, font, c.scoreText, panelX, 219, -1);
            int differing = 0;
            for (int y = 0; y < screenHeight; ++y) {
                for (int x = panelX - 28; x < panelX + 72; ++x) {
                    if (getpixel(expected, x, y) != at(x, y)) ++differing;
                }
            }
            SCOPED_TRACE(testing::Message() << c.scoreText << " at " << panelX);
            EXPECT_EQ(differing, 0);
        }
    }
    destroy_bitmap(expected);
}

TEST_F(BoardDrawTest, BothBoardsLandAtTheirScreenPositions) {
    setCell(0, 2, Bomb);
    drawLeftBoard(buffer, board, drawTick);
    drawRightBoard(buffer, board, drawTick);
    EXPECT_EQ(at(104, 46 + 31), colourOf(bombTile));
    EXPECT_EQ(at(345, 46 + 31), colourOf(bombTile));
    EXPECT_EQ(at(103, 46 + 31), background);
    EXPECT_EQ(at(344, 46 + 31), background);
}

}  // namespace
}  // namespace vexlorn
