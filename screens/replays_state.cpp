// The recordings page.
#include "screens/replays_state.h"

#include <allegro.h>

#include <cstdio>
#include <ctime>

#include "assets/assets.h"
#include "assets/sound.h"
#include "frame/frame_cycle.h"
#include "frame/globals.h"
#include "screens/screen_draw.h"

namespace vexlorn {

ReplaysState replaysState;

namespace {

constexpr int titleY = 22;
constexpr int panelLeft = 8;
constexpr int panelRight = 631;
constexpr int panelTop = 64;
constexpr int panelBottom = 430;
constexpr int headY = 72;
constexpr int rowsY = 100;
constexpr int rowPitch = 23;
constexpr int footY = 446;
// The columns' left edges; the length is written right-aligned to its edge.
constexpr int whenX = 20;
constexpr int modeX = 204;
constexpr int levelsX = 322;
constexpr int resultX = 412;
constexpr int lengthRight = 572;
constexpr int markX = 582;

std::string timeText(int64_t seconds) {
    const std::time_t when = static_cast<std::time_t>(seconds);
    std::tm local{};
    if (localtime_r(&when, &local) == nullptr) return "";
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local);
    return text;
}

std::string lengthText(int64_t ticks) {
    const int64_t seconds = ticks / ticksPerSecond;
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld", static_cast<long long>(seconds / 60),
                  static_cast<long long>(seconds % 60));
    return text;
}

std::string resultText(const ReplaySummary& summary) {
    switch (summary.result) {
        case ReplayResult::LeftWon:
            return summary.match ? "Left won" : "Won";
        case ReplayResult::RightWon:
            return summary.match ? "Right won" : "Lost";
        case ReplayResult::Draw:
            return "Draw";
        case ReplayResult::Stopped:
            return "Left early";
        default:
            return "-";
    }
}

void drawLeft(int x, int y, const std::string& text) {
    textout_ex(backBuffer, screenFont(), text.c_str(), x, y, -1, -1);
}

void drawCentred(int y, const char* text) {
    textout_centre_ex(backBuffer, screenFont(), text, screenWidth / 2, y, -1, -1);
}

void drawRight(int x, int y, const std::string& text) {
    textout_right_ex(backBuffer, screenFont(), text.c_str(), x, y, -1, -1);
}

// A dark glass over the backdrop, as the round screens veil what lies under them.
void veil(int x0, int y0, int x1, int y1, int opacity) {
    set_trans_blender(0, 0, 0, opacity);
    drawing_mode(DRAW_MODE_TRANS, nullptr, 0, 0);
    rectfill(backBuffer, x0, y0, x1, y1, makecol(8, 6, 30));
    drawing_mode(DRAW_MODE_SOLID, nullptr, 0, 0);
}

}  // namespace

ReplayRow replayRow(const ReplayFile& file, const ReplaySummary& summary) {
    ReplayRow row;
    row.mark = file.hallOfFame ? "Fame" : file.keptForGood ? "Kept" : "";
    if (!summary.readable) {
        row.when = timeText(file.modified / 1000000000);
        row.mode = "Damaged";
        return row;
    }
    row.when = timeText(summary.startTime);
    row.mode = summary.match ? "Versus" : "One player";
    char levels[32];
    if (summary.match) {
        std::snprintf(levels, sizeof levels, "%d-%d", summary.levels[0], summary.levels[1]);
    } else {
        std::snprintf(levels, sizeof levels, "%d", summary.levels[0]);
    }
    row.levels = levels;
    row.result = resultText(summary);
    row.length = lengthText(summary.ticks);
    return row;
}

// Opened afresh, the newest recording is chosen, not the one chosen when the screen was left.
void ReplaysState::enter() {
    entries.clear();
    selected = 0;
    first = 0;
}

void ReplaysState::activate() {
    tickCount = 0;
    lastTickCount = 0;
    asking = false;
    message.clear();
    playMusic(MusicTrack::Information);
    reload();
}

// The selection stays on the same recording when it is still there.
void ReplaysState::reload() {
    const std::string chosen = selected < static_cast<int>(entries.size())
                                   ? entries[static_cast<size_t>(selected)].file.name
                                   : "";
    entries.clear();
    for (const ReplayFile& file : listReplays())
        entries.push_back({file, readReplaySummary(file.name)});
    int row = selected;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].file.name == chosen) row = static_cast<int>(i);
    }
    choose(row < static_cast<int>(entries.size()) ? row : static_cast<int>(entries.size()) - 1);
}

void ReplaysState::choose(int row) {
    selected = row < 0 ? 0 : row;
    if (selected < first) first = selected;
    if (selected >= first + shownRows) first = selected - shownRows + 1;
    if (first < 0) first = 0;
}

void ReplaysState::watchSelected() {
    const Entry& entry = entries[static_cast<size_t>(selected)];
    std::vector<uint8_t> bytes;
    std::string error;
    if (!readReplayFile(replayPath(entry.file.name).c_str(), bytes, error)) {
        message = error;
        return;
    }
    UpdateDriver* previous = updateDriver;
    viewer_.emplace();
    if (!viewer_->watch(bytes, error, this, previous)) {
        message = error;
        return;
    }
    updateDriver = &*viewer_;
}

void ReplaysState::keepSelected() {
    Entry& entry = entries[static_cast<size_t>(selected)];
    const std::string name = keepReplay(entry.file.name, !entry.file.keptForGood);
    if (name.empty()) {
        message = "The recording could not be renamed.";
        return;
    }
    entries[static_cast<size_t>(selected)].file.name = name;
    reload();
}

void ReplaysState::answer(int key) {
    if (key == KEY_Y || key == KeyEnter) {
        asking = false;
        if (!removeReplay(entries[static_cast<size_t>(selected)].file.name)) {
            message = "The recording could not be removed.";
        }
        reload();
    } else if (key == KEY_N || key == KeyEsc) {
        asking = false;
    }
}

void ReplaysState::handleKey() {
    const int key = lastKey;
    if (key == 0) return;
    lastKey = 0;
    if (asking) {
        answer(key);
        return;
    }
    message.clear();
    const int count = static_cast<int>(entries.size());
    if (key == KeyEsc) {
        stateStack.pop();
    } else if (count == 0) {
        return;
    } else if (key == KeyUp || key == KeyDown) {
        choose(key == KeyUp ? (selected + count - 1) % count : (selected + 1) % count);
        playSound(SoundEffect::Move, panCentre);
    } else if (key == KeyEnter || key == KeySpace) {
        watchSelected();
    } else if (key == KEY_DEL) {
        asking = true;
    } else if (key == KEY_K) {
        keepSelected();
    }
}

void ReplaysState::draw() const {
    drawBackdrop(ObjMenuBackdrop);
    veil(0, 0, screenWidth - 1, screenHeight - 1, 96);
    veil(panelLeft, panelTop, panelRight, panelBottom, 150);
    drawCentred(titleY, "R E P L A Y S");
    if (entries.empty()) {
        drawCentred(200, "There are no recordings yet.");
        drawCentred(230, "Every round of ten seconds or more is kept.");
    } else {
        drawLeft(whenX, headY, "Played");
        drawLeft(modeX, headY, "Game");
        drawLeft(levelsX, headY, "Levels");
        drawLeft(resultX, headY, "Result");
        drawRight(lengthRight, headY, "Time");
        hline(backBuffer, panelLeft + 8, headY + 22, panelRight - 8, makecol(150, 130, 255));
    }
    const int last = first + shownRows < static_cast<int>(entries.size())
                         ? first + shownRows
                         : static_cast<int>(entries.size());
    for (int i = first; i < last; ++i) {
        const Entry& entry = entries[static_cast<size_t>(i)];
        const ReplayRow row = replayRow(entry.file, entry.summary);
        const int y = rowsY + (i - first) * rowPitch;
        if (i == selected) {
            set_trans_blender(0, 0, 0, 110);
            drawing_mode(DRAW_MODE_TRANS, nullptr, 0, 0);
            rectfill(backBuffer, panelLeft + 4, y - 2, panelRight - 4, y + rowPitch - 3,
                     makecol(150, 120, 255));
            drawing_mode(DRAW_MODE_SOLID, nullptr, 0, 0);
        }
        drawLeft(whenX, y, row.when);
        drawLeft(modeX, y, row.mode);
        drawLeft(levelsX, y, row.levels);
        drawLeft(resultX, y, row.result);
        drawRight(lengthRight, y, row.length);
        drawLeft(markX, y, row.mark);
    }
    // More above or below than the page shows.
    if (first > 0) drawRight(panelRight - 6, headY, "^");
    if (last < static_cast<int>(entries.size())) drawRight(panelRight - 6, panelBottom - 24, "v");
    if (asking) {
        veil(150, 180, 490, 280, 220);
        rect(backBuffer, 150, 180, 490, 280, makecol(150, 130, 255));
        drawCentred(200, "Remove this recording?");
        drawCentred(240, "Y: yes      N: no");
    } else if (!message.empty()) {
        drawCentred(panelBottom - 24, message.c_str());
    }
    drawCentred(footY, entries.empty() ? "Esc: back"
                                       : "Enter: watch   K: keep   Delete: remove   Esc: back");
}

bool ReplaysState::update() {
    draw();
    handleKey();
    lastTickCount = tickCount;
    return true;
}

}  // namespace vexlorn
