// The task list: newest first, so older effects are drawn over newer ones.
#include "frame/task_list.h"

namespace vexlorn {

TaskList taskList;

static void* allocateTask(std::size_t size) {
    return ::operator new(size, std::nothrow);
}

TaskAllocation taskAllocation = allocateTask;

TaskList::~TaskList() {
    clear();
}

void TaskList::add(BaseTask* task) {
    if (task == nullptr) return;
    task->next = first_;
    first_ = task;
    task->start();
}

void TaskList::updateAll(BITMAP* target, int elapsedTicks) {
    BaseTask* kept = nullptr;
    BaseTask* task = first_;
    while (task != nullptr) {
        if (task->update(target, elapsedTicks)) {
            kept = task;
            task = task->next;
            continue;
        }
        BaseTask* following = task->next;
        if (kept != nullptr) {
            kept->next = following;
        } else {
            first_ = following;
        }
        task->finish();
        delete task;
        task = following;
    }
}

bool TaskList::removeFirst() {
    if (first_ != nullptr) {
        BaseTask* removed = first_;
        removed->finish();
        first_ = removed->next;
        removed->next = nullptr;
        delete removed;
    }
    return first_ != nullptr;
}

void TaskList::clear() {
    while (removeFirst()) {
    }
}

int TaskList::size() const {
    int count = 0;
    for (const BaseTask* task = first_; task != nullptr; task = task->next) ++count;
    return count;
}

}  // namespace vexlorn
