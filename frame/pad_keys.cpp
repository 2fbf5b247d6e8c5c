// Pads as keys: each frame pass turns what the pads did into keys in Allegro's own buffer.
#include "frame/pad_keys.h"

#include <allegro.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>

#include "frame/globals.h"
#include "frame/state_stack.h"
#include "platform/files/data_home.h"

namespace vexlorn {
namespace {

constexpr int keyOf(int scancode, int ascii) {
    return (scancode << 8) | ascii;
}

constexpr int enterKey = keyOf(KeyEnter, '\r');
constexpr int escKey = keyOf(KeyEsc, 27);
constexpr int spaceKey = keyOf(KeySpace, ' ');
constexpr int backspaceKey = keyOf(KeyBackspace, 8);

// By PadControl. Start gives the pause key instead on a screen that pauses.
constexpr int padKeyTable[] = {
    keyOf(KeyUp, 0),     // PadUp
    keyOf(KeyDown, 0),   // PadDown
    keyOf(KeyLeft, 0),   // PadLeft
    keyOf(KeyRight, 0),  // PadRight
    enterKey,            // PadA
    escKey,              // PadB
    spaceKey,            // PadX
    spaceKey,            // PadY
    escKey,              // PadBack
    enterKey,            // PadStart
};
static_assert(std::size(padKeyTable) == PadControlCount, "every control has its key");

constexpr int letterCount = 26;

bool isDirection(int control) {
    return control <= PadRight;
}

void add(PadKeyBatch& batch, int key) {
    if (batch.count < static_cast<int>(std::size(batch.keys))) batch.keys[batch.count++] = key;
}

char stepLetter(char letter, int step) {
    if (letter == '\0') return 'a';
    return static_cast<char>('a' + (letter - 'a' + step + letterCount) % letterCount);
}

}  // namespace

PadContext currentPadContext() {
    PadContext context;
    const BaseState* top = stateStack.top();
    if (top == nullptr) return context;
    context.pauseKey = top->pauseKey();
    context.nameEntry = top->takesLetters();
    context.lettersLeft = top->lettersLeft();
    context.padsApart = top->readsPadsApart();
    context.secondPadStartKey = top->secondPadStartKey();
    if (top->padsBySeat()) context.bySeat = top;
    return context;
}

PadKeyBatch PadKeys::step(const PadInput& input, int elapsed, const PadContext& context) {
    PadKeyBatch batch;
    if (!context.nameEntry) preview_ = '\0';
    if (context.padsApart) {
        repeating_ = -1;
        return batch;
    }
    if (context.bySeat != nullptr) {
        repeating_ = -1;
        seatKeys(input, context, batch);
        return batch;
    }
    // Start on a pad after the first, where that means something of its own.
    if (context.secondPadStartKey != 0) {
        for (int i = 1; i < input.padCount; ++i) {
            if ((input.each[i].pressed & padBit(PadStart)) == 0) continue;
            add(batch, keyOf(context.secondPadStartKey, 0));
            return batch;
        }
    }
    // A pad pulled out mid-round pauses it, as the pause key does.
    if (input.removed > 0 && context.pauseKey != 0) add(batch, keyOf(context.pauseKey, 0));
    for (int control = 0; control < PadControlCount; ++control) {
        if ((input.pressed & padBit(static_cast<PadControl>(control))) == 0) continue;
        act(static_cast<PadControl>(control), context, batch);
        repeating_ = isDirection(control) ? control : -1;
        heldTicks_ = 0;
        repeatsDone_ = 0;
    }
    if (input.pressed == 0) repeatHeld(input, elapsed, context, batch);
    return batch;
}

// Each pad's presses as the keys the screen gives them, one per control; a pad pulled out
// pauses as ever.
void PadKeys::seatKeys(const PadInput& input, const PadContext& context, PadKeyBatch& batch) {
    if (input.removed > 0 && context.pauseKey != 0) add(batch, keyOf(context.pauseKey, 0));
    for (int i = 0; i < input.padCount; ++i) {
        for (int control = 0; control < PadControlCount; ++control) {
            if ((input.each[i].pressed & padBit(static_cast<PadControl>(control))) == 0) continue;
            const int key = context.bySeat->padKey(input.each[i].pad, control);
            if (key != 0) add(batch, keyOf(key, 0));
        }
    }
}

void PadKeys::repeatHeld(const PadInput& input, int elapsed, const PadContext& context,
                         PadKeyBatch& batch) {
    if (repeating_ < 0) return;
    const PadControl control = static_cast<PadControl>(repeating_);
    if ((input.held & padBit(control)) == 0) {
        repeating_ = -1;
        return;
    }
    heldTicks_ += elapsed;
    if (heldTicks_ < firstRepeatTicks) return;
    const int due = 1 + (heldTicks_ - firstRepeatTicks) * repeatsPerCycle / repeatCycleTicks;
    // One repeat a pass at most: a slow pass does not release a burst of moves.
    if (due > repeatsDone_) {
        act(control, context, batch);
        repeatsDone_ = due;
    }
}

void PadKeys::act(PadControl control, const PadContext& context, PadKeyBatch& batch) {
    if (context.nameEntry && actInNameEntry(control, context, batch)) return;
    const bool pauses = control == PadStart && context.pauseKey != 0;
    add(batch, pauses ? keyOf(context.pauseKey, 0) : padKeyTable[control]);
}

// Up and Down step through the letters shown in place of the next initial; Right or A types
// the letter shown, as its key would; B erases; Start finishes.
bool PadKeys::actInNameEntry(PadControl control, const PadContext& context, PadKeyBatch& batch) {
    const bool letterFree = context.lettersLeft > 0;
    switch (control) {
        case PadUp:
        case PadDown:
            if (letterFree) preview_ = stepLetter(preview_, control == PadUp ? 1 : -1);
            return true;
        case PadRight:
        case PadA:
            if (preview_ == '\0' || !letterFree) return false;
            add(batch, keyOf(KEY_A + (preview_ - 'a'), preview_));
            return true;
        case PadB:
            add(batch, backspaceKey);
            return true;
        case PadStart:
            preview_ = '\0';
            add(batch, enterKey);
            return true;
        default:
            return false;
    }
}

char entryPreview = '\0';

namespace {

PadKeys padKeys;
OnePadPresses keptPresses[padsApart];
int keptPadCount = 0;
int pulledOut = 0;
int lastPollTick = 0;
unsigned idlePasses = 0;
// With no pad open, SDL is asked for new ones every eighth pass only (about 160 ms at the
// loop's 50 passes a second): its look costs a few system calls, the most a pass without pads
// would otherwise spend on pads.
constexpr unsigned idlePollEvery = 8;

}  // namespace

// Presses of pads that have gone are dropped with them.
void keepPadPresses(const PadInput& input) {
    OnePadPresses kept[padsApart];
    for (int i = 0; i < input.padCount; ++i) {
        kept[i] = input.each[i];
        for (int j = 0; j < keptPadCount; ++j) {
            if (keptPresses[j].pad == kept[i].pad) kept[i].pressed |= keptPresses[j].pressed;
        }
    }
    std::copy(std::begin(kept), std::end(kept), std::begin(keptPresses));
    keptPadCount = input.padCount;
    pulledOut += input.removed;
}

unsigned takePadPresses(int pad) {
    for (int i = 0; i < keptPadCount; ++i) {
        if (keptPresses[i].pad != pad) continue;
        const unsigned pressed = keptPresses[i].pressed;
        keptPresses[i].pressed = 0;
        return pressed;
    }
    return 0;
}

int takePadsPulledOut() {
    const int count = pulledOut;
    pulledOut = 0;
    return count;
}

int padInOrder(int order) {
    return order >= 0 && order < keptPadCount ? keptPresses[order].pad : -1;
}

void forgetPadPresses() {
    for (int i = 0; i < keptPadCount; ++i) keptPresses[i].pressed = 0;
    pulledOut = 0;
}

void startPadKeys() {
    startPads(padMappingFile());
    lastPollTick = tickCount;
}

void pollPadKeys() {
    if (!padsStarted()) return;
    if (openPadCount() == 0 && ++idlePasses % idlePollEvery != 0) return;
    const PadInput input = pollPads();
    keepPadPresses(input);
    // Screens set the clock back to 0 when they start: count from there.
    const int now = tickCount;
    const int elapsed = now >= lastPollTick ? now - lastPollTick : now;
    lastPollTick = now;
    const PadContext context = currentPadContext();
    const PadKeyBatch batch = padKeys.step(input, elapsed, context);
    for (int i = 0; i < batch.count; ++i) simulate_keypress(batch.keys[i]);
    entryPreview = openPadCount() > 0 ? padKeys.preview() : '\0';
}

void stopPadKeys() {
    stopPads();
    entryPreview = '\0';
}

}  // namespace vexlorn
