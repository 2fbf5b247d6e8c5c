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
        return i;
    }
    return -1;
}

int VersusSlots::addComputer() {
    for (int i = 0; i < 2; ++i) {
        if (slots[i].source != SlotSource::Free) continue;
        slots[i].source = SlotSource::Computer;
        slots[i].pad = -1;
        return i;
    }
    // The right slot's computer first: the usual sparring partner sits there.
    for (int i = 1; i >= 0; --i) {
        if (slots[i].source != SlotSource::Computer) continue;
        slots[i].level = slots[i].level % versusLevels + 1;
        return i;
    }
    return -1;
}

void VersusSlots::changeLevel(int slot, int by) {
    if (slot < 0 || slot > 1) return;
    int level = slots[slot].level + by;
    if (level < 1) level = 1;
    if (level > versusLevels) level = versusLevels;
    slots[slot].level = level;
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
