// Screens as a stack of states: only the top one runs.
#pragma once

namespace vexlorn {

// Base of every screen. Each screen class has one static instance, pushed by address.
// enter: once per push. activate: right after enter, and whenever the state above is popped.
// update: once per frame pass while on top; false asks the stack to pop this state.
// deactivate, then leave: when popped. A screen may push or pop from any of these hooks.
// closing: the program is about to end with this screen on top (the close button, a stop
// signal); its last chance to keep what the player finished on it. Nothing is popped yet.
class BaseState {
public:
    virtual ~BaseState() = default;
    virtual void enter() {}
    virtual void activate() {}
    virtual bool update() = 0;
    virtual void deactivate() {}
    virtual void leave() {}
    virtual void closing() {}

    // What the frame loop asks of the screen on top, so that it need know no screen by name.
    // The defaults ask for nothing.
    // The key on which this screen pauses: handed to it when the window loses the focus or a
    // pad is pulled out, and sent for a pad's Start. 0: it does not pause.
    virtual int pauseKey() const { return 0; }
    // Initials are being typed here, so a pad's buttons offer and accept letters.
    virtual bool takesLetters() const { return false; }
    // How many more letters it takes while it takes letters.
    virtual int lettersLeft() const { return 0; }
    // This screen reads each pad on its own (takePadPresses), so the pads give it no keys.
    virtual bool readsPadsApart() const { return false; }
    // This screen tells the pads apart by the keys they give: padKey is the key of a control on
    // the pad with that id (OnePadPresses), 0 for none.
    virtual bool padsBySeat() const { return false; }
    virtual int padKey(int pad, int control) const {
        (void)pad;
        (void)control;
        return 0;
    }
    // The key Start on a second pad gives here, where it means something else than on the
    // first; 0: the same.
    virtual int secondPadStartKey() const { return 0; }
    // Between ticks, with no key, this screen would draw and decide nothing: the frame loop
    // leaves out its update then, as long as nothing else has run since its last one.
    virtual bool stillBetweenTicks() const { return false; }

    BaseState* next = nullptr;
};

class StateStack {
public:
    ~StateStack();
    void push(BaseState* state);
    bool pop();
    void popAll();
    bool updateTop();
    BaseState* top() const { return top_; }
    bool empty() const { return top_ == nullptr; }
    // Goes up by one with every push, pop and update: a screen that finds it exactly one above
    // what it was when its last update ended knows nothing ran in between.
    unsigned long changeCount() const { return changes_; }

private:
    BaseState* top_ = nullptr;
    unsigned long changes_ = 0;
};

extern StateStack stateStack;

}  // namespace vexlorn
