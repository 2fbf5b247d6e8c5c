// Replays fuzz inputs (files or directories of files) through a target without libFuzzer:
// the regression run of every corpus and every finding.
#include <dirent.h>
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

static int replayFile(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return 0;
    std::vector<uint8_t> bytes;
    uint8_t buffer[65536];
    size_t count;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        bytes.insert(bytes.end(), buffer, buffer + count);
    }
    std::fclose(file);
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    return 1;
}

static int replay(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return 0;
    if (!S_ISDIR(info.st_mode)) return replayFile(path);
    int replayed = 0;
    if (DIR* dir = opendir(path.c_str())) {
        while (dirent* entry = readdir(dir)) {
            std::string name = entry->d_name;
            if (name != "." && name != "..") replayed += replay(path + "/" + name);
        }
        closedir(dir);
    }
    return replayed;
}

int main(int argc, char** argv) {
    int replayed = 0;
    for (int i = 1; i < argc; ++i) replayed += replay(argv[i]);
    std::printf("replayed %d inputs\n", replayed);
    return 0;
}
