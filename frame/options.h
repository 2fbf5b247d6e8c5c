// The command line: "-window", "-fps", "-cheat", compared whole and without regard to case.
#pragma once

namespace vexlorn {

struct Options {
    bool windowed = false;
    bool showFps = false;
    bool cheat = false;
};

Options parseOptions(int argc, const char* const* argv);

}  // namespace vexlorn
