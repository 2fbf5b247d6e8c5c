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
        repeat_ = HeldRepeat{};
        return batch;
    }
    if (context.bySeat != nullptr) {
        repeat_ = HeldRepeat{};
        seatKeys(input, elapsed, context, batch);
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
        repeat_.press(control);
    }
    if (input.pressed == 0) {
        const int due = repeat_.advance(input.held, elapsed);
        if (due >= 0) act(static_cast<PadControl>(due), context, batch);
    }
    return batch;
}

// Each pad's presses as the keys the screen gives them, one per control, its held direction
// repeating on its own; a pad pulled out pauses as ever.
void PadKeys::seatKeys(const PadInput& input, int elapsed, const PadContext& context,
                       PadKeyBatch& batch) {
    if (input.removed > 0 && context.pauseKey != 0) add(batch, keyOf(context.pauseKey, 0));
    int pads[padsApart] = {-1, -1, -1, -1};
    HeldRepeat repeats[padsApart];
    for (int i = 0; i < input.padCount; ++i) {
        const OnePadPresses& pad = input.each[i];
        pads[i] = pad.pad;
        for (int kept = 0; kept < padsApart; ++kept) {
            if (seatPads_[kept] == pad.pad) repeats[i] = seatRepeats_[kept];
        }
        for (int control = 0; control < PadControlCount; ++control) {
            if ((pad.pressed & padBit(static_cast<PadControl>(control))) == 0) continue;
            const int key = context.bySeat->padKey(pad.pad, control);
            if (key != 0) add(batch, keyOf(key, 0));
            repeats[i].press(control);
        }
        const int due = pad.pressed == 0 ? repeats[i].advance(pad.held, elapsed) : -1;
        if (due >= 0) {
            const int key = context.bySeat->padKey(pad.pad, due);
            if (key != 0) add(batch, keyOf(key, 0));
        }
    }
    std::copy(std::begin(pads), std::end(pads), std::begin(seatPads_));
    std::copy(std::begin(repeats), std::end(repeats), std::begin(seatRepeats_));
}

void PadKeys::HeldRepeat::press(int pressed) {
    control = isDirection(pressed) ? pressed : -1;
    heldTicks = 0;
    repeatsDone = 0;
}

int PadKeys::HeldRepeat::advance(unsigned held, int elapsed) {
    if (control < 0) return -1;
    if ((held & padBit(static_cast<PadControl>(control))) == 0) {
        control = -1;
        return -1;
    }
    heldTicks += elapsed;
    if (heldTicks < firstRepeatTicks) return -1;
    const int due = 1 + (heldTicks - firstRepeatTicks) * repeatsPerCycle / repeatCycleTicks;
    // One repeat a pass at most: a slow pass does not release a burst of moves.
    if (due <= repeatsDone) return -1;
    repeatsDone = due;
    return control;
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
