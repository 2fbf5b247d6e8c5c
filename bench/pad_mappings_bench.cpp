// Starting the pads with the largest mapping file the game accepts (and, beside it, one the size
// of a real mapping database): the window stays black for this long at start-up, so it must stay
// well under two seconds ("share of 2 s" says by how much).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

#include "platform/input/pads.h"

namespace vexlorn {
namespace {

// `lines` different pads, each line as long as the byte limit allows at the line limit.
std::string mappingFile(int lines) {
    std::string text;
    const std::size_t lineBytes = maxMappingFileBytes / maxMappingFileLines;
    const std::string mapping =
        ",a:b0,b:b1,x:b2,y:b3,back:b6,start:b7,leftx:a0,lefty:a1,platform:Linux,";
    for (int pad = 0; pad < lines; ++pad) {
        char guid[40];
        std::snprintf(guid, sizeof guid, "03000000%08x0000%012x,Pad ", pad, pad);
        std::string line = guid;
        // The name takes up the rest of the line.
        line.resize(lineBytes - 1 - mapping.size(), 'x');
        text += line + mapping + "\n";
    }
    return text;
}

void BM_StartPadsWithMappingFile(benchmark::State& state) {
    char path[] = "/tmp/vexlorn-mappings-XXXXXX";
    const int fd = ::mkstemp(path);
    ::close(fd);
    const std::string text = mappingFile(static_cast<int>(state.range(0)));
    std::ofstream(path) << text;
    if (!mappingFileFits(text)) state.SkipWithError("the file is past the limits");
    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        startPads(path);
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.PauseTiming();
        stopPads();
        state.ResumeTiming();
    }
    state.counters["share of 2 s"] = seconds / static_cast<double>(state.iterations()) / 2.0;
    ::unlink(path);
}
BENCHMARK(BM_StartPadsWithMappingFile)
    ->Arg(2000)
    ->Arg(maxMappingFileLines)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vexlorn
