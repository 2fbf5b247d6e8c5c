// A temporary working directory for tests that touch files; removed with its contents.
#pragma once

#include <dirent.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

namespace vexlorn {

class TempDir {
public:
    TempDir() {
        char pattern[] = "/tmp/vexlorn-test-XXXXXX";
        path_ = ::mkdtemp(pattern);
        char buffer[4096];
        previous_ = ::getcwd(buffer, sizeof buffer) ? buffer : "/tmp";
    }
    ~TempDir() {
        if (entered_ && ::chdir(previous_.c_str()) != 0) return;
        std::string command = "chmod -R u+rwx '" + path_ + "' && rm -rf '" + path_ + "'";
        if (std::system(command.c_str()) != 0) return;
    }
    void enter() { entered_ = ::chdir(path_.c_str()) == 0; }
    const std::string& path() const { return path_; }
    int count() const { return countIn(path_); }
    static int countIn(const std::string& path) {
        int entries = 0;
        if (DIR* dir = ::opendir(path.c_str())) {
            while (dirent* entry = ::readdir(dir)) {
                std::string name = entry->d_name;
                if (name != "." && name != "..") ++entries;
            }
            ::closedir(dir);
        }
        return entries;
    }

private:
    std::string path_;
    std::string previous_;
    bool entered_ = false;
};

}  // namespace vexlorn
