// Files written whole or not at all.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vexlorn {

// Writes `bytes` as `path` through a temporary file beside it, flushed to the disk and renamed
// into place (the folder flushed too), so that a crash leaves the whole file or none. Refuses to
// replace a file that is there already. False when nothing was written.
bool writeWholeFile(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace vexlorn
