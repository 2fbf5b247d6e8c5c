// The hall-of-fame file held for one save: locked against a second copy of the game, re-read,
// and replaced without putting the old file at risk.
#pragma once

#include <limits.h>
#include <sys/stat.h>

namespace vexlorn {

// Opening follows symbolic links to the file they finally name (which may not exist yet) and
// takes an advisory lock: on the file itself, or on a lock file beside it while there is no
// file to lock. The lock is held until the object goes away.
class HighScoreFile {
public:
    explicit HighScoreFile(const char* name);
    ~HighScoreFile();
    HighScoreFile(const HighScoreFile&) = delete;
    HighScoreFile& operator=(const HighScoreFile&) = delete;

    // False when the name is not ours to replace: a directory, a pipe or another non-regular
    // file, a file this process may not both read and write, a loop of links.
    bool usable() const { return usable_; }
    // Up to capacity leading bytes of the file as it is now; 0 when there is none.
    int read(unsigned char* out, int capacity) const;
    // Through a temporary beside the file, renamed over it; where no temporary can be made,
    // over the old bytes in place. The old file's mode and, where allowed, owner stay.
    bool write(const unsigned char* data, int length);

private:
    void lock();
    bool lockFile(bool last);
    void lockBeside(bool last);
    bool writeThroughTemporary(const unsigned char* data, int length, bool& noTemporary) const;
    bool writeInPlace(const unsigned char* data, int length) const;
    void takeOldModeAndOwner(int fd) const;
    void releaseLockFile();

    char path_[PATH_MAX] = {};      // the link's final target, or the name itself
    char lockPath_[PATH_MAX] = {};  // the lock file beside it
    int fd_ = -1;                   // the file, open for reading and writing, when it exists
    int lockFd_ = -1;               // the lock file, while there is no file to lock
    struct stat old_ = {};          // the file's mode and owner, when fd_ is open
    bool usable_ = false;
};

}  // namespace vexlorn
