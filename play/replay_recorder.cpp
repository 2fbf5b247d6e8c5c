// The round recorder and the kept recordings.
#include "play/replay_recorder.h"

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <system_error>

#include "frame/globals.h"
#include "platform/files/whole_file.h"
#include "play/game1_state.h"

namespace vexlorn {

RoundRecorder roundRecorder;

namespace {

namespace fs = std::filesystem;

constexpr const char* fameMark = "fame-";
constexpr const char* replayExtension = ".vxr";

bool isOrdinaryReplay(const std::string& name) {
    const size_t extension = std::char_traits<char>::length(replayExtension);
    return name.size() > extension && name.compare(0, 5, fameMark) != 0 &&
           name.compare(name.size() - extension, extension, replayExtension) == 0;
}

// Names sort as the rounds were played: year first, down to the second.
std::string timeName(int64_t startTime) {
    const std::time_t when = static_cast<std::time_t>(startTime);
    std::tm local{};
    localtime_r(&when, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d_%H-%M-%S", &local);
    return text;
}

void removeOldest() {
    std::error_code error;
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(replayFolder, error)) {
        const std::string name = entry.path().filename().string();
        if (isOrdinaryReplay(name)) names.push_back(name);
    }
    if (names.size() <= static_cast<size_t>(keptOrdinaryReplays)) return;
    std::sort(names.begin(), names.end());
    const size_t surplus = names.size() - keptOrdinaryReplays;
    for (size_t i = 0; i < surplus; ++i) fs::remove(fs::path(replayFolder) / names[i], error);
}

}  // namespace

ReplayHeader roundStartNow() {
    ReplayHeader header;
    header.gameVersion = gameVersion();
    header.newGame = newGameFlag != 0;
    header.cheat = cheatMode;
    header.riseClock = riseClock;
    const Board* boards[replaySides] = {leftBoard, rightBoard};
    for (int side = 0; side < replaySides; ++side) {
        if (boards[side] == nullptr) continue;
        header.boards[side] = {boards[side]->level, boards[side]->score, boards[side]->continues};
    }
    header.startTime = static_cast<int64_t>(std::time(nullptr));
    return header;
}

bool RoundRecorder::runUpdate() {
    if (recording_) noteUpdate(ReplayUpdate{elapsedTicks(), {lastKey, 0}});
    return stateStack.updateTop();
}

void RoundRecorder::noteUpdate(const ReplayUpdate& update) {
    if (!recording_ || tooLong_) return;
    if (writer_.updates() >= mostReplayUpdates) {
        tooLong_ = true;
        return;
    }
    writer_.add(update);
}

void RoundRecorder::beginRound(const ReplayHeader& header) {
    writer_.begin(header);
    recording_ = true;
    tooLong_ = false;
}

void RoundRecorder::endRound(const Board& left, const Board& right) {
    if (!recording_) return;
    recording_ = false;
    lastHash_ = boardsHash(left, right);
    lastRound_ = writer_.finish(lastHash_);
    lastFile_.clear();
    if (keepFiles && !tooLong_) lastFile_ = keepReplayFile(lastRound_, writer_.startTime());
}

void RoundRecorder::keepLastRoundForHallOfFame() {
    if (lastFile_.empty()) return;
    const fs::path from = fs::path(replayFolder) / lastFile_;
    const std::string name = fameMark + lastFile_;
    std::error_code error;
    fs::rename(from, fs::path(replayFolder) / name, error);
    if (!error) lastFile_ = name;
}

std::string keepReplayFile(const std::vector<uint8_t>& bytes, int64_t startTime) {
    std::error_code error;
    fs::create_directories(replayFolder, error);
    const std::string stem = timeName(startTime);
    // Two rounds can start within one second: the later ones' names get a number, which sorts
    // after the plain name and in order up to 99.
    for (int number = 1; number < 100; ++number) {
        std::string name = stem;
        if (number > 1) name += (number < 10 ? "_0" : "_") + std::to_string(number);
        name += replayExtension;
        const fs::path path = fs::path(replayFolder) / name;
        if (fs::exists(path, error) ||
            fs::exists(fs::path(replayFolder) / (fameMark + name), error))
            continue;
        if (!writeWholeFile(path.string(), bytes)) return "";
        removeOldest();
        return name;
    }
    return "";
}

}  // namespace vexlorn
