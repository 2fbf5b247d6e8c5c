// The data file's pictures read a row at a time.
#pragma once

#include <allegro.h>

namespace vexlorn {

// From now on load_datafile hands bitmap objects to readBitmapObject. Allegro's own reader
// takes every byte through pack_getc and then converts each 24-bit picture to 32 bits with a
// second full copy: for a dozen full-screen pictures that was most of the start-up time.
void useRowBitmapReader();

// One bitmap object (depth, width, height, pixels) as a 32-bit bitmap with exactly the pixels
// Allegro's reader gives in 32-bit colour with COLORCONV_24_TO_32: stored at 24 or 32 bits,
// or at 32 with alpha. Any other depth or an empty size gives one mask-coloured pixel, a body
// cut short black pixels at its end; the data file check refuses all of those before loading.
// Null only when memory runs out.
void* readBitmapObject(PACKFILE* file, long size);

}  // namespace vexlorn
