// Fuzz target: any file given to -replay. The reader must refuse or accept it without reading
// outside it, and what it accepts must be within the recording's limits and write back to the
// same updates. Every other input has its checksum made right first, so that the fuzzer reaches
// the checks behind it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "play/replay_record.h"

using namespace vexlorn;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> bytes(data, data + size);
    if (size > 4 && size % 2 == 0) {
        uint32_t sum = 2166136261u;
        for (size_t i = 0; i + 4 < size; ++i) sum = (sum ^ bytes[i]) * 16777619u;
        for (int i = 0; i < 4; ++i) bytes[size - 4 + i] = static_cast<uint8_t>(sum >> (8 * i));
    }
    ReplayReader reader;
    std::string error;
    if (!reader.open(bytes, error)) {
        if (error.empty()) __builtin_trap();
        return 0;
    }
    if (reader.updates() > mostReplayUpdates) __builtin_trap();
    ReplayWriter writer;
    writer.begin(reader.header());
    std::vector<ReplayUpdate> updates;
    for (ReplayUpdate update; reader.next(update);) {
        if (update.ticks < 0 || update.ticks > mostTicksPerUpdate) __builtin_trap();
        for (int key : update.keys) {
            if (key < 0 || key > largestReplayKey) __builtin_trap();
        }
        updates.push_back(update);
        writer.add(update);
    }
    if (updates.size() != reader.updates()) __builtin_trap();
    ReplayReader again;
    if (!again.open(writer.finish(reader.hash()), error)) __builtin_trap();
    size_t at = 0;
    for (ReplayUpdate update; again.next(update); ++at) {
        if (at >= updates.size() || !(update == updates[at])) __builtin_trap();
    }
    if (at != updates.size()) __builtin_trap();
    return 0;
}
