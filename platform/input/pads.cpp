// Game pads through SDL's game-controller API, folded into the ten controls the game uses.
//
// SDL runs here without its video part, beside Allegro's window: only the controller, joystick
// and event subsystems. Pads are tracked through SDL's events rather than read as a state, so a
// button pressed and released again between two polls still counts as pressed.
#include "pads.h"

#include <SDL.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <vector>

#include "virtual_pad.h"

namespace vexlorn {
namespace {

struct ButtonControl {
    SDL_GameControllerButton button;
    PadControl control;
};

// Shoulders, triggers, stick clicks and the guide button do nothing.
constexpr ButtonControl buttonTable[] = {
    {SDL_CONTROLLER_BUTTON_DPAD_UP, PadUp},
    {SDL_CONTROLLER_BUTTON_DPAD_DOWN, PadDown},
    {SDL_CONTROLLER_BUTTON_DPAD_LEFT, PadLeft},
    {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, PadRight},
    {SDL_CONTROLLER_BUTTON_A, PadA},
    {SDL_CONTROLLER_BUTTON_B, PadB},
    {SDL_CONTROLLER_BUTTON_X, PadX},
    {SDL_CONTROLLER_BUTTON_Y, PadY},
    {SDL_CONTROLLER_BUTTON_BACK, PadBack},
    {SDL_CONTROLLER_BUTTON_START, PadStart},
};
static_assert(std::size(buttonTable) == PadControlCount, "every control has its button");

struct OpenPad {
    SDL_GameController* controller;
    SDL_JoystickID id;
    unsigned buttons;    // padBit of each control whose button is down
    int stickX, stickY;  // -1, 0 or +1; up is negative
};

std::vector<OpenPad> openPads;
bool started = false;
bool scripted = false;

unsigned stickBits(const OpenPad& pad) {
    unsigned bits = 0;
    if (pad.stickX < 0) bits |= padBit(PadLeft);
    if (pad.stickX > 0) bits |= padBit(PadRight);
    if (pad.stickY < 0) bits |= padBit(PadUp);
    if (pad.stickY > 0) bits |= padBit(PadDown);
    return bits;
}

unsigned heldBits() {
    unsigned bits = 0;
    for (const OpenPad& pad : openPads) bits |= pad.buttons | stickBits(pad);
    return bits;
}

OpenPad* findPad(SDL_JoystickID id) {
    for (OpenPad& pad : openPads) {
        if (pad.id == id) return &pad;
    }
    return nullptr;
}

void openPad(int deviceIndex) {
    if (!SDL_IsGameController(deviceIndex)) return;
    // Pads present at start-up are opened there and announced again by an event.
    if (findPad(SDL_JoystickGetDeviceInstanceID(deviceIndex)) != nullptr) return;
    SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex);
    if (controller == nullptr) return;
    SDL_JoystickID id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
    openPads.push_back({controller, id, 0, 0, 0});
}

bool closePad(SDL_JoystickID id) {
    for (auto pad = openPads.begin(); pad != openPads.end(); ++pad) {
        if (pad->id == id) {
            SDL_GameControllerClose(pad->controller);
            openPads.erase(pad);
            return true;
        }
    }
    return false;
}

void setButton(const SDL_ControllerButtonEvent& event) {
    OpenPad* pad = findPad(event.which);
    if (pad == nullptr) return;
    for (const ButtonControl& entry : buttonTable) {
        if (entry.button != event.button) continue;
        if (event.state == SDL_PRESSED) {
            pad->buttons |= padBit(entry.control);
        } else {
            pad->buttons &= ~padBit(entry.control);
        }
    }
}

void setAxis(const SDL_ControllerAxisEvent& event) {
    OpenPad* pad = findPad(event.which);
    if (pad == nullptr) return;
    if (event.axis == SDL_CONTROLLER_AXIS_LEFTX)
        pad->stickX = stickAxisDirection(pad->stickX, event.value);
    if (event.axis == SDL_CONTROLLER_AXIS_LEFTY)
        pad->stickY = stickAxisDirection(pad->stickY, event.value);
}

void handleEvent(const SDL_Event& event, PadInput& input) {
    switch (event.type) {
        case SDL_CONTROLLERDEVICEADDED:
            openPad(event.cdevice.which);  // a device index
            break;
        case SDL_CONTROLLERDEVICEREMOVED:
            if (closePad(event.cdevice.which)) input.removed += 1;  // an instance id
            break;
        case SDL_CONTROLLERBUTTONDOWN:
        case SDL_CONTROLLERBUTTONUP:
            setButton(event.cbutton);
            break;
        case SDL_CONTROLLERAXISMOTION:
            setAxis(event.caxis);
            break;
        default:
            break;
    }
}

// The whole file, when it is a regular one within the limits; empty otherwise. Non-blocking,
// so that a FIFO or a device cannot stall the start.
std::string readMappingFile(const std::string& path) {
    std::string text;
    const int fd = path.empty() ? -1 : open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return text;
    struct stat info;
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size <= maxMappingFileBytes) {
        // One byte more than the limit, so that a file that grew since is seen to be too long.
        text.resize(static_cast<size_t>(maxMappingFileBytes) + 1);
        size_t got = 0;
        for (ssize_t part;
             got < text.size() && (part = read(fd, &text[got], text.size() - got)) > 0;)
            got += static_cast<size_t>(part);
        text.resize(got);
    }
    close(fd);
    return text;
}

// SDL passes over lines it cannot read; a file it cannot read at all changes nothing, and one
// past the limits is passed over whole: SDL takes time that grows with the square of the count.
void loadMappings(const std::string& path) {
    std::string text = readMappingFile(path);
    if (text.empty() || !mappingFileFits(text)) return;
    SDL_GameControllerAddMappingsFromRW(
        SDL_RWFromConstMem(text.data(), static_cast<int>(text.size())), 1);
}

}  // namespace

bool startPads(const std::string& mappingFile) {
    if (started) return true;
    // Otherwise SDL's event subsystem takes SIGINT and SIGTERM over from Allegro.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) return false;
    started = true;
    loadMappings(mappingFile);
    for (int i = 0; i < SDL_NumJoysticks(); ++i) openPad(i);
#ifdef VEXLORN_TEST_SEAMS
    // Test seam: the real program under a window test has no pad but this scripted one. Only
    // builds with the tests have it; a player's build reads no such variable.
    if (const char* script = std::getenv("VEXLORN_TEST_VIRTUAL_PAD")) {
        startPadScript(script);
        scripted = true;
    }
#endif
    return true;
}

void stopPads() {
    if (!started) return;
    if (scripted) stopPadScript();
    scripted = false;
    for (const OpenPad& pad : openPads) SDL_GameControllerClose(pad.controller);
    openPads.clear();
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    started = false;
}

bool padsStarted() {
    return started;
}

int openPadCount() {
    return static_cast<int>(openPads.size());
}

PadInput pollPads() {
    PadInput input;
    if (!started) return input;
    if (scripted) runPadScript();
    SDL_PumpEvents();
    SDL_Event events[16];
    int count;
    // Every event is taken, not only the pads': nothing else in the game reads SDL's queue.
    while ((count = SDL_PeepEvents(events, static_cast<int>(std::size(events)), SDL_GETEVENT,
                                   SDL_FIRSTEVENT, SDL_LASTEVENT)) > 0) {
        for (int i = 0; i < count; ++i) {
            const unsigned before = heldBits();
            handleEvent(events[i], input);
            input.pressed |= heldBits() & ~before;
        }
    }
    input.held = heldBits();
    return input;
}

bool mappingFileFits(const std::string& text) {
    if (text.size() > static_cast<size_t>(maxMappingFileBytes)) return false;
    size_t lines = static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
    if (!text.empty() && text.back() != '\n') lines += 1;
    return lines <= static_cast<size_t>(maxMappingFileLines);
}

std::string padMappingPath(const char* xdgConfigHome, const char* home) {
    // XDG's rules say a relative XDG_CONFIG_HOME is to be ignored.
    if (xdgConfigHome != nullptr && xdgConfigHome[0] == '/') {
        return std::string(xdgConfigHome) + "/vexlorn/gamecontrollerdb.txt";
    }
    if (home != nullptr && home[0] != '\0') {
        return std::string(home) + "/.config/vexlorn/gamecontrollerdb.txt";
    }
    return std::string();
}

int stickAxisDirection(int previous, int value) {
    if (previous < 0 && value < -stickReleaseAt) return -1;
    if (previous > 0 && value > stickReleaseAt) return 1;
    if (value <= -stickPushAt) return -1;
    if (value >= stickPushAt) return 1;
    return 0;
}

}  // namespace vexlorn
