// Small files read whole, such as the link file. Only regular files are read, and
// without blocking, so that a pipe or device left under such a name cannot stall the game.
#pragma once

#include <cstddef>
#include <string>

namespace vexlorn {

// Up to `limit` leading bytes of the regular file at `path` into `bytes`; false (and no bytes)
// when it is missing, unreadable or not a regular file.
bool readRegularFile(const char* path, std::size_t limit, std::string& bytes);

// True when anything at all has that name.
bool pathExists(const char* path);

}  // namespace vexlorn
