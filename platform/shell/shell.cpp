// Stand-in until the shell call is built.
#include "platform/shell/shell.h"

namespace vexlorn {

bool openWithDesktop(const char*) { return false; }

}  // namespace vexlorn
