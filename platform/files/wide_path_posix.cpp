// File names are bytes on POSIX: UTF-8 names go to the C calls as they are.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/files/wide_path.h"

namespace vexlorn {

std::FILE* openFile(const char* path, const char* mode) {
    return std::fopen(path, mode);
}

PathFacts describePath(const char* path) {
    PathFacts facts;
    struct stat status {};
    if (::stat(path, &status) != 0) {
        facts.kind = errno == ENOENT || errno == ENOTDIR ? PathKind::Missing : PathKind::Unreadable;
        facts.error = errno;
        return facts;
    }
    facts.kind = S_ISREG(status.st_mode)   ? PathKind::File
                 : S_ISDIR(status.st_mode) ? PathKind::Folder
                                           : PathKind::Other;
    facts.size = static_cast<std::uint64_t>(status.st_size);
    return facts;
}

bool removeFile(const std::string& path) {
    return ::unlink(path.c_str()) == 0;
}

bool renameFile(const std::string& from, const std::string& to) {
    return ::rename(from.c_str(), to.c_str()) == 0;
}

bool makeFolders(const std::string& path) {
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        ::mkdir(path.substr(0, slash).c_str(), 0777);
    }
    ::mkdir(path.c_str(), 0777);
    return describePath(path.c_str()).kind == PathKind::Folder;
}

std::vector<std::string> folderNames(const std::string& folder) {
    std::vector<std::string> names;
    DIR* listing = ::opendir(folder.c_str());
    if (listing == nullptr) return names;
    while (const dirent* entry = ::readdir(listing)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    ::closedir(listing);
    return names;
}

}  // namespace vexlorn
