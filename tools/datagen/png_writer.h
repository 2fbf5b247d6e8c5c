// Writing a canvas as an RGBA PNG file (for the desktop icons), with no library.
#pragma once

#include <string>

#include "tools/datagen/canvas.h"

namespace datagen {

// Returns false when the file cannot be written.
bool writePng(const std::string& path, const Canvas& canvas);

}  // namespace datagen
