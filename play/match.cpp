// A match's seats and tally.
#include "play/match.h"

namespace vexlorn {

int VersusSlots::seatOf(SlotSource source, int pad) const {
    for (int i = 0; i < 2; ++i) {
        const VersusSlot& slot = slots[i];
        if (slot.source == source && (source != SlotSource::Pad || slot.pad == pad)) return i;
    }
    return -1;
}

int VersusSlots::claim(SlotSource source, int pad) {
    const int seated = seatOf(source, pad);
    if (seated >= 0) return seated;
    for (int i = 0; i < 2; ++i) {
        if (slots[i].source != SlotSource::Free) continue;
        slots[i].source = source;
        slots[i].pad = source == SlotSource::Pad ? pad : -1;
        VersusSlot& other = slots[1 - i];
        if (other.source == SlotSource::Computer && !other.levelChosen)
            other.level = slots[i].level;
        return i;
    }
    return -1;
}

namespace {

// The right slot's computer first: the usual sparring partner sits there.
int computerSeat(const VersusSlots& seats) {
    for (int i = 1; i >= 0; --i) {
        if (seats.slots[i].source == SlotSource::Computer) return i;
    }
    return -1;
}

}  // namespace

int VersusSlots::addComputer() {
    for (int i = 0; i < 2; ++i) {
        if (slots[i].source != SlotSource::Free) continue;
        const VersusSlot& other = slots[1 - i];
        slots[i] = VersusSlot{};
        slots[i].source = SlotSource::Computer;
        if (other.source != SlotSource::Free) slots[i].level = other.level;
        return i;
    }
    const int seat = computerSeat(*this);
    if (seat >= 0) slots[seat].strength = slots[seat].strength % computerStrengths + 1;
    return seat;
}

int VersusSlots::stepComputerLevel() {
    const int seat = computerSeat(*this);
    if (seat < 0) return -1;
    changeLevel(seat, slots[seat].level == versusLevels ? 1 - versusLevels : 1);
    return seat;
}

void VersusSlots::changeLevel(int slot, int by) {
    if (slot < 0 || slot > 1) return;
    int level = slots[slot].level + by;
    if (level < 1) level = 1;
    if (level > versusLevels) level = versusLevels;
    slots[slot].level = level;
    slots[slot].levelChosen = true;
    VersusSlot& other = slots[1 - slot];
    if (other.source == SlotSource::Computer && !other.levelChosen) other.level = level;
}

void VersusSlots::releaseLast() {
    for (int i = 1; i >= 0; --i) {
        if (slots[i].source == SlotSource::Free) continue;
        slots[i].source = SlotSource::Free;
        slots[i].pad = -1;
        return;
    }
}

bool VersusSlots::ready() const {
    return slots[0].source != SlotSource::Free && slots[1].source != SlotSource::Free;
}

bool VersusSlots::computersOnly() const {
    return slots[0].source == SlotSource::Computer && slots[1].source == SlotSource::Computer;
}

void VersusSlots::clear() {
    slots[0] = VersusSlot{};
    slots[1] = VersusSlot{};
}

void MatchTally::addRound(int winner) {
    roundsPlayed += 1;
    lastWinner = winner;
    if (winner == LeftSide || winner == RightSide) wins[winner] += 1;
}

bool MatchTally::over() const {
    return matchWinner() >= 0;
}

int MatchTally::matchWinner() const {
    if (wins[LeftSide] >= roundsToWin) return LeftSide;
    if (wins[RightSide] >= roundsToWin) return RightSide;
    return -1;
}

void MatchTally::reset() {
    *this = MatchTally{};
}

}  // namespace vexlorn
