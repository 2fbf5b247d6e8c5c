// Command-line parsing.
#include "frame/options.h"

#include <strings.h>

namespace vexlorn {

int scaleValue(const char* text) {
    if (strcasecmp(text, "fill") == 0) return fillScale;
    if (text[0] < '1' || text[0] > '0' + largestScale || text[1] != '\0') return 0;
    return text[0] - '0';
}

Options parseOptions(int argc, const char* const* argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (strcasecmp(arg, "-window") == 0) options.windowed = true;
        if (strcasecmp(arg, "-fps") == 0) options.showFps = true;
        if (strcasecmp(arg, "-cheat") == 0) options.cheat = true;
        if (strcasecmp(arg, "-user-data") == 0 || strcasecmp(arg, "-xdg-data") == 0) {
            options.dataHome = true;
        }
        if (strcasecmp(arg, "-versus") == 0) options.versus = true;
        // A missing or malformed number leaves "-scale" ignored, and the next argument is
        // read as an argument of its own.
        if (strcasecmp(arg, "-replay") == 0 && i + 1 < argc) options.replay = argv[++i];
        if (strcasecmp(arg, "-scale") == 0 && i + 1 < argc && scaleValue(argv[i + 1]) != 0) {
            options.scale = scaleValue(argv[++i]);
        }
    }
    return options;
}

}  // namespace vexlorn
