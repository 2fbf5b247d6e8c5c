// Small files read whole: the hall of fame and the link file. Only regular files are read, and
// without blocking, so that a pipe or device left under such a name cannot stall the game.
#pragma once

#include <cstddef>
#include <string>

namespace vexlorn {

// Up to `limit` leading bytes of the regular file at `path`; "" when it is missing, empty,
// unreadable or not a regular file.
std::string readRegularFile(const char* path, std::size_t limit);

// True when anything at all has that name.
bool pathExists(const char* path);

}  // namespace vexlorn
