// A small file that several copies of the game share and each replaces at exit: found through
// links only as the kernel would follow them, locked against the other copies, re-read, and
// replaced without putting the old file at risk.
#pragma once

#include <sys/stat.h>

#include <functional>
#include <string>

namespace vexlorn {

// Makes the new contents (size bytes, into image) from what the file holds now (length bytes,
// 0 when there is no file yet).
using ComposeFile =
    std::function<void(const unsigned char* current, int length, unsigned char* image)>;

// Makes the new contents (into image) from what the file holds now (current, "" when there is
// no file yet, longer than the limit when the file goes on past it); false to leave it alone.
using ComposeText = std::function<bool(const std::string& current, std::string& image)>;

// Opening follows symbolic links as the kernel allows them, to the file they finally name (which
// may not exist yet), and takes an advisory lock: on the file itself, or on a lock file beside it
// while there is no file to lock. The lock is held until the object goes away.
class SharedFile {
public:
    explicit SharedFile(const char* name);
    ~SharedFile();
    SharedFile(const SharedFile&) = delete;
    SharedFile& operator=(const SharedFile&) = delete;

    // False when the name is not ours to replace: a directory, a pipe or another non-regular
    // file, a file this process may not both read and write, a loop of links, a link or a file
    // of someone else's in a directory others may write to (see owner_rule.h), anything under
    // /proc, /sys or /dev.
    bool usable() const { return usable_; }

    // Reads the file, has compose make the new contents and puts them in place: through a
    // temporary beside the file, renamed over it; where no temporary can be made or the rename
    // is refused, over the old bytes in place. When another copy replaced the file in the
    // meantime (one that gave up waiting for the lock), composes again from that copy's file.
    // The old file's mode and, where allowed, owner stay. Removes temporaries that saves killed
    // on the way left behind.
    bool save(int size, const ComposeFile& compose);
    // The same for a file of any length up to `limit` bytes, such as a text file.
    bool saveText(int limit, const ComposeText& compose);

    // The name opened for reading only, through links as above; -1 when there is no regular file
    // to read there.
    static int openForReading(const char* name);

private:
    bool acquire();
    void release();
    bool lockFile(bool last);
    void lockBeside(bool last);
    bool holds(const char* name, int fd) const;
    int read(unsigned char* out, int capacity);
    bool unchangedSinceRead() const;
    bool replace(const unsigned char* data, int length) const;
    bool writeThroughTemporary(const unsigned char* data, int length, bool& fallBack) const;
    bool writeInPlace(const unsigned char* data, int length) const;
    void takeOldModeAndOwner(int fd) const;
    void releaseLockFile();
    void removeStrayTemporaries(int size) const;

    std::string name_;
    std::string base_;       // the last name the links lead to, in directory_
    int directory_ = -1;     // the directory that holds it
    int fd_ = -1;            // the file, open for reading and writing, when it exists
    int lockFd_ = -1;        // the lock file, while there is no file to lock
    struct stat read_ = {};  // the file as it was when read: identity, size, time, mode, owner
    bool usable_ = false;
};

// For the tests: how long a save waits for another copy's lock before it goes on without it,
// and a call made when a save has composed its contents but not yet put them in place (where a
// stalled save would stand).
struct SharedFileSeams {
    int lockPatienceMs = 3000;
    void (*beforeReplace)() = nullptr;
};
extern SharedFileSeams sharedFileSeams;

}  // namespace vexlorn
