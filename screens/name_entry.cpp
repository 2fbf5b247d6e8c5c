// Stand-in until the name entry is built.
#include "screens/name_entry.h"

namespace vexlorn {

char entryName[10] = "AAA";
int16_t entryCursor = 0;
int (*keyToAscii)(int scancode) = nullptr;

bool nameEntryStep(const NameEntryLayout&) { return false; }

}  // namespace vexlorn
