// Parsing time of a full-size melody file (256 data lines, CRLF endings).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "dialogs/logic/MelodyParser.h"

namespace {

std::string FullMelodyFile()
{
    std::string file = "[Full melody]\r\n";
    for (int i = 0; i < 256; ++i) {
        char line[32];
        std::snprintf(line, sizeof line, "  0x%02X   ; note %d\r\n", (i * 37) & 0xFF, i);
        file += line;
    }
    return file;
}

void BM_ParseMelody256(benchmark::State &state)
{
    const std::string file = FullMelodyFile();
    for (auto _ : state) {
        tvx::ParsedMelody melody = tvx::ParseMelodyFile(file);
        benchmark::DoNotOptimize(melody);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(file.size()));
}
BENCHMARK(BM_ParseMelody256);

}  // namespace

BENCHMARK_MAIN();
