// Where the running program's own file is.
#pragma once

#include <string>

namespace vexlorn {

// The executable's full path in UTF-8, as the system knows it (links resolved on Linux); ""
// when the system cannot say.
std::string executablePath();

}  // namespace vexlorn
