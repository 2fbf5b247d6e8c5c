// Reading, merging and saving the player's choices.
#include "frame/settings.h"

#include <sstream>
#include <vector>

#include "platform/files/settings_file.h"

namespace vexlorn {

namespace {

constexpr const char* musicKey = "music";
constexpr const char* displayKey = "display";
constexpr const char* scaleKey = "scale";

// Splits "key=value" around the first '=', white space around either part ignored.
bool splitLine(const std::string& line, std::string& key, std::string& value) {
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos) return false;
    auto trim = [](const std::string& part) {
        const char* blank = " \t\r";
        const std::size_t first = part.find_first_not_of(blank);
        if (first == std::string::npos) return std::string();
        return part.substr(first, part.find_last_not_of(blank) - first + 1);
    };
    key = trim(line.substr(0, equals));
    value = trim(line.substr(equals + 1));
    return true;
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::string scaleText(int scale) {
    if (scale == fillScale) return "fill";
    if (scale >= 1 && scale <= largestScale) return std::to_string(scale);
    return "auto";
}

// What the line for `key` says now; "" for a key the game does not know.
std::string valueFor(const std::string& key, const Settings& settings) {
    if (key == musicKey) return settings.musicMuted ? "off" : "on";
    if (key == displayKey) return settings.windowed ? "window" : "fullscreen";
    if (key == scaleKey) return scaleText(settings.scale);
    return "";
}

bool keyIn(const std::string& key, const SettingKeys& keys) {
    return (key == musicKey && keys.music) || (key == displayKey && keys.display) ||
           (key == scaleKey && keys.scale);
}

void mark(const std::string& key, SettingKeys& keys) {
    keys.music |= key == musicKey;
    keys.display |= key == displayKey;
    keys.scale |= key == scaleKey;
}

// Which known keys have a line of their own in the text.
SettingKeys keysIn(const std::string& text) {
    SettingKeys keys;
    for (const std::string& line : linesOf(text)) {
        std::string key;
        std::string value;
        if (splitLine(line, key, value)) mark(key, keys);
    }
    return keys;
}

}  // namespace

bool isSettingsText(const std::string& text) {
    if (static_cast<long>(text.size()) >= settingsFileLimit) return false;
    for (const unsigned char c : text) {
        if ((c < 0x20 && c != '\n' && c != '\r' && c != '\t') || c == 0x7f) return false;
    }
    return true;
}

Settings parseSettings(const std::string& text) {
    Settings settings;
    for (const std::string& line : linesOf(text)) {
        std::string key;
        std::string value;
        if (!splitLine(line, key, value)) continue;
        if (key == musicKey && (value == "on" || value == "off")) {
            settings.musicMuted = value == "off";
        } else if (key == displayKey && (value == "window" || value == "fullscreen")) {
            settings.windowed = value == "window";
        } else if (key == scaleKey) {
            settings.scale = scaleValue(value.c_str());
        }
    }
    return settings;
}

std::string updateSettingsText(const std::string& text, const Settings& settings,
                               const SettingKeys& changed) {
    std::string out;
    SettingKeys written;
    for (const std::string& line : linesOf(text)) {
        std::string key;
        std::string value;
        if (splitLine(line, key, value) && keyIn(key, changed)) {
            out += key + "=" + valueFor(key, settings) + "\n";
            mark(key, written);
        } else {
            out += line + "\n";
        }
    }
    for (const std::string key : {musicKey, displayKey, scaleKey}) {
        if (keyIn(key, changed) && !keyIn(key, written)) {
            out += key + "=" + valueFor(key, settings) + "\n";
        }
    }
    return out;
}

namespace {

struct SettingsFile {
    std::string path;
    std::string text;
    bool writable = false;  // read whole as text, or not there at all
    Settings saved;         // what the file holds as far as this run knows
    SettingKeys fixed;      // given on the command line: never written this run
};

SettingsFile file;

// Only the changed lines are set, in the file as it is now: another copy of the game may have
// changed its own since this one read the file, and that change stays.
void save(const SettingKeys& changed) {
    if (!file.writable) return;
    changeSettingsFile(file.path, [&changed](const std::string& current, std::string& updated) {
        if (!isSettingsText(current)) return false;
        updated = updateSettingsText(current, file.saved, changed);
        if (updated == current) return false;
        file.text = updated;
        return true;
    });
}

}  // namespace

Settings loadSettings(const Options& options) {
    file = SettingsFile{};
    file.path = settingsPath();
    SettingsRead read = readSettingsFile(file.path, file.text);
    if (read == SettingsRead::Text && !isSettingsText(file.text)) read = SettingsRead::Damaged;
    file.writable = read == SettingsRead::Text || read == SettingsRead::Missing;
    if (read != SettingsRead::Text) file.text.clear();
    file.saved = parseSettings(file.text);
    Settings run = file.saved;
    // The desktop entry passes -window and -scale beside -user-data: there they only say how
    // the first start looks, and once the player has chosen, the choice wins.
    const bool desktopLaunch = options.dataHome;
    const SettingKeys kept = keysIn(file.text);
    if (options.windowed && !(desktopLaunch && kept.display)) {
        run.windowed = true;
        file.fixed.display = !desktopLaunch;
    }
    if (options.scale != 0 && !(desktopLaunch && kept.scale)) {
        run.scale = options.scale;
        file.fixed.scale = !desktopLaunch;
    }
    // A desktop launch's first look counts as what the file holds until the player changes it.
    if (desktopLaunch) file.saved = run;
    return run;
}

void forgetSettings() {
    file = SettingsFile{};
}

void rememberMusic(bool muted) {
    if (file.saved.musicMuted == muted) return;
    file.saved.musicMuted = muted;
    save(SettingKeys{true, false, false});
}

void rememberDisplay(bool windowed, int scale) {
    SettingKeys changed;
    if (!file.fixed.display && file.saved.windowed != windowed) {
        file.saved.windowed = windowed;
        changed.display = true;
    }
    if (!file.fixed.scale && file.saved.scale != scale) {
        file.saved.scale = scale;
        changed.scale = true;
    }
    if (changed.display || changed.scale) save(changed);
}

}  // namespace vexlorn
