// Opening a file with the desktop's preferred application.
#pragma once

namespace vexlorn {

// Starts "xdg-open <file>" as a detached child, no shell involved (Windows: ShellExecuteW). The
// result is not waited for.
// Returns false when the child could not be started.
bool openWithDesktop(const char* file);

}  // namespace vexlorn
