// The set-up of a match between two players.
#include "screens/versus_setup_state.h"

#include <allegro.h>

#include <cstdio>
#include <iterator>

#include "assets/assets.h"
#include "assets/sound.h"
#include "board/board_draw.h"
#include "frame/globals.h"
#include "frame/pad_keys.h"
#include "platform/input/pads.h"
#include "play/versus_state.h"
#include "play/well_input.h"
#include "screens/online_setup_state.h"
#include "screens/screen_draw.h"

namespace vexlorn {

VersusSetupState versusSetupState;

namespace {

// The seats are the two wells of a round, over the first level's backdrop; what each seat
// holds is written inside its well.
constexpr int wellCentres[2] = {leftBoardX + 96, rightBoardX + 96};
constexpr int titleY = 22;
constexpr int seatNameY = 96;
constexpr int seatLevelY = 136;
constexpr int levelBlocksY = 164;
constexpr int levelBlockPitch = 36;
constexpr int hintsY = 226;
constexpr int lineHeight = 22;
// A computer's strength is drawn as its level is, under it, and its hints move down to make room.
constexpr int strengthY = hintsY - 8;
constexpr int strengthBlocksY = strengthY + levelBlocksY - seatLevelY;
constexpr int computerHintsY = strengthBlocksY + 50;

const char* const joinHints[] = {
    "Take this seat:", "Enter or arrows,", "Space or W A S D,", "A or Start on a pad", "",
    "C: the computer"};
constexpr int footY = 384;
const char* const footHints[2] = {"Esc: back", "Backspace: free seat"};
// Each player at a computer of their own: under the left seat's way back.
const char* const onlineHint = "O: online";
constexpr int onlineHintY = footY + lineHeight;

struct SeatedHint {
    SlotSource source;
    const char* lines[2];
};
// What the one seated can do; each input starts the match with its own button.
const SeatedHint seatedHints[] = {
    {SlotSource::Arrows, {"Left, right: level", "Enter: start"}},
    {SlotSource::SecondKeys, {"A, D: level", "Space: start"}},
    {SlotSource::Pad, {"Left, right: level", "A or Start: start"}},
    {SlotSource::Computer, {"C again: strength", "L: its level"}},
};
const char* const watchHint = "Enter: watch";

const char* sourceName(const VersusSlot& slot) {
    switch (slot.source) {
        case SlotSource::Arrows:
            return "Arrow keys";
        case SlotSource::SecondKeys:
            return "W A S D";
        case SlotSource::Pad:
            return "Pad";
        case SlotSource::Computer:
            return "Computer";
        default:
            return "Free seat";
    }
}

void drawCentred(int x, int y, const char* text) {
    textout_centre_ex(backBuffer, screenFont(), text, x, y, -1, -1);
}

// One block per step, lit up to the chosen one: a seat's level, or a computer's strength.
void drawBlocks(int centreX, int y, int steps, int lit) {
    const int left = centreX - (steps * levelBlockPitch - (levelBlockPitch - tileSize)) / 2;
    for (int i = 0; i < steps; ++i) {
        BITMAP* tile = i < lit ? blockTiles[i] : incomingTiles[i];
        if (tile != nullptr) draw_sprite(backBuffer, tile, left + i * levelBlockPitch, y);
    }
}
static_assert(computerStrengths <= blockColours, "a block colour per strength");

// Up or right raise the level, down or left lower it.
int levelStep(int direction) {
    return direction == 0 || direction == 1 ? 1 : -1;
}

}  // namespace

void VersusSetupState::enter() {
    slots.clear();
}

void VersusSetupState::activate() {
    tickCount = 0;
    lastTickCount = 0;
    playMusic(MusicTrack::Menu);
    forgetPadPresses();
}

void VersusSetupState::start() {
    playSound(SoundEffect::Go, panCentre);
    versusState.startMatch(slots);
}

void VersusSetupState::join(SlotSource source, int pad) {
    if (slots.computersOnly()) {
        start();
        return;
    }
    const int seated = slots.seatOf(source, pad);
    if (seated < 0) {
        if (slots.claim(source, pad) >= 0) playSound(SoundEffect::Move, panCentre);
        return;
    }
    if (slots.ready()) start();
}

void VersusSetupState::handleKey() {
    const int key = lastKey;
    if (key == 0) return;
    lastKey = 0;
    const int arrow = keySetDirection(arrowKeySet, key);
    const int second = keySetDirection(wasdKeySet, key);
    if (key == KeyEnter) {
        join(SlotSource::Arrows);
    } else if (key == KeySpace) {
        join(SlotSource::SecondKeys);
    } else if ((arrow != noMove || second != noMove) && !slots.computersOnly()) {
        const SlotSource source = arrow != noMove ? SlotSource::Arrows : SlotSource::SecondKeys;
        const int seat = slots.seatOf(source);
        if (seat < 0) {
            join(source);
        } else {
            slots.changeLevel(seat, levelStep(arrow != noMove ? arrow : second));
            playSound(SoundEffect::Move, panCentre);
        }
    } else if (key == KEY_C) {
        if (slots.addComputer() >= 0) playSound(SoundEffect::Move, panCentre);
    } else if (key == KEY_L) {
        if (slots.stepComputerLevel() >= 0) playSound(SoundEffect::Move, panCentre);
    } else if (key == KeyBackspace) {
        slots.releaseLast();
    } else if (key == KEY_O) {
        playSound(SoundEffect::Move, panCentre);
        stateStack.push(&onlineSetupState);
    } else if (key == KeyEsc) {
        stateStack.pop();
    } else {
        lastKey = key;  // not ours
    }
}

void VersusSetupState::handlePads() {
    static constexpr PadControl directions[] = {PadUp, PadRight, PadDown, PadLeft};
    for (int order = 0; padInOrder(order) >= 0; ++order) {
        const int pad = padInOrder(order);
        const unsigned pressed = takePadPresses(pad);
        if ((pressed & (padBit(PadB) | padBit(PadBack))) != 0) {
            stateStack.pop();
            return;
        }
        if ((pressed & (padBit(PadA) | padBit(PadStart))) != 0) {
            join(SlotSource::Pad, pad);
            if (stateStack.top() != this) return;
            continue;
        }
        const int seat = slots.seatOf(SlotSource::Pad, pad);
        for (int direction = 0; direction < 4 && seat >= 0; ++direction) {
            if ((pressed & padBit(directions[direction])) == 0) continue;
            slots.changeLevel(seat, levelStep(direction));
            playSound(SoundEffect::Move, panCentre);
            break;
        }
    }
}

void VersusSetupState::draw() const {
    drawBackdrop(ObjLevelBackdrop0);
    drawPictureCentred(ObjVersusTitle, screenWidth / 2, titleY);
    drawSeatTags();
    for (int seat = 0; seat < 2; ++seat) {
        const VersusSlot& slot = slots.slots[seat];
        const int x = wellCentres[seat];
        drawCentred(x, seatNameY, sourceName(slot));
        if (slot.source == SlotSource::Free) {
            for (int i = 0; i < static_cast<int>(std::size(joinHints)); ++i)
                drawCentred(x, hintsY + i * lineHeight, joinHints[i]);
            continue;
        }
        char line[24];
        std::snprintf(line, sizeof line, "Level %d", slot.level);
        drawCentred(x, seatLevelY, line);
        drawBlocks(x, levelBlocksY, versusLevels, slot.level);
        const bool computer = slot.source == SlotSource::Computer;
        if (computer) {
            std::snprintf(line, sizeof line, "Strength %d", slot.strength);
            drawCentred(x, strengthY, line);
            drawBlocks(x, strengthBlocksY, computerStrengths, slot.strength);
        }
        const int y = computer ? computerHintsY : hintsY;
        for (const SeatedHint& hint : seatedHints) {
            if (hint.source != slot.source) continue;
            for (int i = 0; i < 2; ++i) drawCentred(x, y + i * lineHeight, hint.lines[i]);
        }
    }
    for (int seat = 0; seat < 2; ++seat) {
        drawCentred(wellCentres[seat], footY, footHints[seat]);
        if (slots.computersOnly())
            drawCentred(wellCentres[seat], computerHintsY + 2 * lineHeight, watchHint);
    }
    drawCentred(wellCentres[0], onlineHintY, onlineHint);
}

bool VersusSetupState::update() {
    draw();
    handlePads();
    if (stateStack.top() == this) handleKey();
    lastTickCount = tickCount;
    return true;
}

}  // namespace vexlorn
