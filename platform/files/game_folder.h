// A folder of files the game makes for itself (the recordings): entered only as the owner rule
// allows, filled through temporaries that nobody else can have prepared, and of which only the
// player's own regular files are ever read, renamed or removed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vexlorn {

class GameFolder {
public:
    // `path` relative to the working directory, or absolute; made when `create` is on and there
    // is nothing of that name yet.
    GameFolder(const std::string& path, bool create);
    ~GameFolder();
    GameFolder(const GameFolder&) = delete;
    GameFolder& operator=(const GameFolder&) = delete;

    // False when there is no such folder, or it is not one the owner rule lets the game enter.
    bool usable() const { return usable_; }

    struct File {
        std::string name;
        int64_t modified = 0;  // nanoseconds since 1970
    };
    // The regular files directly in the folder that belong to the player, in no set order.
    std::vector<File> ownFiles() const;

    // `bytes` as a new file called `name`, whole or not at all: written and flushed under a
    // fresh random name, then put in place without replacing anything. False when the name is
    // taken or nothing could be written. Clears temporaries of killed writes on the way.
    bool add(const std::string& name, const std::vector<uint8_t>& bytes) const;
    // Up to `limit` bytes of one of the player's own regular files.
    bool read(const std::string& name, std::size_t limit, std::vector<uint8_t>& bytes) const;
    // One of the player's own regular files given a new name that nothing has yet.
    bool rename(const std::string& from, const std::string& to) const;
    // One of the player's own regular files removed.
    bool remove(const std::string& name) const;

private:
    void removeStrayTemporaries() const;

    std::string path_;
    int fd_ = -1;  // the folder, open, where the system has descriptors for folders
    bool usable_ = false;
};

}  // namespace vexlorn
