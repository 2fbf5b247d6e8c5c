// Linux: exit handlers end as they should; nothing to guard.
#include "platform/system/process_end.h"

namespace vexlorn {

void endProcessOnceSaved(int) {}

void endProcessWithin(int) {}

}  // namespace vexlorn
