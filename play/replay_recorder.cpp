// The round recorder and the kept recordings.
//
// replays/ may hold more than the game's files (the player's own copies, a neighbour's plants
// where the folder is shared), so the game only ever prunes, lists or renames files that are the
// player's own regular files named exactly as it names them. Which ones are oldest is told by
// when they were written, not by their names: a clock set back, a time zone changed or a name
// planted from 2099 must not make the newest recording the first to go.
#include "play/replay_recorder.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <ctime>

#include "board/rules.h"
#include "frame/globals.h"
#include "platform/files/game_folder.h"
#include "play/game1_state.h"

namespace vexlorn {

RoundRecorder roundRecorder;

namespace {

constexpr const char* fameMark = "fame-";
constexpr const char* keptMark = "kept-";
constexpr const char* replayExtension = ".vxr";
// "2026-12-10_14-15-52": the shape of a name's start, 'd' for a digit.
constexpr const char* stemShape = "dddd-dd-dd_dd-dd-dd";
// More numbered names than this for one millisecond means something else fills the folder.
constexpr int mostNamesPerMillisecond = 99;

enum class ReplayKind { NotOurs, Ordinary, Kept, HallOfFame };

bool startsWith(const std::string& text, const char* prefix) {
    return text.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

bool digitsAt(const std::string& text, std::size_t at, std::size_t count) {
    if (at + count > text.size()) return false;
    for (std::size_t i = at; i < at + count; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) return false;
    }
    return true;
}

bool hasStemShape(const std::string& stem) {
    const std::size_t length = std::char_traits<char>::length(stemShape);
    if (stem.size() < length) return false;
    for (std::size_t i = 0; i < length; ++i) {
        const bool digit = std::isdigit(static_cast<unsigned char>(stem[i])) != 0;
        if (stemShape[i] == 'd' ? !digit : stem[i] != stemShape[i]) return false;
    }
    return true;
}

// What follows the second: "_mmm" with the millisecond and "-N" when that name was taken; or,
// as earlier versions named them, nothing or "_NN".
bool hasTailShape(const std::string& tail) {
    if (tail.empty()) return true;
    if (tail.size() == 3 && tail[0] == '_') return digitsAt(tail, 1, 2);
    if (tail[0] != '_' || !digitsAt(tail, 1, 3)) return false;
    if (tail.size() == 4) return true;
    const std::size_t count = tail.size() - 5;
    return tail[4] == '-' && (count == 1 || count == 2) && digitsAt(tail, 5, count) &&
           tail[5] != '0';
}

ReplayKind kindOf(const std::string& name) {
    const std::size_t extension = std::char_traits<char>::length(replayExtension);
    if (name.size() <= extension ||
        name.compare(name.size() - extension, extension, replayExtension) != 0) {
        return ReplayKind::NotOurs;
    }
    ReplayKind kind = ReplayKind::Ordinary;
    std::string stem = name.substr(0, name.size() - extension);
    if (startsWith(stem, fameMark)) kind = ReplayKind::HallOfFame;
    if (startsWith(stem, keptMark)) kind = ReplayKind::Kept;
    if (kind != ReplayKind::Ordinary) stem.erase(0, 5);
    const std::size_t stemLength = std::char_traits<char>::length(stemShape);
    if (!hasStemShape(stem) || !hasTailShape(stem.substr(stemLength))) return ReplayKind::NotOurs;
    return kind;
}

std::string plainName(const std::string& name) {
    return kindOf(name) == ReplayKind::Ordinary ? name : name.substr(5);
}

std::string timeName(int64_t startTime, int millisecond) {
    const std::time_t when = static_cast<std::time_t>(startTime);
    std::tm local{};
    localtime_r(&when, &local);
    char text[48];
    const std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%d_%H-%M-%S", &local);
    std::snprintf(text + length, sizeof text - length, "_%03d", millisecond % 1000);
    return text;
}

bool olderFirst(const GameFolder::File& a, const GameFolder::File& b) {
    return a.modified != b.modified ? a.modified < b.modified : a.name < b.name;
}

void removeOldest(const GameFolder& folder, const std::string& added) {
    std::vector<GameFolder::File> ordinary;
    for (const GameFolder::File& file : folder.ownFiles()) {
        if (file.name != added && kindOf(file.name) == ReplayKind::Ordinary) {
            ordinary.push_back(file);
        }
    }
    // The new recording takes one of the kept places.
    if (ordinary.size() < static_cast<size_t>(keptOrdinaryReplays)) return;
    std::sort(ordinary.begin(), ordinary.end(), olderFirst);
    const size_t surplus = ordinary.size() + 1 - keptOrdinaryReplays;
    for (size_t i = 0; i < surplus; ++i) folder.remove(ordinary[i].name);
}

int millisecondNow() {
    const auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
    return static_cast<int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(sinceEpoch).count() % 1000);
}

}  // namespace

ReplayResult roundResult(const Board& left, const Board& right, int failedSide) {
    const bool leftOut = isToppedOut(left);
    const bool rightOut = isToppedOut(right);
    if (leftOut && rightOut) return ReplayResult::Draw;
    if (leftOut) return ReplayResult::RightWon;
    if (rightOut) return ReplayResult::LeftWon;
    if (failedSide == 0) return ReplayResult::RightWon;
    return failedSide == 1 ? ReplayResult::LeftWon : ReplayResult::Stopped;
}

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
    ticks_ += update.ticks;
    writer_.add(update);
}

void RoundRecorder::beginRound(const ReplayHeader& header) {
    writer_.begin(header);
    recording_ = true;
    tooLong_ = false;
    ticks_ = 0;
    startMillisecond_ = millisecondNow();
}

void RoundRecorder::endRound(const Board& left, const Board& right, int failedSide) {
    if (!recording_) return;
    recording_ = false;
    lastHash_ = boardsHash(left, right);
    writer_.setResult(roundResult(left, right, failedSide));
    lastRound_ = writer_.finish(lastHash_);
    lastFile_.clear();
    const bool longEnough = ticks_ >= int64_t{shortestKeptRoundSeconds} * ticksPerSecond;
    if (keepFiles && !tooLong_ && longEnough) {
        lastFile_ = keepReplayFile(lastRound_, writer_.startTime(), startMillisecond_);
    }
}

void RoundRecorder::keepLastRoundForHallOfFame() {
    if (lastFile_.empty()) return;
    const std::string name = fameMark + lastFile_;
    if (GameFolder(replayFolder, false).rename(lastFile_, name)) lastFile_ = name;
}

std::string keepReplayFile(const std::vector<uint8_t>& bytes, int64_t startTime,
                           int startMillisecond) {
    const GameFolder folder(replayFolder, true);
    if (!folder.usable()) return "";
    const std::string stem = timeName(startTime, startMillisecond);
    std::vector<std::string> taken;
    for (const GameFolder::File& file : folder.ownFiles()) taken.push_back(plainName(file.name));
    // Another copy of the game may finish a round that started in the same millisecond: the
    // name that one takes first is passed over here, whichever copy it is.
    for (int number = 1; number <= mostNamesPerMillisecond; ++number) {
        std::string name =
            stem + (number > 1 ? "-" + std::to_string(number) : "") + replayExtension;
        if (std::find(taken.begin(), taken.end(), name) != taken.end()) continue;
        if (!folder.add(name, bytes)) continue;
        removeOldest(folder, name);
        return name;
    }
    return "";
}

std::vector<ReplayFile> listReplays() {
    std::vector<ReplayFile> list;
    const GameFolder folder(replayFolder, false);
    for (const GameFolder::File& file : folder.ownFiles()) {
        const ReplayKind kind = kindOf(file.name);
        if (kind == ReplayKind::NotOurs) continue;
        list.push_back(ReplayFile{file.name, file.modified, kind != ReplayKind::Ordinary,
                                  kind == ReplayKind::HallOfFame});
    }
    std::sort(list.begin(), list.end(), [](const ReplayFile& a, const ReplayFile& b) {
        return a.modified != b.modified ? a.modified > b.modified : a.name > b.name;
    });
    return list;
}

std::string keepReplay(const std::string& name, bool forGood) {
    const ReplayKind kind = kindOf(name);
    if (kind == ReplayKind::NotOurs) return "";
    if (kind == ReplayKind::HallOfFame || (kind == ReplayKind::Kept) == forGood) return name;
    const std::string renamed = forGood ? keptMark + name : plainName(name);
    return GameFolder(replayFolder, false).rename(name, renamed) ? renamed : "";
}

bool removeReplay(const std::string& name) {
    return kindOf(name) != ReplayKind::NotOurs && GameFolder(replayFolder, false).remove(name);
}

}  // namespace vexlorn
