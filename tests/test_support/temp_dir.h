// A temporary working directory for tests that touch files; removed with its contents.
#pragma once

#include <filesystem>
#include <random>
#include <string>
#include <system_error>

namespace vexlorn {

class TempDir {
public:
    TempDir() {
        namespace fs = std::filesystem;
        std::error_code error;
        fs::path base = fs::temp_directory_path(error);
        if (error) base = ".";
        std::random_device random;
        // A fresh name: create_directory reports whether it made the directory or found one.
        for (int attempt = 0; attempt < 100; ++attempt) {
            fs::path candidate = base / ("vexlorn-test-" + std::to_string(random()));
            if (fs::create_directory(candidate, error)) {
                path_ = candidate.generic_string();
                break;
            }
        }
        previous_ = fs::current_path(error);
    }
    ~TempDir() {
        namespace fs = std::filesystem;
        std::error_code error;
        if (entered_) fs::current_path(previous_, error);
        if (path_.empty()) return;
        // Tests take permissions away to plant faults; the owner gets them back to remove it.
        fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, error);
        for (auto it = fs::recursive_directory_iterator(path_, error);
             it != fs::recursive_directory_iterator(); it.increment(error)) {
            if (error) break;
            if (!it->is_symlink(error)) {
                fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, error);
            }
        }
        fs::remove_all(path_, error);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    void enter() {
        std::error_code error;
        std::filesystem::current_path(path_, error);
        entered_ = !error;
    }
    const std::string& path() const { return path_; }
    int count() const { return countIn(path_); }
    static int countIn(const std::string& path) {
        std::error_code error;
        int entries = 0;
        for (std::filesystem::directory_iterator it(path, error), end; !error && it != end;
             it.increment(error)) {
            ++entries;
        }
        return entries;
    }

private:
    std::string path_;
    std::filesystem::path previous_;
    bool entered_ = false;
};

}  // namespace vexlorn
