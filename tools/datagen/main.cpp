// Stand-in generator until the real one exists: writes nothing useful.
#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    std::FILE* file = std::fopen(argv[1], "wb");
    if (!file) return 1;
    std::fclose(file);
    return 0;
}
