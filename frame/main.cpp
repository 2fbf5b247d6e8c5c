// The program's entry point.
#include <allegro.h>

#include "frame/app.h"

int main(int argc, char** argv) {
    return vexlorn::runGame(argc, argv);
}
END_OF_MAIN()
