// Checks of the data file that never trust its contents: its structure before Allegro reads it,
// and the kind, size and depth of every object the game uses after Allegro has loaded it.
#pragma once

#include <allegro.h>

#include <cstddef>
#include <vector>

namespace vexlorn {

// What the walk learnt of a sound file stored plain ("slh."), whose objects can be read one at a
// time: how many objects it holds, and each picture's size, in file order.
struct StoredPicture {
    int object = 0;
    int width = 0;
    int height = 0;
};
struct DataFileLayout {
    bool plain = false;
    int objectCount = 0;
    std::vector<StoredPicture> pictures;
};

// Walks the file at `path` byte by byte. Allegro's load_datafile crashes on some damaged files
// (cut after its object count, or claiming more objects than it holds), so it may only be
// called after this returned true. On failure `error` names the file and what is wrong. A
// `layout` is filled when the file passes (and is plain).
bool checkDataFileStructure(const char* path, char* error, int errorSize,
                            DataFileLayout* layout = nullptr);

// The same walk over a file's bytes already in memory; `path` only names it in the message.
bool checkDataFileImage(const unsigned char* bytes, size_t size, const char* path, char* error,
                        int errorSize, DataFileLayout* layout = nullptr);

// Every object the game addresses by position is there, of its kind, and of a usable size.
bool checkLoadedObjects(const DATAFILE* data, const char* path, char* error, int errorSize);

// Allegro's LZSS stream (the packed data-file format), decoded into `output` until `limit`
// bytes came out or the input ran out. Returns the number of input bytes read.
size_t unpackLzss(const unsigned char* input, size_t inputSize, size_t limit,
                  std::vector<unsigned char>& output);

// How many bytes unpackLzss would give with the same arguments, and how many it would read,
// without unpacking them.
struct LzssExtent {
    size_t unpacked = 0;
    size_t consumed = 0;
};
LzssExtent measureLzss(const unsigned char* input, size_t inputSize, size_t limit);

}  // namespace vexlorn
