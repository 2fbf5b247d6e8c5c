// Pads that exist only in software (SDL's virtual joysticks): the stand-in for a real pad in the
// tests, and in the real program when VEXLORN_TEST_VIRTUAL_PAD names a script of pad actions.
#pragma once

#include <string>

namespace vexlorn {

// Plugs in a pad with every button and axis of a game controller. Returns its handle, or -1.
// The game opens it at its next poll.
int plugVirtualPad();
void unplugVirtualPad(int pad);

// Controls are named as SDL's mappings name them: "a", "start", "dpup", "leftx", ...
// SDL sees a change only at a poll: a press and release between two polls go unnoticed.
bool setVirtualPadButton(int pad, const char* button, bool down);
bool setVirtualPadAxis(int pad, const char* axis, int value);

// The mapping SDL holds for the pad a mapping line names by `guid` ("" when none). SDL gives
// virtual pads their own mapping whatever the files say, so the tests look here for a file's
// lines.
std::string padMapping(const char* guid);
// The GUID by which mapping lines name a plugged virtual pad.
std::string virtualPadGuid(int pad);

// The script, one action a line, appended while the game runs: "start down", "start up",
// "leftx -20000", "unplug", "plug". A pad is plugged in when the script starts. A line that
// begins with "2 " acts on a second pad, which "2 plug" plugs in.
void startPadScript(const char* path);
void runPadScript();
void stopPadScript();

}  // namespace vexlorn
