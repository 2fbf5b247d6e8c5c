// The recording's bytes. Little-endian throughout:
//   "VXRP", format version (u16), game version (u8 length, then its characters),
//   flags (u8: 1 new game, 2 cheat, 4 a match's round with its two seats (u8 each) following,
//   8 an online one, 16 the result known, 32 the left well topped out, 64 the right one), rise
//   clock (i32), per side level (i16), score (i32), continues (i16), per side seed (u32), start
//   time (i64); the updates' tokens, ending with a zero; the number of updates (u32), the boards'
//   hash (u64), a checksum of all before it (u32).
// Tokens: 0x10 + t, an update of t < 16 ticks with no key; 0x20, an update written out (ticks,
// then a key per side, each a variable-length number); 0x01 and 0x02, a run (its length follows)
// repeating the last one or the last two updates.
#include "play/replay_record.h"

#include <cstring>

#include "play/byte_reader.h"

#ifndef VEXLORN_VERSION
#define VEXLORN_VERSION "0"
#endif

namespace vexlorn {

namespace {

constexpr char magic[4] = {'V', 'X', 'R', 'P'};
constexpr uint8_t endToken = 0x00;
constexpr uint8_t repeatOne = 0x01;
constexpr uint8_t repeatTwo = 0x02;
constexpr uint8_t quietUpdate = 0x10;  // + ticks
constexpr int quietTicks = 16;
constexpr uint8_t fullUpdate = 0x20;
constexpr size_t longestVersion = 32;
// In the flags: a match's round, its two seats following.
constexpr uint8_t matchFlag = 4;
// A round of an online match: each side's key in its own column, and no get-ready screen.
constexpr uint8_t onlineFlag = 8;
// The result, so that a list can show it without playing the round. Recordings made before it
// was kept lack the first: their result is unknown.
constexpr uint8_t resultFlag = 16;
constexpr uint8_t leftOutFlag = 32;
constexpr uint8_t rightOutFlag = 64;
constexpr uint8_t knownFlags = 3 | matchFlag | onlineFlag | resultFlag | leftOutFlag | rightOutFlag;

uint8_t resultFlags(ReplayResult result) {
    switch (result) {
        case ReplayResult::Stopped:
            return resultFlag;
        case ReplayResult::LeftWon:
            return resultFlag | rightOutFlag;
        case ReplayResult::RightWon:
            return resultFlag | leftOutFlag;
        case ReplayResult::Draw:
            return resultFlag | leftOutFlag | rightOutFlag;
        default:
            return 0;
    }
}

ReplayResult resultOf(uint8_t flags) {
    if ((flags & resultFlag) == 0) return ReplayResult::Unknown;
    const bool leftOut = (flags & leftOutFlag) != 0;
    const bool rightOut = (flags & rightOutFlag) != 0;
    if (leftOut && rightOut) return ReplayResult::Draw;
    if (leftOut) return ReplayResult::RightWon;
    return rightOut ? ReplayResult::LeftWon : ReplayResult::Stopped;
}
constexpr size_t trailerSize = 4 + 8 + 4;

uint32_t checksum(const uint8_t* data, size_t size) {
    uint32_t sum = 2166136261u;
    for (size_t i = 0; i < size; ++i) sum = (sum ^ data[i]) * 16777619u;
    return sum;
}

class Out {
public:
    explicit Out(std::vector<uint8_t>& bytes) : bytes_(bytes) {}
    void byte(uint8_t value) { bytes_.push_back(value); }
    void number(uint64_t value, int size) {
        for (int i = 0; i < size; ++i) bytes_.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
    void varint(uint32_t value) {
        while (value >= 0x80) {
            bytes_.push_back(static_cast<uint8_t>(value | 0x80));
            value >>= 7;
        }
        bytes_.push_back(static_cast<uint8_t>(value));
    }

private:
    std::vector<uint8_t>& bytes_;
};

void mix(uint64_t& hash, int64_t value) {
    // FNV-1a over the value's eight bytes: every field the same width, whatever its type.
    for (int i = 0; i < 8; ++i) {
        hash = (hash ^ static_cast<uint8_t>(static_cast<uint64_t>(value) >> (8 * i))) *
               1099511628211ull;
    }
}

void mixBoard(uint64_t& hash, const Board& board) {
    for (const auto& column : board.cells) {
        for (const Cell& cell : column) {
            mix(hash, cell.kind);
            mix(hash, cell.colour);
            mix(hash, cell.state);
            mix(hash, cell.timer);
            mix(hash, cell.chain);
        }
    }
    for (int64_t value : {board.avatarCol, board.avatarRow, board.moveCol, board.moveRow,
                          board.topRow, board.riseStep, board.riseDelay, board.continues})
        mix(hash, value);
    mix(hash, board.score);
    mix(hash, board.level);
}

bool validUpdate(const ReplayUpdate& update) {
    if (update.ticks < 0 || update.ticks > mostTicksPerUpdate) return false;
    for (int key : update.keys) {
        if (key < 0 || key > largestReplayKey) return false;
    }
    return true;
}

// The tokens up to the end mark, which must sit right before the trailer.
bool decodeUpdates(ByteReader& in, size_t trailerAt, std::vector<ReplayUpdate>& updates) {
    for (;;) {
        const uint8_t token = in.byte();
        if (in.failed || in.at() > trailerAt) return false;
        if (token == endToken) break;
        if (token == repeatOne || token == repeatTwo) {
            const size_t period = token == repeatOne ? 1 : 2;
            const uint32_t length = in.varint();
            if (in.failed || length == 0 || updates.size() < period ||
                length > mostReplayUpdates - updates.size()) {
                return false;
            }
            for (uint32_t i = 0; i < length; ++i)
                updates.push_back(updates[updates.size() - period]);
            continue;
        }
        ReplayUpdate update;
        if (token >= quietUpdate && token < quietUpdate + quietTicks) {
            update.ticks = token - quietUpdate;
        } else if (token == fullUpdate) {
            const uint32_t ticks = in.varint();
            update.ticks =
                ticks > static_cast<uint32_t>(mostTicksPerUpdate) ? -1 : static_cast<int>(ticks);
            for (int& key : update.keys) {
                const uint32_t value = in.varint();
                key =
                    value > static_cast<uint32_t>(largestReplayKey) ? -1 : static_cast<int>(value);
            }
            if (in.failed || !validUpdate(update)) return false;
        } else {
            return false;
        }
        if (updates.size() >= mostReplayUpdates) return false;
        updates.push_back(update);
    }
    uint64_t ticks = 0;
    for (const ReplayUpdate& update : updates) ticks += static_cast<uint64_t>(update.ticks);
    return in.at() == trailerAt && ticks <= mostReplayTicks;
}

}  // namespace

const char* gameVersion() {
    return VEXLORN_VERSION;
}

bool operator==(const ReplayUpdate& a, const ReplayUpdate& b) {
    return a.ticks == b.ticks && std::memcmp(a.keys, b.keys, sizeof a.keys) == 0;
}

uint64_t boardsHash(const Board& left, const Board& right) {
    uint64_t hash = 14695981039346656037ull;
    mixBoard(hash, left);
    mixBoard(hash, right);
    return hash;
}

void ReplayWriter::begin(const ReplayHeader& header) {
    header_ = header;
    body_.clear();
    count_ = 0;
    runPeriod_ = 0;
    runLength_ = 0;
}

void ReplayWriter::remember(const ReplayUpdate& update) {
    last_[1] = last_[0];
    last_[0] = update;
    ++count_;
}

void ReplayWriter::flushRun() {
    if (runPeriod_ == 0) return;
    Out out(body_);
    out.byte(runPeriod_ == 1 ? repeatOne : repeatTwo);
    out.varint(runLength_);
    runPeriod_ = 0;
    runLength_ = 0;
}

// A run goes on while each update equals the one its period back (last_ holds the newest two
// of the whole sequence, runs included), which is all the reader needs to carry it on.
void ReplayWriter::add(const ReplayUpdate& given) {
    ReplayUpdate update = given;
    if (update.ticks > mostTicksPerUpdate) update.ticks = mostTicksPerUpdate;
    if (runPeriod_ != 0 && update == last_[runPeriod_ - 1]) {
        ++runLength_;
        remember(update);
        return;
    }
    flushRun();
    for (int period = 1; period <= 2; ++period) {
        if (count_ >= static_cast<uint32_t>(period) && update == last_[period - 1]) {
            runPeriod_ = period;
            runLength_ = 1;
            remember(update);
            return;
        }
    }
    Out out(body_);
    if (update.ticks < quietTicks && update.keys[0] == 0 && update.keys[1] == 0) {
        out.byte(static_cast<uint8_t>(quietUpdate + update.ticks));
    } else {
        out.byte(fullUpdate);
        out.varint(static_cast<uint32_t>(update.ticks));
        for (int key : update.keys) out.varint(static_cast<uint32_t>(key));
    }
    remember(update);
}

std::vector<uint8_t> ReplayWriter::finish(uint64_t hash) {
    flushRun();
    std::vector<uint8_t> bytes;
    bytes.reserve(body_.size() + 96);
    Out out(bytes);
    for (char c : magic) out.byte(static_cast<uint8_t>(c));
    out.number(replayFormatVersion, 2);
    const size_t length =
        header_.gameVersion.size() < longestVersion ? header_.gameVersion.size() : longestVersion;
    out.byte(static_cast<uint8_t>(length));
    for (size_t i = 0; i < length; ++i) out.byte(static_cast<uint8_t>(header_.gameVersion[i]));
    const bool match = header_.seats[0] != 0;
    out.byte(static_cast<uint8_t>(
        (header_.newGame ? 1 : 0) | (header_.cheat ? 2 : 0) | (match ? matchFlag : 0) |
        (match && header_.online ? onlineFlag : 0) | resultFlags(header_.result)));
    if (match) {
        for (uint8_t seat : header_.seats) out.byte(seat);
    }
    out.number(static_cast<uint32_t>(header_.riseClock), 4);
    for (const ReplayBoardStart& board : header_.boards) {
        out.number(static_cast<uint16_t>(board.level), 2);
        out.number(static_cast<uint32_t>(board.score), 4);
        out.number(static_cast<uint16_t>(board.continues), 2);
    }
    for (uint32_t seed : header_.seeds) out.number(seed, 4);
    out.number(static_cast<uint64_t>(header_.startTime), 8);
    bytes.insert(bytes.end(), body_.begin(), body_.end());
    out.byte(endToken);
    out.number(count_, 4);
    out.number(hash, 8);
    out.number(checksum(bytes.data(), bytes.size()), 4);
    return bytes;
}

bool ReplayReader::open(const std::vector<uint8_t>& bytes, std::string& error) {
    updates_.clear();
    at_ = 0;
    if (bytes.size() > largestReplayFile) {
        error = "The file is too large to be a recording.";
        return false;
    }
    if (bytes.size() < sizeof magic + trailerSize || std::memcmp(bytes.data(), magic, 4) != 0) {
        error = "The file is not a recording.";
        return false;
    }
    ByteReader in(bytes.data(), bytes.size());
    in.number(4);
    const auto format = static_cast<uint16_t>(in.number(2));
    if (format != replayFormatVersion) {
        error = "The recording was made by another version of the game.";
        return false;
    }
    const size_t sumAt = bytes.size() - 4;
    ByteReader sum(bytes.data() + sumAt, 4);
    if (checksum(bytes.data(), sumAt) != sum.number(4)) {
        error = "The recording is damaged or incomplete.";
        return false;
    }
    const size_t length = in.byte();
    if (length > longestVersion) {
        error = "The recording is damaged or incomplete.";
        return false;
    }
    in.text(header_.gameVersion, length);
    if (!in.failed && header_.gameVersion != gameVersion()) {
        error = "The recording was made by version " + header_.gameVersion +
                " of the game; this is version " + gameVersion() + ".";
        return false;
    }
    const uint8_t flags = in.byte();
    header_.newGame = (flags & 1) != 0;
    header_.cheat = (flags & 2) != 0;
    header_.online = (flags & onlineFlag) != 0;
    header_.result = resultOf(flags);
    bool seatsKnown = true;
    for (uint8_t& seat : header_.seats) {
        seat = (flags & matchFlag) != 0 ? in.byte() : 0;
        if ((flags & matchFlag) != 0 && (seat == 0 || seat > largestReplaySeat)) seatsKnown = false;
    }
    header_.riseClock = static_cast<int32_t>(in.number(4));
    for (ReplayBoardStart& board : header_.boards) {
        board.level = static_cast<int16_t>(in.number(2));
        board.score = static_cast<int32_t>(in.number(4));
        board.continues = static_cast<int16_t>(in.number(2));
    }
    for (uint32_t& seed : header_.seeds) seed = static_cast<uint32_t>(in.number(4));
    header_.startTime = static_cast<int64_t>(in.number(8));
    const bool onlineWithoutMatch = header_.online && (flags & matchFlag) == 0;
    if (in.failed || (flags & ~unsigned{knownFlags}) != 0 || !seatsKnown || onlineWithoutMatch ||
        !decodeUpdates(in, sumAt - 12, updates_)) {
        error = "The recording is damaged or incomplete.";
        return false;
    }
    count_ = static_cast<uint32_t>(in.number(4));
    hash_ = in.number(8);
    if (count_ != updates_.size()) {
        error = "The recording is damaged or incomplete.";
        return false;
    }
    return true;
}

bool ReplayReader::next(ReplayUpdate& update) {
    if (at_ >= updates_.size()) return false;
    update = updates_[at_++];
    return true;
}

}  // namespace vexlorn
