// glibc gives back the unused pages of its heap, the middle of it included, when trimmed.
#include <malloc.h>

#include "platform/system/freed_memory.h"

namespace vexlorn {

void returnFreedMemory() {
    malloc_trim(0);
}

}  // namespace vexlorn
