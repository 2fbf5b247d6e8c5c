// Windows' heap decommits large freed blocks by itself.
#include "platform/system/freed_memory.h"

namespace vexlorn {

void returnFreedMemory() {}

}  // namespace vexlorn
