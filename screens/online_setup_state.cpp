// The online choice.
#include "screens/online_setup_state.h"

#include <allegro.h>

#include "assets/assets.h"
#include "assets/sound.h"
#include "frame/globals.h"
#include "platform/net/net_link.h"
#include "play/online_match_state.h"
#include "play/replay_record.h"
#include "screens/screen_draw.h"

namespace vexlorn {

OnlineSetupState onlineSetupState;

namespace {

constexpr int titleY = 22;
constexpr int panelLeft = 40;
constexpr int panelRight = 599;
constexpr int panelTop = 64;
constexpr int panelBottom = 430;
constexpr int rowsX = 64;
constexpr int rowsY = 84;
constexpr int rowPitch = 30;
constexpr int helpY = rowsY + 2 * rowPitch;
constexpr int foundY = 200;
constexpr int gamesY = foundY + 26;
constexpr int gamePitch = 26;
constexpr int problemY = 384;
constexpr int problemPitch = 22;
constexpr int footY = 446;
constexpr int fixedRows = 2;

int rowY(int row) {
    return row < fixedRows ? rowsY + row * rowPitch : gamesY + (row - fixedRows) * gamePitch;
}

void drawLeft(int x, int y, const std::string& text) {
    textout_ex(backBuffer, screenFont(), text.c_str(), x, y, -1, -1);
}

void drawCentred(int y, const std::string& text) {
    textout_centre_ex(backBuffer, screenFont(), text.c_str(), screenWidth / 2, y, -1, -1);
}

// A dark glass over the backdrop, as the replays page has.
void veil(int x0, int y0, int x1, int y1, int opacity, int colour) {
    set_trans_blender(0, 0, 0, opacity);
    drawing_mode(DRAW_MODE_TRANS, nullptr, 0, 0);
    rectfill(backBuffer, x0, y0, x1, y1, colour);
    drawing_mode(DRAW_MODE_SOLID, nullptr, 0, 0);
}

}  // namespace

void OnlineSetupState::enter() {
    selected = HostRow;
    problem.clear();
}

void OnlineSetupState::activate() {
    tickCount = 0;
    lastTickCount = 0;
    playMusic(MusicTrack::Menu);
    search.start(defaultOnlinePort, searchReach);
    // Back from a match or an attempt: what ended it stays in view here.
    if (!onlineMatchState.lastNotice().empty()) problem = onlineMatchState.lastNotice();
}

void OnlineSetupState::leave() {
    search.stop();
}

int OnlineSetupState::rowCount() const {
    return fixedRows + static_cast<int>(search.games().size());
}

void OnlineSetupState::take() {
    problem.clear();
    if (selected == HostRow) {
        playSound(SoundEffect::Go, panCentre);
        // Its own answers would come back to it, and the port is the game's now.
        search.stop();
        onlineMatchState.hostOnFreePort();
        return;
    }
    if (selected >= fixedRows) {
        playSound(SoundEffect::Go, panCentre);
        const std::string found = search.games()[static_cast<size_t>(selected - fixedRows)].address;
        search.stop();
        onlineMatchState.join(found);
        return;
    }
    const std::string& text = address.text();
    std::string host;
    uint16_t port = 0;
    if (text.empty()) {
        problem = "Type the address of the computer that hosts, then Enter.";
        return;
    }
    if (!splitNetAddress(text, host, port)) {
        problem = "\"" + text + "\" is not an address: try NAME, NAME:PORT or [IPv6]:PORT.";
        return;
    }
    playSound(SoundEffect::Go, panCentre);
    search.stop();
    onlineMatchState.join(text);
}

void OnlineSetupState::handleKey() {
    const int key = lastKey;
    if (key == 0) return;
    lastKey = 0;
    if (key == KeyEsc) {
        stateStack.pop();
    } else if (key == KeyUp || key == KeyDown) {
        const int step = key == KeyDown ? 1 : rowCount() - 1;
        selected = (selected + step) % rowCount();
        playSound(SoundEffect::Move, panCentre);
    } else if (key == KeyEnter) {
        take();
    } else if (key == KeyBackspace) {
        selected = AddressRow;
        address.erase();
    } else if (address.type(lastChar)) {
        selected = AddressRow;
    }
}

void OnlineSetupState::draw() const {
    drawBackdrop(ObjMenuBackdrop);
    veil(0, 0, screenWidth - 1, screenHeight - 1, 96, makecol(8, 6, 30));
    veil(panelLeft, panelTop, panelRight, panelBottom, 200, makecol(8, 6, 30));
    drawCentred(titleY, "O N L I N E");
    const int y = rowY(selected);
    veil(panelLeft + 4, y - 4, panelRight - 4, y + rowPitch - 7, 110, makecol(150, 120, 255));
    drawLeft(rowsX, rowsY, "Host a game");
    // The cursor blinks as the hall of fame's does.
    const bool cursor = selected == AddressRow && tickCount % 30 > 15;
    drawLeft(rowsX, rowsY + rowPitch, "Join " + address.text() + (cursor ? "_" : ""));
    if (address.text().empty()) {
        drawLeft(rowsX, helpY, "Type the address to join, as 192.168.1.5");
        drawLeft(rowsX, helpY + rowPitch - 8, "or a name, with :PORT when not 27850.");
    }
    const std::vector<LanGame>& games = search.games();
    drawLeft(rowsX, foundY,
             games.empty() ? "Looking for games on this network..." : "Games on this network:");
    for (size_t i = 0; i < games.size(); ++i) {
        std::string line = "Join " + games[i].address;
        if (games[i].version != gameVersion()) line += "  (version " + games[i].version + ")";
        drawLeft(rowsX, rowY(fixedRows + static_cast<int>(i)), line);
    }
    if (!problem.empty())
        drawCentredLines(screenWidth / 2, problemY, panelRight - panelLeft - 24, problemPitch,
                         problem);
    drawCentred(footY, "Up, down: choose   Enter: host or join   Esc: back");
}

bool OnlineSetupState::update() {
    search.poll(netTimeMs());
    // A game that fell silent takes its row with it.
    if (selected >= rowCount()) selected = rowCount() - 1;
    draw();
    handleKey();
    lastTickCount = tickCount;
    return true;
}

}  // namespace vexlorn
