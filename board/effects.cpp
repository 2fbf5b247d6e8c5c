// Stand-in until the effect tasks are built.
#include "board/effects.h"

namespace vexlorn {

bool FloatTask::update(int) {
    return false;
}
bool FallTask::update(int) {
    return false;
}
void shatterBoard(Board&, int) {}

}  // namespace vexlorn
