// Pads that exist only in software, and the script that drives one inside the real program.
#include "virtual_pad.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/files/wide_path.h"

namespace vexlorn {
namespace {

// The handle is SDL's instance id: device indices shift as pads come and go.
int deviceIndexOf(int pad) {
    for (int i = 0; i < SDL_NumJoysticks(); ++i) {
        if (SDL_JoystickGetDeviceInstanceID(i) == pad) return i;
    }
    return -1;
}

SDL_Joystick* joystickOf(int pad) {
    return pad < 0 ? nullptr : SDL_JoystickFromInstanceID(pad);
}

std::FILE* scriptFile = nullptr;
// The first pad is plugged in when the script starts; a second one only by "2 plug".
int scriptPads[2] = {-1, -1};
std::string scriptPending;

void runScriptLine(const char* line) {
    int which = 0;
    if (std::strncmp(line, "2 ", 2) == 0) {
        which = 1;
        line += 2;
    }
    int& scriptPad = scriptPads[which];
    char control[32];
    char action[32];
    if (std::strcmp(line, "plug") == 0) {
        if (scriptPad < 0) scriptPad = plugVirtualPad();
    } else if (std::strcmp(line, "unplug") == 0) {
        unplugVirtualPad(scriptPad);
        scriptPad = -1;
    } else if (std::sscanf(line, "%31s %31s", control, action) == 2) {
        if (std::strcmp(action, "down") == 0 || std::strcmp(action, "up") == 0) {
            setVirtualPadButton(scriptPad, control, std::strcmp(action, "down") == 0);
        } else {
            setVirtualPadAxis(scriptPad, control, std::atoi(action));
        }
    }
}

}  // namespace

int plugVirtualPad() {
    SDL_VirtualJoystickDesc desc;
    SDL_zero(desc);
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    const int index = SDL_JoystickAttachVirtualEx(&desc);
    if (index < 0) return -1;
    const int pad = SDL_JoystickGetDeviceInstanceID(index);
    // Held open here too, so that its buttons can be set before the game has opened it.
    if (SDL_JoystickOpen(index) == nullptr) {
        SDL_JoystickDetachVirtual(index);
        return -1;
    }
    return pad;
}

void unplugVirtualPad(int pad) {
    SDL_Joystick* joystick = joystickOf(pad);
    if (joystick == nullptr) return;
    SDL_JoystickClose(joystick);
    const int index = deviceIndexOf(pad);
    if (index >= 0) SDL_JoystickDetachVirtual(index);
}

bool setVirtualPadButton(int pad, const char* button, bool down) {
    SDL_Joystick* joystick = joystickOf(pad);
    const SDL_GameControllerButton which = SDL_GameControllerGetButtonFromString(button);
    if (joystick == nullptr || which == SDL_CONTROLLER_BUTTON_INVALID) return false;
    return SDL_JoystickSetVirtualButton(joystick, which, down ? SDL_PRESSED : SDL_RELEASED) == 0;
}

bool setVirtualPadAxis(int pad, const char* axis, int value) {
    SDL_Joystick* joystick = joystickOf(pad);
    const SDL_GameControllerAxis which = SDL_GameControllerGetAxisFromString(axis);
    if (joystick == nullptr || which == SDL_CONTROLLER_AXIS_INVALID) return false;
    return SDL_JoystickSetVirtualAxis(joystick, which, static_cast<Sint16>(value)) == 0;
}

std::string padMapping(const char* guid) {
    char* mapping = SDL_GameControllerMappingForGUID(SDL_JoystickGetGUIDFromString(guid));
    std::string text = mapping != nullptr ? mapping : "";
    SDL_free(mapping);
    return text;
}

std::string virtualPadGuid(int pad) {
    char guid[40] = {};
    SDL_JoystickGetGUIDString(SDL_JoystickGetDeviceGUID(deviceIndexOf(pad)), guid, sizeof guid);
    return guid;
}

void startPadScript(const char* path) {
    // A file the test appends to: read to its end at every poll, and again from there.
    scriptFile = openFile(path, "rb");
    scriptPads[0] = plugVirtualPad();
}

void runPadScript() {
    if (scriptFile == nullptr) return;
    char buffer[256];
    size_t count;
    while ((count = std::fread(buffer, 1, sizeof buffer, scriptFile)) > 0) {
        scriptPending.append(buffer, count);
    }
    std::clearerr(scriptFile);
    size_t end;
    while ((end = scriptPending.find('\n')) != std::string::npos) {
        runScriptLine(scriptPending.substr(0, end).c_str());
        scriptPending.erase(0, end + 1);
    }
}

void stopPadScript() {
    if (scriptFile != nullptr) std::fclose(scriptFile);
    scriptFile = nullptr;
    for (int& pad : scriptPads) {
        unplugVirtualPad(pad);
        pad = -1;
    }
    scriptPending.clear();
}

}  // namespace vexlorn
