// The program's entry point.
#include <allegro.h>

#include "frame/desktop_events.h"
#include "game/game.h"
#include "platform/desktop/window_system.h"

int main(int argc, char** argv) {
    vexlorn::holdStopSignals();
    vexlorn::setWindowIcon();
    return vexlorn::runGame(argc, argv);
}
END_OF_MAIN()
