// Screens as a stack of states: only the top one runs.
#pragma once

namespace vexlorn {

// Base of every screen. Each screen class has one static instance, pushed by address.
// enter: once per push. activate: right after enter, and whenever the state above is popped.
// update: once per frame pass while on top; false asks the stack to pop this state.
// deactivate, then leave: when popped. A screen may push or pop from any of these hooks.
class BaseState {
public:
    virtual ~BaseState() = default;
    virtual void enter() {}
    virtual void activate() {}
    virtual bool update() = 0;
    virtual void deactivate() {}
    virtual void leave() {}

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

private:
    BaseState* top_ = nullptr;
};

extern StateStack stateStack;

}  // namespace vexlorn
