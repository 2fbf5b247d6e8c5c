// An online round on the same rules as a match's round at one computer: each update one tick
// long, each side's key taken where keys are taken there.
#include "play/online_round.h"

#include "assets/sound.h"
#include "board/game_random.h"
#include "board/rules.h"
#include "play/game1_state.h"
#include "play/round.h"
#include "play/versus_state.h"
#include "play/well_input.h"

namespace vexlorn {

namespace {

constexpr int floatXs[2] = {200, 440};

// The key a side's player pressed in this update, as a source of moves.
class KeyOfUpdate : public WellInput {
public:
    explicit KeyOfUpdate(uint8_t key) : key_(key) {}
    int afterUpdate(const Board& board) override {
        (void)board;
        return key_ == noOnlineKey || key_ > largestOnlineKey ? noMove : key_ - 1;
    }

private:
    uint8_t key_;
};

void mix(uint64_t& hash, uint64_t value) {
    for (int i = 0; i < 8; ++i) hash = (hash ^ ((value >> (8 * i)) & 0xff)) * 1099511628211ull;
}

}  // namespace

std::string describeRound(const OnlineRoundState& state) {
    std::string text = "random " + std::to_string(state.random) + "\nfailed side " +
                       std::to_string(state.failedSide) + "\n";
    for (int side = 0; side < 2; ++side) {
        const Board& board = state.boards[side];
        text += "side " + std::to_string(side) + ": rise clock " +
                std::to_string(state.riseClocks[side]) + ", direction " +
                std::to_string(state.aiDirections[side]) + ", avatar " +
                std::to_string(board.avatarCol) + "," + std::to_string(board.avatarRow) +
                ", top row " + std::to_string(board.topRow) + ", rise step " +
                std::to_string(board.riseStep) + ", score " + std::to_string(board.score) + "\n";
        for (int row = 0; row < boardRows; ++row) {
            for (int column = 0; column < boardColumns; ++column) {
                const Cell& cell = board.at(column, row);
                text += " " + std::to_string(cell.kind) + "/" + std::to_string(cell.colour) + "/" +
                        std::to_string(cell.state) + "/" + std::to_string(cell.timer);
            }
            text += "\n";
        }
    }
    return text;
}

int recordedOnlineKey(int side, uint8_t key) {
    if (key == noOnlineKey || key > largestOnlineKey || side < 0 || side > 1) return 0;
    return seatPadKeySets[side].keys[key - 1];
}

void OnlineRound::begin(const ReplayHeader& start) {
    queueBoardSeeds(start.seeds[0], start.seeds[1]);
    leftBoard = generateAtLevel(leftBoard, start.boards[LeftSide].level);
    rightBoard = generateAtLevel(rightBoard, start.boards[RightSide].level);
    current_ = OnlineRoundState{};
    current_.boards[LeftSide] = *leftBoard;
    current_.boards[RightSide] = *rightBoard;
    for (int16_t& direction : current_.aiDirections) {
        direction = static_cast<int16_t>(gameRand() % 4);
    }
    current_.random = gameRandomState();
    ReplayHeader header = start;
    header.online = true;
    writer_.begin(header);
}

void OnlineRound::saveRound(uint32_t update) {
    saved_[update % sessionHistory] = current_;
}

void OnlineRound::loadRound(uint32_t update) {
    current_ = saved_[update % sessionHistory];
}

bool OnlineRound::advanceRound(const uint8_t keys[2], bool again) {
    show();
    KeyOfUpdate inputs[2] = {KeyOfUpdate(keys[LeftSide]), KeyOfUpdate(keys[RightSide])};
    RoundSide sides[2];
    for (int side = 0; side < 2; ++side) {
        Board* board = side == LeftSide ? leftBoard : rightBoard;
        const int shownAt = side == leftShown_ ? LeftSide : RightSide;
        sides[side] = {board,
                       &inputs[side],
                       &current_.riseClocks[side],
                       levelParams(board->level).riseInterval,
                       sidePan(shownAt),
                       floatXs[shownAt]};
        sides[side].showsChains = !again;
    }
    effectsHeld = again;
    const RoundStep step = stepRound(sides[LeftSide], sides[RightSide], 1, &current_.failedSide);
    effectsHeld = false;
    current_.boards[LeftSide] = *leftBoard;
    current_.boards[RightSide] = *rightBoard;
    current_.random = gameRandomState();
    return step == RoundStep::Playing;
}

uint64_t OnlineRound::hashRound() {
    uint64_t hash = boardsHash(current_.boards[LeftSide], current_.boards[RightSide]);
    mix(hash, current_.random);
    for (int side = 0; side < 2; ++side) {
        mix(hash, static_cast<uint32_t>(current_.riseClocks[side]));
        mix(hash, static_cast<uint16_t>(current_.aiDirections[side]));
    }
    mix(hash, static_cast<uint32_t>(current_.failedSide));
    return hash;
}

void OnlineRound::keepUpdate(uint32_t update, const uint8_t keys[2]) {
    (void)update;
    if (writer_.updates() >= mostReplayUpdates) return;
    writer_.add(ReplayUpdate{1,
                             {recordedOnlineKey(LeftSide, keys[LeftSide]),
                              recordedOnlineKey(RightSide, keys[RightSide])}});
}

void OnlineRound::show() const {
    *leftBoard = current_.boards[LeftSide];
    *rightBoard = current_.boards[RightSide];
    setGameRandomState(current_.random);
}

std::vector<uint8_t> OnlineRound::finishRecording() {
    return writer_.finish(boardsHash(current_.boards[LeftSide], current_.boards[RightSide]));
}

int OnlineRound::winner() const {
    return roundWinner(current_.boards[LeftSide], current_.boards[RightSide], current_.failedSide);
}

}  // namespace vexlorn
