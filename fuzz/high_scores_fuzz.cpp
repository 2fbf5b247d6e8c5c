// Fuzz target: any "vexlorn.hi" of 0..400 bytes, then every use of the table.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "screens/high_scores.h"

using namespace vexlorn;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 400) return 0;
    resetHighScores();
    decodeHighScores(data, static_cast<int>(size));
    char row[128];
    for (const HighScoreEntry& entry : highScoreTable) {
        // The hall-of-fame screen's own format; the name must be a terminated string in its field.
        if (std::memchr(entry.name, '\0', sizeof entry.name) == nullptr) __builtin_trap();
        std::snprintf(row, sizeof row, "  %3d       %3s     %5d", entry.level, entry.name,
                      entry.score);
    }
    int32_t score = size >= 4 ? static_cast<int32_t>(data[0] | data[1] << 8 | data[2] << 16 |
                                                     static_cast<uint32_t>(data[3]) << 24)
                              : 0;
    if (qualifies(score)) {
        char name[16] = {};
        if (size > 8) std::memcpy(name, data + 4, size - 4 < 15 ? size - 4 : 15);
        insertEntry(size % 7, name, score);
        // A qualifying score always finds its place, whatever order the file's rows were in.
        bool found = false;
        for (int row = 0; row < highScoreRows; ++row) found |= highScoreTable[row].score == score;
        if (!found) __builtin_trap();
    }
    for (const HighScoreEntry& entry : highScoreTable) {
        if (std::memchr(entry.name, '\0', sizeof entry.name) == nullptr) __builtin_trap();
    }
    return 0;
}
