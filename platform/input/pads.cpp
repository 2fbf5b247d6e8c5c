// Game pads through SDL's game-controller API, folded into the ten controls the game uses.
//
// SDL runs here without its video part, beside Allegro's window: only the controller, joystick
// and event subsystems. Pads are tracked through SDL's events rather than read as a state, so a
// button pressed and released again between two polls still counts as pressed.
#include "pads.h"

#include <SDL.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <iterator>
#include <unordered_map>
#include <vector>

#include "platform/files/regular_file.h"
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
    unsigned pressed;    // padBit of each control that went down since the last poll
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

OpenPad* findPad(SDL_JoystickID id) {
    for (OpenPad& pad : openPads) {
        if (pad.id == id) return &pad;
    }
    return nullptr;
}

unsigned heldBits(const OpenPad& pad) {
    return pad.buttons | stickBits(pad);
}

unsigned heldBits() {
    unsigned bits = 0;
    for (const OpenPad& pad : openPads) bits |= heldBits(pad);
    return bits;
}

// The id of the pad an event is about, or -1 for events about no open pad.
SDL_JoystickID eventPad(const SDL_Event& event) {
    switch (event.type) {
        case SDL_CONTROLLERBUTTONDOWN:
        case SDL_CONTROLLERBUTTONUP:
            return event.cbutton.which;
        case SDL_CONTROLLERAXISMOTION:
            return event.caxis.which;
        default:
            return -1;
    }
}

void openPad(int deviceIndex) {
    if (!SDL_IsGameController(deviceIndex)) return;
    // Pads present at start-up are opened there and announced again by an event.
    if (findPad(SDL_JoystickGetDeviceInstanceID(deviceIndex)) != nullptr) return;
    SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex);
    if (controller == nullptr) return;
    SDL_JoystickID id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
    openPads.push_back({controller, id, 0, 0, 0, 0});
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

void giveMapping(int deviceIndex);

void handleEvent(const SDL_Event& event, PadInput& input) {
    switch (event.type) {
        case SDL_JOYDEVICEADDED:
            // A pad SDL knows only from the mapping file is a game controller only from now on.
            giveMapping(event.jdevice.which);  // a device index
            openPad(event.jdevice.which);
            break;
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

// The whole file, when it is a regular one within the limits; empty otherwise. Never blocks, so
// that a FIFO or a device cannot stall the start.
std::string readMappingFile(const std::string& path) {
    std::string text;
    // One byte more than the limit, so that a longer file is seen to be too long.
    if (path.empty() ||
        !readRegularFile(path.c_str(), static_cast<size_t>(maxMappingFileBytes) + 1, text) ||
        text.size() > static_cast<size_t>(maxMappingFileBytes)) {
        return std::string();
    }
    return text;
}

// The file's mapping lines for this platform, kept until a pad they may be meant for appears.
// SDL's own search takes time that grows with the square of the lines it holds: a whole
// database handed over at once would keep the window black for long, so SDL is given only the
// lines of the pads actually plugged in, and picks among them by its own rules.
std::unordered_map<std::string, std::vector<std::string>> waitingMappings;

// A GUID (32 hex digits) without the two parts SDL may leave out when it matches a line to a
// pad: the CRC of the pad's name (digits 4..7) and its version (digits 24..27). Lower case.
std::string mappingKey(std::string guid) {
    constexpr std::size_t crcDigits = 4, versionDigits = 24, fieldDigits = 4;
    if (guid.size() != 32) return std::string();
    for (char& c : guid) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    guid.replace(crcDigits, fieldDigits, fieldDigits, '0');
    guid.replace(versionDigits, fieldDigits, fieldDigits, '0');
    return guid;
}

void keepMappingLine(std::string line) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::size_t comma = line.find(',');
    if (line.empty() || line[0] == '#' || comma == std::string::npos) return;
    const std::size_t platform = line.find("platform:");
    if (platform != std::string::npos) {
        const std::size_t start = platform + 9;
        if (line.compare(start, line.find(',', start) - start, SDL_GetPlatform()) != 0) return;
    }
    const std::string key = mappingKey(line.substr(0, comma));
    if (!key.empty()) waitingMappings[key].push_back(std::move(line));
}

// SDL passes over lines it cannot read; a file it cannot read at all changes nothing, and one
// past the limits is passed over whole.
void loadMappings(const std::string& path) {
    waitingMappings.clear();
    const std::string text = readMappingFile(path);
    if (text.empty() || !mappingFileFits(text)) return;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        keepMappingLine(text.substr(start, end - start));
        start = end + 1;
    }
}

// Before SDL decides whether the pad at deviceIndex is a game controller.
void giveMapping(int deviceIndex) {
    char guid[40];
    SDL_JoystickGetGUIDString(SDL_JoystickGetDeviceGUID(deviceIndex), guid, sizeof guid);
    const auto lines = waitingMappings.find(mappingKey(guid));
    if (lines == waitingMappings.end()) return;
    // In the file's order: as when SDL reads the file, a later line for a pad replaces an earlier.
    for (const std::string& line : lines->second) SDL_GameControllerAddMapping(line.c_str());
    waitingMappings.erase(lines);
}

}  // namespace

bool startPads(const std::string& mappingFile) {
    if (started) return true;
    // Otherwise SDL's event subsystem takes SIGINT and SIGTERM over from Allegro.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) return false;
    started = true;
    loadMappings(mappingFile);
    for (int i = 0; i < SDL_NumJoysticks(); ++i) {
        giveMapping(i);
        openPad(i);
    }
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
    waitingMappings.clear();
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
            OpenPad* pad = findPad(eventPad(events[i]));
            const unsigned padBefore = pad != nullptr ? heldBits(*pad) : 0;
            handleEvent(events[i], input);
            input.pressed |= heldBits() & ~before;
            if (pad != nullptr) pad->pressed |= heldBits(*pad) & ~padBefore;
        }
    }
    input.held = heldBits();
    // The pads still plugged in, those pulled out during the poll gone with what they pressed.
    for (OpenPad& pad : openPads) {
        if (input.padCount < padsApart)
            input.each[input.padCount++] = {pad.id, pad.pressed, heldBits(pad)};
        pad.pressed = 0;
    }
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
