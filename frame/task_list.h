// Short-lived effects (pop-ups, flying tiles, balloons), advanced and drawn by the active screen.
#pragma once

#include <cstddef>
#include <new>

struct BITMAP;

namespace vexlorn {

// Where every task's memory comes from: null when there is none, else memory that
// ::operator delete frees. Tests put a failing one here.
using TaskAllocation = void* (*)(std::size_t size);
extern TaskAllocation taskAllocation;

// Base of every effect. Tasks live on the heap and are owned by the task list from add on.
// update draws the effect into `target` and returns false when it has ended. The target comes
// with each update, not with the task: a screen may draw the same round into a picture of its
// own (the pause screen's veiled round does), and the effects must land where the round does.
class BaseTask {
public:
    // The only way to make a task is new (std::nothrow): an effect that finds no memory is not
    // shown, and the game goes on. A plain new of a task does not compile.
    static void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
        return taskAllocation(size);
    }
    static void operator delete(void* task) noexcept { ::operator delete(task); }

    virtual ~BaseTask() = default;
    virtual void start() {}
    virtual bool update(BITMAP* target, int elapsedTicks) = 0;
    virtual void finish() {}

    BaseTask* next = nullptr;
};

class TaskList {
public:
    ~TaskList();
    void add(BaseTask* task);
    void updateAll(BITMAP* target, int elapsedTicks);
    bool removeFirst();
    void clear();
    BaseTask* first() const { return first_; }
    int size() const;

private:
    BaseTask* first_ = nullptr;
};

extern TaskList taskList;

}  // namespace vexlorn
