// The state stack: an intrusive list through BaseState::next, so it never allocates.
#include "frame/state_stack.h"

namespace vexlorn {

StateStack stateStack;

StateStack::~StateStack() {
    popAll();
}

void StateStack::push(BaseState* state) {
    ++changes_;
    state->next = top_;
    top_ = state;
    state->enter();
    // Activated even when its enter has already pushed another state over it.
    state->activate();
}

bool StateStack::pop() {
    if (top_ == nullptr) return false;
    ++changes_;
    BaseState* removed = top_;
    removed->deactivate();
    removed->leave();
    top_ = removed->next;
    removed->next = nullptr;
    if (top_ != nullptr) top_->activate();
    return top_ != nullptr;
}

void StateStack::popAll() {
    while (pop()) {
    }
}

bool StateStack::updateTop() {
    if (top_ == nullptr) return false;
    ++changes_;
    // The top is read again afterwards: update may itself push or pop.
    if (!top_->update()) return pop();
    return top_ != nullptr;
}

}  // namespace vexlorn
