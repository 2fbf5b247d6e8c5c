// Short-lived effects (pop-ups, flying tiles, balloons), advanced and drawn by the active screen.
#pragma once

namespace vexlorn {

// Base of every effect. Tasks live on the heap and are owned by the task list from add on.
// update draws the effect and returns false when it has ended.
class BaseTask {
public:
    virtual ~BaseTask() = default;
    virtual void start() {}
    virtual bool update(int elapsedTicks) = 0;
    virtual void finish() {}

    BaseTask* next = nullptr;
};

class TaskList {
public:
    ~TaskList();
    void add(BaseTask* task);
    void updateAll(int elapsedTicks);
    bool removeFirst();
    void clear();
    BaseTask* first() const { return first_; }
    int size() const;

private:
    BaseTask* first_ = nullptr;
};

extern TaskList taskList;

}  // namespace vexlorn
