// The game as the frame loop runs it: its first screen, what it loads and what it keeps.
#pragma once

#include "frame/app.h"

namespace vexlorn {

extern const Program gameProgram;

// The data file (from `path`, or beside the executable), the hall of fame and the menu's
// pictures. On failure `error` names the file; nothing is kept.
bool loadGame(char* error, int errorSize);
bool loadGameFrom(const char* path, char* error, int errorSize);
// The pictures freed and the hall of fame written.
void unloadGame();

// The whole program, from its command line to its exit status.
int runGame(int argc, const char* const* argv);

}  // namespace vexlorn
