// The hall-of-fame table and its file.
#include "screens/high_scores.h"

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

namespace vexlorn {

const char highScoreFileName[] = "vexlorn.hi";

static const HighScoreEntry builtInHighScores[highScoreRows] = {
    {50, "KBX", 1000}, {40, "JLV", 750}, {40, "DMF", 500}, {30, "KBX", 250}, {20, "KBX", 200},
    {15, "KBX", 150},  {10, "KBX", 100}, {5, "KBX", 50},   {2, "KBX", 25},   {1, "KBX", 10},
};

HighScoreEntry highScoreTable[highScoreRows] = {
    {50, "KBX", 1000}, {40, "JLV", 750}, {40, "DMF", 500}, {30, "KBX", 250}, {20, "KBX", 200},
    {15, "KBX", 150},  {10, "KBX", 100}, {5, "KBX", 50},   {2, "KBX", 25},   {1, "KBX", 10},
};

void resetHighScores() {
    std::memcpy(highScoreTable, builtInHighScores, sizeof highScoreTable);
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
    int place = 0;
    while (place < highScoreRows && highScoreTable[place].score > score) ++place;
    if (place == highScoreRows) return;
    for (int row = highScoreRows - 1; row > place; --row)
        highScoreTable[row] = highScoreTable[row - 1];
    HighScoreEntry& entry = highScoreTable[place];
    entry.level = static_cast<int16_t>(levelIndex + 1);
    std::memset(entry.name, 0, sizeof entry.name);
    copyName(entry.name, name);
    entry.score = score;
}

static void putLittle(unsigned char* out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out[i] = static_cast<unsigned char>(value >> (8 * i));
}

static uint32_t getLittle(const unsigned char* in, int bytes) {
    uint32_t value = 0;
    for (int i = 0; i < bytes; ++i) value |= static_cast<uint32_t>(in[i]) << (8 * i);
    return value;
}

void encodeHighScores(unsigned char out[highScoreFileSize]) {
    for (int row = 0; row < highScoreRows; ++row) {
        unsigned char* record = out + row * sizeof(HighScoreEntry);
        const HighScoreEntry& entry = highScoreTable[row];
        putLittle(record, static_cast<uint16_t>(entry.level), 2);
        std::memcpy(record + 2, entry.name, sizeof entry.name);
        putLittle(record + 12, static_cast<uint32_t>(entry.score), 4);
    }
}

void decodeHighScores(const unsigned char* in, int length) {
    // A short file replaces only as many leading bytes of the table as it holds.
    unsigned char image[highScoreFileSize];
    encodeHighScores(image);
    if (length > highScoreFileSize) length = highScoreFileSize;
    if (length > 0) std::memcpy(image, in, length);
    for (int row = 0; row < highScoreRows; ++row) {
        const unsigned char* record = image + row * sizeof(HighScoreEntry);
        HighScoreEntry& entry = highScoreTable[row];
        entry.level = static_cast<int16_t>(getLittle(record, 2));
        std::memcpy(entry.name, record + 2, sizeof entry.name);
        // A name without its NUL would make every later use read past the field.
        entry.name[sizeof entry.name - 1] = '\0';
        entry.score = static_cast<int32_t>(getLittle(record + 12, 4));
    }
}

// Whether "vexlorn.hi" may be replaced at shutdown. Something that is there but is not a file
// we can read and write (a directory, a pipe, a file without permissions) is not ours to replace:
// the old hall of fame must survive whatever the run does.
static bool replaceableFile(const char* path) {
    struct stat info {};
    if (::stat(path, &info) != 0) return errno == ENOENT;
    return S_ISREG(info.st_mode) && ::access(path, R_OK | W_OK) == 0;
}

void loadHighScores() {
    // Non-blocking, so that a pipe of that name cannot stop the game before its first screen.
    int fd = ::open(highScoreFileName, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return;
    }
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
}

static bool writeAll(int fd, const unsigned char* data, size_t length) {
    while (length > 0) {
        ssize_t written = ::write(fd, data, length);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        data += written;
        length -= static_cast<size_t>(written);
    }
    return true;
}

void saveHighScores() {
    // Written beside the old file and renamed over it, so a crash or a full disk in the middle
    // never costs the player the hall of fame they had.
    if (!replaceableFile(highScoreFileName)) return;
    unsigned char image[highScoreFileSize];
    encodeHighScores(image);
    char temporary[] = "vexlorn.hi.XXXXXX";
    int fd = ::mkstemp(temporary);
    if (fd < 0) return;
    mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    // Past a file-size limit the kernel would kill the game with SIGXFSZ; ignored, the write
    // fails instead and the old file stays.
    struct sigaction ignore {};
    struct sigaction previous {};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGXFSZ, &ignore, &previous);
    bool written = writeAll(fd, image, sizeof image) && ::fsync(fd) == 0;
    ::sigaction(SIGXFSZ, &previous, nullptr);
    written = (::close(fd) == 0) && written;
    if (!written || std::rename(temporary, highScoreFileName) != 0) ::unlink(temporary);
}

}  // namespace vexlorn
