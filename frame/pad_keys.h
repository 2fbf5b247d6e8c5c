// Pads as keys: each frame pass turns what the pads did into keys in Allegro's own buffer, so
// every screen reads a pad exactly as it reads the keyboard.
#pragma once

#include "frame/state_stack.h"
#include "platform/input/pads.h"

namespace vexlorn {

// What the screen on top makes of a pad.
struct PadContext {
    int pauseKey = 0;           // scancode sent for Start and a pad pulled out; 0: no pause
    bool nameEntry = false;     // initials are being typed
    int lettersLeft = 0;        // how many more they take
    bool padsApart = false;     // the screen reads each pad itself: no keys
    int secondPadStartKey = 0;  // what Start on a pad after the first gives; 0: as the first
    const BaseState* bySeat = nullptr;  // the screen that gives each pad's controls their keys
};

// As the screen on top answers.
PadContext currentPadContext();

// A held direction repeats as a held arrow key does: first after 12 ticks (240 ms), then three
// times every five ticks (30 a second). Only the direction pressed last repeats, and any other
// press stops it, so a stick held while Start pauses does not end the pause at once.
inline constexpr int firstRepeatTicks = 12;
inline constexpr int repeatsPerCycle = 3;
inline constexpr int repeatCycleTicks = 5;

// Keys for Allegro's buffer, each (scancode << 8) | ascii: at most one per control of each pad,
// one repeat and the pause for a pad pulled out.
struct PadKeyBatch {
    int keys[padsApart * PadControlCount + 2];
    int count = 0;
};

class PadKeys {
public:
    // The keys for one poll, `elapsed` ticks after the previous one.
    PadKeyBatch step(const PadInput& input, int elapsed, const PadContext& context);
    // The letter offered in place of the next initial; 0 for none. It becomes an initial only
    // when accepted, as the key of that letter.
    char preview() const { return preview_; }

private:
    void act(PadControl control, const PadContext& context, PadKeyBatch& batch);
    void seatKeys(const PadInput& input, int elapsed, const PadContext& context,
                  PadKeyBatch& batch);
    bool actInNameEntry(PadControl control, const PadContext& context, PadKeyBatch& batch);

    // A held direction repeating: the one pressed last, until let go or another press.
    struct HeldRepeat {
        int control = -1;  // the direction that repeats, or -1
        int heldTicks = 0;
        int repeatsDone = 0;
        void press(int pressed);
        // The direction due to repeat now, or -1.
        int advance(unsigned held, int elapsed);
    };

    char preview_ = 0;
    HeldRepeat repeat_;
    // Each pad's own, where the screen tells the pads apart by their keys.
    int seatPads_[padsApart] = {-1, -1, -1, -1};
    HeldRepeat seatRepeats_[padsApart];
};

// A letter a pad offers in place of the next initial (0 = none): shown, never stored, until the
// pad accepts it by sending that letter's key.
extern char entryPreview;

// Each pad's presses, kept for the screens that read the pads apart until they take them.
// `pad` is the pad's own id (OnePadPresses). A pad pulled out is counted until taken too.
unsigned takePadPresses(int pad);
// The poll's part: adds one poll's presses (open to the tests, which have no poll).
void keepPadPresses(const PadInput& input);
int takePadsPulledOut();
// The pads' ids in the order they were opened; -1 past the last.
int padInOrder(int order);
void forgetPadPresses();

// The frame loop's part: started with the game, polled once a pass just before the key step
// reads Allegro's buffer, stopped at shutdown.
void startPadKeys();
void pollPadKeys();
void stopPadKeys();

}  // namespace vexlorn
