// Drawing a board's window, incoming row, warning frame and side panel, and the grey filter.
#include "board/board_draw.h"

#include <allegro.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "assets/assets.h"
#include "assets/translucent.h"
#include "frame/picture_changes.h"

namespace vexlorn {

namespace {

static_assert(blockTileCount == blockColours, "a tile for every block colour");
constexpr int windowWidth = boardColumns * tileSize;  // 192
// Rows climb at least one pixel, so the window never needs its 384th line.
constexpr int windowHeight = windowRows * tileSize - 1;
constexpr int clearingTicks = 30;
constexpr int lastBlastFrame = blastFrameCount - 1;
constexpr int lastAvatarFrame = avatarFrameCount - 1;
constexpr int warningPeriod = 60;
constexpr int lastIncomingTopRow = 23;

constexpr int panelRowsLeftY = 64;
constexpr int panelLevelY = 139;
constexpr int panelScoreY = 219;

// The grey filter must give exactly the reference's pixels: the same double products of
// 0.299, 0.587 and 0.114, summed in the same order and truncated. Single precision or integer
// weights differ wherever the luminance lands on a whole number.
struct GreyLayout {
    int redShift = _rgb_r_shift_32;
    int greenShift = _rgb_g_shift_32;
    int blueShift = _rgb_b_shift_32;
    uint32_t grey(int v) const {
        return static_cast<uint32_t>(v) << redShift | static_cast<uint32_t>(v) << greenShift |
               static_cast<uint32_t>(v) << blueShift;
    }
};

void greyRowScalar(const uint32_t* from, uint32_t* to, int count, const GreyLayout& layout) {
    for (int x = 0; x < count; ++x) {
        uint32_t p = from[x];
        int r = static_cast<int>((p >> layout.redShift) & 0xff);
        int g = static_cast<int>((p >> layout.greenShift) & 0xff);
        int b = static_cast<int>((p >> layout.blueShift) & 0xff);
        to[x] = layout.grey(static_cast<int>(0.299 * r + 0.587 * g + 0.114 * b));
    }
}

#ifdef __SSE2__
// Four pixels at a time, two doubles per register: the same multiplications and additions as
// the scalar code, lane by lane.
__m128d luminance(__m128i r, __m128i g, __m128i b) {
    __m128d red = _mm_mul_pd(_mm_cvtepi32_pd(r), _mm_set1_pd(0.299));
    __m128d green = _mm_mul_pd(_mm_cvtepi32_pd(g), _mm_set1_pd(0.587));
    __m128d blue = _mm_mul_pd(_mm_cvtepi32_pd(b), _mm_set1_pd(0.114));
    return _mm_add_pd(_mm_add_pd(red, green), blue);
}

void greyRow(const uint32_t* from, uint32_t* to, int count, const GreyLayout& layout) {
    const __m128i byte = _mm_set1_epi32(0xff);
    const __m128i redShift = _mm_cvtsi32_si128(layout.redShift);
    const __m128i greenShift = _mm_cvtsi32_si128(layout.greenShift);
    const __m128i blueShift = _mm_cvtsi32_si128(layout.blueShift);
    int x = 0;
    for (; x + 4 <= count; x += 4) {
        __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + x));
        __m128i r = _mm_and_si128(_mm_srl_epi32(p, redShift), byte);
        __m128i g = _mm_and_si128(_mm_srl_epi32(p, greenShift), byte);
        __m128i b = _mm_and_si128(_mm_srl_epi32(p, blueShift), byte);
        __m128i low = _mm_cvttpd_epi32(luminance(r, g, b));
        __m128i high = _mm_cvttpd_epi32(
            luminance(_mm_srli_si128(r, 8), _mm_srli_si128(g, 8), _mm_srli_si128(b, 8)));
        __m128i v = _mm_unpacklo_epi64(low, high);
        __m128i grey =
            _mm_or_si128(_mm_or_si128(_mm_sll_epi32(v, redShift), _mm_sll_epi32(v, greenShift)),
                         _mm_sll_epi32(v, blueShift));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to + x), grey);
    }
    greyRowScalar(from + x, to + x, count - x, layout);
}
#else
void greyRow(const uint32_t* from, uint32_t* to, int count, const GreyLayout& layout) {
    greyRowScalar(from, to, count, layout);
}
#endif

// The tables hold 8 colours; a colour outside them draws nothing rather than reading past the end.
BITMAP* tileForColour(BITMAP* const (&tiles)[blockColours], int colour) {
    return colour >= 0 && colour < blockColours ? tiles[colour] : nullptr;
}

// The shown cells are drawn into a sub-bitmap the size of the clip rectangle, which differs
// from drawing them straight onto the back buffer in one rare case: translucentDraw ignores
// clipping below full opacity, so a fading cell carried by a rise into the top row would
// paint a few faint lines above the well; drawn into the view, it paints none.
// The two windows are the same rectangles of the same back buffer pass after pass: their views
// are made once and kept while the bitmap they look into is the same one.
struct KeptView {
    BITMAP* parent = nullptr;
    void* pixels = nullptr;
    int parentW = 0, parentH = 0, x = 0, y = 0, w = 0, h = 0;
    BITMAP* view = nullptr;

    bool fits(BITMAP* bitmap, int left, int top, int width, int height) const {
        return view != nullptr && parent == bitmap && pixels == bitmap->dat &&
               parentW == bitmap->w && parentH == bitmap->h && x == left && y == top &&
               w == width && h == height;
    }
};
KeptView keptViews[2];
int nextKeptView = 0;

BITMAP* keptSubBitmap(BITMAP* parent, int x, int y, int w, int h) {
    for (const KeptView& kept : keptViews) {
        if (kept.fits(parent, x, y, w, h)) return kept.view;
    }
    KeptView& slot = keptViews[nextKeptView];
    nextKeptView = (nextKeptView + 1) % 2;
    if (slot.view != nullptr) destroy_bitmap(slot.view);
    slot = KeptView{parent,    parent->dat, parent->w,
                    parent->h, x,           y,
                    w,         h,           create_sub_bitmap(parent, x, y, w, h)};
    return slot.view;
}

class WindowView {
public:
    WindowView(BITMAP* target, int x, int y)
        : WindowView(target, x, y, Area{x, y, windowWidth, windowHeight}, true) {}
    // Only the part of the window inside `clip` (screen coordinates), in a view of its own.
    WindowView(BITMAP* target, int x, int y, const Area& clip)
        : WindowView(target, x, y, clip, false) {}
    ~WindowView() {
        if (owned_ != nullptr) destroy_bitmap(owned_);
    }
    WindowView(const WindowView&) = delete;
    WindowView& operator=(const WindowView&) = delete;

    void translucent(BITMAP* tile, int px, int py, int opacity) const {
        if (view_ != nullptr && tile != nullptr)
            translucentDraw(tile, view_, x_ + px, y_ + py, opacity);
    }
    void sprite(BITMAP* tile, int px, int py) const {
        if (view_ != nullptr && tile != nullptr) draw_sprite(view_, tile, x_ + px, y_ + py);
    }

private:
    WindowView(BITMAP* target, int x, int y, const Area& clip, bool kept) : x_(x), y_(y) {
        int left = std::max({x, clip.x, 0});
        int top = std::max({y, clip.y, 0});
        int right = std::min({x + windowWidth, clip.x + clip.width, target->w});
        int bottom = std::min({y + windowHeight, clip.y + clip.height, target->h});
        if (right > left && bottom > top) {
            view_ = kept ? keptSubBitmap(target, left, top, right - left, bottom - top)
                         : create_sub_bitmap(target, left, top, right - left, bottom - top);
            if (!kept) owned_ = view_;
            x_ = x - left;
            y_ = y - top;
        }
    }

    BITMAP* view_ = nullptr;
    BITMAP* owned_ = nullptr;
    int x_;  // the window's corner inside the view
    int y_;
};

// Where a cell's sprites would go, instead of drawing them: drawCell measured.
class ExtentView {
public:
    explicit ExtentView(Area& extent) : extent_(extent) {}
    void translucent(BITMAP* tile, int px, int py, int) const { sprite(tile, px, py); }
    void sprite(BITMAP* tile, int px, int py) const {
        if (tile == nullptr) return;
        if (extent_.width == 0) {
            extent_ = Area{px, py, tile->w, tile->h};
            return;
        }
        int right = std::max(extent_.x + extent_.width, px + tile->w);
        int bottom = std::max(extent_.y + extent_.height, py + tile->h);
        extent_.x = std::min(extent_.x, px);
        extent_.y = std::min(extent_.y, py);
        extent_.width = right - extent_.x;
        extent_.height = bottom - extent_.y;
    }

private:
    Area& extent_;
};

int clearingOpacity(const Cell& cell) {
    return cell.state == Clearing ? 255 - 255 * cell.timer / clearingTicks : 255;
}

int fallSlide(const Cell& cell) {
    return cell.state == Falling ? 4 * cell.timer - 32 : 0;
}

// The rules empty a blasted cell in the same pass that takes its timer past 30, so the last
// frame drawn is 14; the clamp only keeps a record made elsewhere inside the table.
int blastFrame(const Cell& cell) {
    int frame = lastBlastFrame * cell.timer / clearingTicks;
    if (frame < 0) return 0;
    return frame < lastBlastFrame ? frame : lastBlastFrame;
}

int avatarFrame(const Cell& cell) {
    if (cell.state != Swapping || cell.timer < 0) return 0;
    return cell.timer < lastAvatarFrame ? cell.timer : lastAvatarFrame;
}

// px, py are relative to the window's corner.
template <typename View>
void drawCell(const View& view, const Cell& cell, int px, int py) {
    int slide = fallSlide(cell);
    int opacity = clearingOpacity(cell);
    bool blasting = cell.state == Blasting;
    int frame = blasting ? blastFrame(cell) : 0;
    if (!blasting || frame < 4) {
        switch (cell.kind) {
            case Block:
                view.translucent(tileForColour(blockTiles, cell.colour), px, py + slide, opacity);
                break;
            case Stone:
                view.translucent(stoneTile, px, py + slide, opacity);
                break;
            case Bomb:
                view.sprite(bombTile, px, py + slide);
                break;
            default:
                break;
        }
    }
    if (blasting) view.sprite(blastFrames[frame], px, py);
    if (cell.kind == Avatar) view.sprite(avatarFrames[avatarFrame(cell)], px, py + slide);
}

BITMAP* incomingTile(const Cell& cell) {
    switch (cell.kind) {
        case Block:
            return tileForColour(incomingTiles, cell.colour);
        case Stone:
            return stoneTile;
        case Bomb:
            return bombTile;
        default:
            return nullptr;
    }
}

// Only the top riseStep - 1 lines show: the view ends one line above the row's resting place.
template <typename View>
void drawIncomingRow(const View& view, const Board& board) {
    if (board.topRow > lastIncomingTopRow) return;
    int row = windowEnd(board);
    int py = windowRows * tileSize - board.riseStep;
    for (int c = 0; c < boardColumns; ++c)
        view.sprite(incomingTile(board.at(c, row)), tileSize * c, py);
}

bool warningNeeded(const Board& board) {
    int row = board.topRow + 2;
    if (row < 0 || row >= boardRows) return false;
    for (int c = 0; c < boardColumns; ++c) {
        if (board.at(c, row).kind != Empty) return true;
    }
    return false;
}

// Black to full red and back every 60 ticks.
int warningRed(int tick) {
    int h = tick % warningPeriod;
    if (h < 0) h += warningPeriod;
    int half = warningPeriod / 2;
    return h <= half ? 255 * h / half : 255 - 255 * (h - half) / half;
}

void drawWarningFrame(BITMAP* target, int x, int y, int tick) {
    int colour = makecol(warningRed(tick), 0, 0);
    int right = x + windowWidth - 1;
    int bottom = y + windowHeight - 1;
    // Five nested one-pixel rectangles, from two pixels outside the window to two inside, fill
    // a solid band: drawn as its four sides.
    rectfill(target, x - 2, y - 2, right + 2, y + 2, colour);
    rectfill(target, x - 2, bottom - 2, right + 2, bottom + 2, colour);
    rectfill(target, x - 2, y + 3, x + 2, bottom - 3, colour);
    rectfill(target, right - 2, y + 3, right + 2, bottom - 3, colour);
}

template <typename View>
void drawCells(const View& view, const Board& board) {
    int end = windowEnd(board);
    for (int r = board.topRow; r < end; ++r) {
        int py = tileSize * (r - board.topRow) - board.riseStep;
        for (int c = 0; c < boardColumns; ++c) drawCell(view, board.at(c, r), tileSize * c, py);
    }
    drawIncomingRow(view, board);
}

}  // namespace

void drawBoard(BITMAP* target, const Board& board, int x, int y, int tick) {
    {
        WindowView view(target, x, y);
        drawCells(view, board);
    }
    if (warningNeeded(board)) drawWarningFrame(target, x, y, tick);
}

void drawBoardWithin(BITMAP* target, const Board& board, int x, int y, const Area& clip, int tick) {
    {
        WindowView view(target, x, y, clip);
        drawCells(view, board);
    }
    const Area frame =
        intersection(intersection(boardArea(x, y), clip), Area{0, 0, target->w, target->h});
    if (!warningNeeded(board) || frame.width == 0) return;
    BITMAP* part = create_sub_bitmap(target, frame.x, frame.y, frame.width, frame.height);
    if (part == nullptr) return;
    drawWarningFrame(part, x - frame.x, y - frame.y, tick);
    destroy_bitmap(part);
}

bool sameWellGeometry(const Board& a, const Board& b) {
    return a.topRow == b.topRow && a.riseStep == b.riseStep;
}

void changedCells(const Board& before, const Board& after, int x, int y, std::vector<Area>& out) {
    const Area well = boardArea(x, y);
    const int end = windowEnd(after);
    for (int r = after.topRow; r <= end && r < boardRows; ++r) {
        for (int c = 0; c < boardColumns; ++c) {
            const Cell& was = before.at(c, r);
            const Cell& now = after.at(c, r);
            if (was.kind == now.kind && was.colour == now.colour && was.state == now.state &&
                was.timer == now.timer && was.chain == now.chain)
                continue;
            Area extent;
            ExtentView measure(extent);
            if (r < end) {
                const int py = tileSize * (r - after.topRow) - after.riseStep;
                drawCell(measure, was, tileSize * c, py);
                drawCell(measure, now, tileSize * c, py);
            } else {
                const int py = windowRows * tileSize - after.riseStep;
                measure.sprite(incomingTile(was), tileSize * c, py);
                measure.sprite(incomingTile(now), tileSize * c, py);
            }
            const Area onScreen =
                intersection(Area{x + extent.x, y + extent.y, extent.width, extent.height}, well);
            if (onScreen.width > 0) out.push_back(onScreen);
        }
    }
}

// The warning frame reaches two pixels beyond the window on every side.
Area boardArea(int x, int y) {
    return Area{x - 2, y - 2, windowWidth + 4, windowHeight + 4};
}

int warningShade(const Board& board, int tick) {
    return warningNeeded(board) ? warningRed(tick) : -1;
}

void drawWarningFrame(BITMAP* target, const Board& board, int x, int y, int tick) {
    if (warningNeeded(board)) drawWarningFrame(target, x, y, tick);
}

void drawPanel(BITMAP* target, const Board& board, int x) {
    drawRowsLeft(target, board, x, panelRowsLeftY);
    drawLevel(target, board, x, panelLevelY);
    drawScore(target, board, x, panelScoreY);
}

void drawLeftBoard(BITMAP* target, const Board& board, int tick) {
    drawBoard(target, board, leftBoardX, boardScreenY, tick);
    drawPanel(target, board, leftPanelX);
}

void drawRightBoard(BITMAP* target, const Board& board, int tick) {
    drawBoard(target, board, rightBoardX, boardScreenY, tick);
    drawPanel(target, board, rightPanelX);
}

static void drawPanelNumber(BITMAP* target, int x, int y, const char* format, int number) {
    char text[16];
    std::snprintf(text, sizeof text, format, number);
    textout(target, gameFont, text, x, y, -1);
    markChanged(Area{x, y, text_length(gameFont, text), text_height(gameFont)});
}

void drawRowsLeft(BITMAP* target, const Board& board, int x, int y) {
    drawPanelNumber(target, x, y, "%d", 31 - board.topRow);
}

void drawLevel(BITMAP* target, const Board& board, int x, int y) {
    drawPanelNumber(target, x, y, "%d", board.level + 1);
}

void drawScore(BITMAP* target, const Board& board, int x, int y) {
    drawPanelNumber(target, x, y, "%05d", static_cast<int>(board.score));
}

void greyPixels(const uint32_t* from, uint32_t* to, int count) {
    greyRow(from, to, count, GreyLayout{});
}

void greyBitmap(BITMAP* bitmap) {
    if (bitmap_color_depth(bitmap) != 32 || !is_memory_bitmap(bitmap)) {
        greyScreenReference(bitmap);
        return;
    }
    GreyLayout layout;
    // putpixel leaves everything outside the clip rectangle alone, and so does this.
    int left = 0, top = 0, right = bitmap->w, bottom = bitmap->h;
    if (bitmap->clip) {
        left = bitmap->cl;
        top = bitmap->ct;
        right = bitmap->cr;
        bottom = bitmap->cb;
    }
    for (int y = top; y < bottom; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(bitmap->line[y]) + left;
        greyRow(row, row, right - left, layout);
    }
}

void greyScreenReference(BITMAP* bitmap) {
    for (int x = 0; x < bitmap->w; ++x) {
        for (int y = 0; y < bitmap->h; ++y) {
            int p = getpixel(bitmap, x, y);
            int v = static_cast<int>(0.299 * getr(p) + 0.587 * getg(p) + 0.114 * getb(p));
            putpixel(bitmap, x, y, makecol(v, v, v));
        }
    }
}

}  // namespace vexlorn
