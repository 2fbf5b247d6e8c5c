// A file named by the player read whole: opened once, without blocking, and judged by what was
// opened rather than by what the name showed a moment before, so that a name swapped for a pipe
// or a device in between cannot stall the game.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vexlorn {

enum class FileRefusal {
    None,
    Missing,     // no such file, or a folder on its way is missing
    NotAllowed,  // the system refused to open it for us
    LinkLoop,    // its links lead round in a circle, or too far
    NotAFile,    // a folder, pipe, device or socket
    TooLarge,    // more than the limit
    Unreadable,  // anything else the system said
};

// The regular file at `path` into `bytes` when it holds at most `limit` bytes; otherwise no
// bytes and the reason.
FileRefusal readWholeRegularFile(const char* path, std::size_t limit, std::vector<uint8_t>& bytes);

}  // namespace vexlorn
