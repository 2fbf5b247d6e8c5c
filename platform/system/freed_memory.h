// Memory the program has freed, given back to the system.
#pragma once

namespace vexlorn {

// After a large release (the data file's sound bytes once the sounds are made): the C library
// keeps freed blocks inside its heap for reuse, which the system still counts as the program's,
// until asked to give back what it holds unused.
void returnFreedMemory();

}  // namespace vexlorn
