// Command-line parsing.
#include "frame/options.h"

#include <strings.h>

namespace vexlorn {

int scaleValue(const char* text) {
    if (strcasecmp(text, "fill") == 0) return fillScale;
    if (text[0] < '1' || text[0] > '0' + largestScale || text[1] != '\0') return 0;
    return text[0] - '0';
}

int portValue(const char* text) {
    int value = 0;
    for (int i = 0; text[i] != '\0'; ++i) {
        if (text[i] < '0' || text[i] > '9' || i >= 5) return 0;
        value = value * 10 + (text[i] - '0');
    }
    return value <= 65535 ? value : 0;
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
        if (strcasecmp(arg, "-replay") == 0) {
            // The next argument is the file, even one named like an option.
            options.replay = i + 1 < argc && argv[i + 1][0] != '\0' ? argv[i + 1] : nullptr;
            options.replayWithoutFile = options.replay == nullptr;
            if (i + 1 < argc) ++i;
        }
        if (strcasecmp(arg, "-host") == 0) {
            options.host = true;
            // The port is optional: a number after it is taken as the port.
            if (i + 1 < argc && portValue(argv[i + 1]) != 0)
                options.hostPort = portValue(argv[++i]);
        }
        if (strcasecmp(arg, "-join") == 0 && i + 1 < argc) options.join = argv[++i];
        if (strcasecmp(arg, "-scale") == 0 && i + 1 < argc && scaleValue(argv[i + 1]) != 0) {
            options.scale = scaleValue(argv[++i]);
        }
    }
    return options;
}

}  // namespace vexlorn
