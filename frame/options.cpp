// Command-line parsing.
#include "frame/options.h"

#include <strings.h>

namespace vexlorn {

Options parseOptions(int argc, const char* const* argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (strcasecmp(arg, "-window") == 0) options.windowed = true;
        if (strcasecmp(arg, "-fps") == 0) options.showFps = true;
        if (strcasecmp(arg, "-cheat") == 0) options.cheat = true;
    }
    return options;
}

}  // namespace vexlorn
