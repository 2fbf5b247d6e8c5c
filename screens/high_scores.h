// The hall-of-fame table and its 160-byte file "vexlorn.hi".
#pragma once

#include <cstdint>

namespace vexlorn {

#pragma pack(push, 1)
struct HighScoreEntry {
    int16_t level;  // counted from 1
    char name[10];  // NUL-terminated initials
    int32_t score;
};
#pragma pack(pop)
static_assert(sizeof(HighScoreEntry) == 16, "a hall-of-fame row is 16 bytes on disk");

inline constexpr int highScoreRows = 10;
inline constexpr int highScoreFileSize = highScoreRows * sizeof(HighScoreEntry);

extern HighScoreEntry highScoreTable[highScoreRows];

extern const char highScoreFileName[];

bool qualifies(int32_t score);
void insertEntry(uint16_t levelIndex, const char* name, int32_t score);

// The built-in rows, as a run that found no file starts with them.
void resetHighScores();
// Reads up to 160 bytes of the file over the table; a missing file leaves it as it is.
void loadHighScores();
// Writes the table where a plain write of the name would, without putting the old file at risk
// (see SharedFile). When another copy of the game has saved since this one loaded, this
// run's own entries are entered into that copy's table instead. Silent.
void saveHighScores();

// Table image as stored on disk (little-endian) and back; used by load/save and the tests.
void encodeHighScores(unsigned char out[highScoreFileSize]);
void decodeHighScores(const unsigned char* in, int length);

}  // namespace vexlorn
