// The hall-of-fame table and its file.
#include "screens/high_scores.h"

#include <errno.h>
#include <unistd.h>

#include <cstring>
#include <iterator>

#include "platform/files/shared_file.h"

namespace vexlorn {

const char highScoreFileName[] = "vexlorn.hi";

static const HighScoreEntry builtInHighScores[] = {
    {50, "KBX", 1000}, {40, "JLV", 750}, {40, "DMF", 500}, {30, "KBX", 250}, {20, "KBX", 200},
    {15, "KBX", 150},  {10, "KBX", 100}, {5, "KBX", 50},   {2, "KBX", 25},   {1, "KBX", 10},
};
static_assert(std::size(builtInHighScores) == highScoreRows, "one row per place");

HighScoreEntry highScoreTable[highScoreRows];

// The table starts as the built-in one, before start-up reads the file over it.
static const bool highScoreTableFilled = [] {
    std::memcpy(highScoreTable, builtInHighScores, sizeof highScoreTable);
    return true;
}();

namespace {

// The table as this run found it (the file it loaded, or the built-in rows), and which rows
// the run entered itself: 0 for a row that came with the table, n for the run's n-th entry.
// A second copy of the game may have saved since; these tell the save what to merge.
HighScoreEntry loadedTable[highScoreRows];
bool loadedTableKept = false;  // until then the run started from the built-in rows
int entryOrder[highScoreRows];
int entriesMade = 0;

const HighScoreEntry* loadedRows() {
    return loadedTableKept ? loadedTable : builtInHighScores;
}

template <typename Row>
void makeRoom(Row (&rows)[highScoreRows], int place) {
    for (int row = highScoreRows - 1; row > place; --row) rows[row] = rows[row - 1];
}

// The first row whose score the new one reaches, so an equal score goes above the older row;
// highScoreRows when there is none.
int placeFor(const HighScoreEntry (&table)[highScoreRows], int32_t score) {
    int place = 0;
    while (place < highScoreRows && table[place].score > score) ++place;
    return place;
}

void rememberLoadedTable() {
    std::memcpy(loadedTable, highScoreTable, sizeof loadedTable);
    loadedTableKept = true;
    std::memset(entryOrder, 0, sizeof entryOrder);
    entriesMade = 0;
}

}  // namespace

void resetHighScores() {
    std::memcpy(highScoreTable, builtInHighScores, sizeof highScoreTable);
    rememberLoadedTable();
}

bool qualifies(int32_t score) {
    return score > highScoreTable[highScoreRows - 1].score;
}

static void copyName(char* destination, const char* name) {
    // Up to and including the NUL, never past the field.
    std::strncpy(destination, name, sizeof(HighScoreEntry::name) - 1);
    destination[sizeof(HighScoreEntry::name) - 1] = '\0';
}

void insertEntry(uint16_t levelIndex, const char* name, int32_t score) {
    const int place = placeFor(highScoreTable, score);
    if (place == highScoreRows) return;
    makeRoom(highScoreTable, place);
    makeRoom(entryOrder, place);
    HighScoreEntry& entry = highScoreTable[place];
    entry.level = static_cast<int16_t>(levelIndex + 1);
    std::memset(entry.name, 0, sizeof entry.name);
    copyName(entry.name, name);
    entry.score = score;
    entryOrder[place] = ++entriesMade;
}

static void putLittle(unsigned char* out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out[i] = static_cast<unsigned char>(value >> (8 * i));
}

static uint32_t getLittle(const unsigned char* in, int bytes) {
    uint32_t value = 0;
    for (int i = 0; i < bytes; ++i) value |= static_cast<uint32_t>(in[i]) << (8 * i);
    return value;
}

using Rows = HighScoreEntry[highScoreRows];

static void encodeRows(const Rows& table, unsigned char out[highScoreFileSize]) {
    for (int row = 0; row < highScoreRows; ++row) {
        unsigned char* record = out + row * sizeof(HighScoreEntry);
        const HighScoreEntry& entry = table[row];
        putLittle(record, static_cast<uint16_t>(entry.level), 2);
        std::memcpy(record + 2, entry.name, sizeof entry.name);
        putLittle(record + 12, static_cast<uint32_t>(entry.score), 4);
    }
}

static void decodeRows(Rows& table, const unsigned char* in, int length) {
    // A short file replaces only as many leading bytes of the table as it holds.
    unsigned char image[highScoreFileSize];
    encodeRows(table, image);
    if (length > highScoreFileSize) length = highScoreFileSize;
    if (length > 0) std::memcpy(image, in, length);
    for (int row = 0; row < highScoreRows; ++row) {
        const unsigned char* record = image + row * sizeof(HighScoreEntry);
        HighScoreEntry& entry = table[row];
        entry.level = static_cast<int16_t>(getLittle(record, 2));
        std::memcpy(entry.name, record + 2, sizeof entry.name);
        // A name without its NUL would make every later use read past the field.
        entry.name[sizeof entry.name - 1] = '\0';
        entry.score = static_cast<int32_t>(getLittle(record + 12, 4));
    }
}

void encodeHighScores(unsigned char out[highScoreFileSize]) {
    encodeRows(highScoreTable, out);
}

void decodeHighScores(const unsigned char* in, int length) {
    decodeRows(highScoreTable, in, length);
}

void loadHighScores() {
    rememberLoadedTable();
    const int fd = SharedFile::openForReading(highScoreFileName);
    if (fd < 0) return;
    unsigned char image[highScoreFileSize];
    size_t length = 0;
    while (length < sizeof image) {
        ssize_t got = ::read(fd, image + length, sizeof image - length);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        length += static_cast<size_t>(got);
    }
    ::close(fd);
    decodeHighScores(image, static_cast<int>(length));
    rememberLoadedTable();
}

// The run's own entries, in the order they were made, entered into another table by the rule
// the game enters them by. Only those still in this run's table: one that fell off it was
// pushed out by ten better rows, each the run's own (replayed too) or one it loaded, which
// another copy can push down only with better ones, so it would not make the merge either.
static void replayOwnEntries(Rows& table) {
    for (int order = 1; order <= entriesMade; ++order) {
        for (int row = 0; row < highScoreRows; ++row) {
            if (entryOrder[row] != order) continue;
            const HighScoreEntry& entry = highScoreTable[row];
            if (entry.score <= table[highScoreRows - 1].score) continue;
            const int place = placeFor(table, entry.score);
            makeRoom(table, place);
            table[place] = entry;
        }
    }
}

// The table to write over what the file holds now: this run's own, when the file is still the
// one it loaded; otherwise the file's, with this run's entries entered again.
static void mergeWith(Rows& table, const unsigned char* onDisk, int length) {
    std::memcpy(table, builtInHighScores, sizeof table);
    decodeRows(table, onDisk, length);
    if (std::memcmp(table, loadedRows(), sizeof table) == 0) {
        std::memcpy(table, highScoreTable, sizeof table);
    } else {
        replayOwnEntries(table);
    }
}

void saveHighScores() {
    SharedFile file(highScoreFileName);
    // Read again under the lock: a second copy of the game may have saved since this one
    // loaded, and writing this run's table over that would wipe what the other added.
    Rows table;
    const bool saved = file.save(
        highScoreFileSize, [&table](const unsigned char* onDisk, int length, unsigned char* image) {
            mergeWith(table, onDisk, length);
            encodeRows(table, image);
        });
    if (!saved) return;
    std::memcpy(highScoreTable, table, sizeof table);
    rememberLoadedTable();
}

}  // namespace vexlorn
