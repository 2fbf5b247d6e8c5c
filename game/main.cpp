// The program's entry point.
#include <allegro.h>

#include <cstdio>
#include <string>
#include <vector>

#include "frame/desktop_events.h"
#include "game/game.h"
#include "platform/desktop/window_system.h"
#include "platform/system/process_end.h"
#include "platform/system/program_arguments.h"

// As for an unknown option: the command line itself is at fault.
constexpr int unreadableArguments = 2;

int main(int argc, char** argv) {
    std::vector<std::string> arguments;
    std::string error;
    if (!vexlorn::programArguments(argc, argv, arguments, error)) {
        std::fprintf(stderr, "vexlorn: %s\n", error.c_str());
        return unreadableArguments;
    }
    std::vector<const char*> texts;
    texts.reserve(arguments.size() + 1);
    for (const std::string& argument : arguments) texts.push_back(argument.c_str());
    texts.push_back(nullptr);
    vexlorn::holdStopSignals();
    vexlorn::setWindowIcon();
    const int status = vexlorn::runGame(static_cast<int>(arguments.size()), texts.data());
    vexlorn::endProcessWithin(status);
    return status;
}
END_OF_MAIN()
