// Checks of the data file that never trust its contents: its structure before Allegro reads it,
// and the kind, size and depth of every object the game uses after Allegro has loaded it.
#pragma once

#include <allegro.h>

#include <cstddef>
#include <vector>

namespace vexlorn {

// Walks the file at `path` byte by byte. Allegro's load_datafile crashes on some damaged files
// (cut after its object count, or claiming more objects than it holds), so it may only be
// called after this returned true. On failure `error` names the file and what is wrong.
bool checkDataFileStructure(const char* path, char* error, int errorSize);

// The same walk over a file's bytes already in memory; `path` only names it in the message.
bool checkDataFileImage(const unsigned char* bytes, size_t size, const char* path, char* error,
                        int errorSize);

// Every object the game addresses by position is there, of its kind, and of a usable size.
bool checkLoadedObjects(const DATAFILE* data, const char* path, char* error, int errorSize);

// Allegro's LZSS stream (the packed data-file format), decoded into `output` until `limit`
// bytes came out or the input ran out. Returns the number of input bytes read.
size_t unpackLzss(const unsigned char* input, size_t inputSize, size_t limit,
                  std::vector<unsigned char>& output);

}  // namespace vexlorn
