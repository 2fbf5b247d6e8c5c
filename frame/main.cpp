// The program's entry point.
#include <allegro.h>

#include "frame/app.h"
#include "frame/data_home.h"

int main(int argc, char** argv) {
    // Before anything opens a file by its bare name.
    vexlorn::enterDataHomeIfAsked(argc, argv);
    return vexlorn::runGame(argc, argv);
}
END_OF_MAIN()
