// Caller-ID decoding runs on the library's event thread for every caller-ID
// event; these measure a typical MDMF call set-up and a long payload.
#include "device/logic/CallerIdDecoder.h"
#include "tests/support/MdmfCallSetUp.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

namespace {

using tvx::test::kMdmfCallSetUp;

void BM_DecodeMdmfCallSetUp(benchmark::State &state)
{
    char output[tvx::kCallerIdOutputSize];
    for (auto _ : state) {
        tvx::DecodeCallerId(kMdmfCallSetUp.data(), static_cast<int32_t>(kMdmfCallSetUp.size()), output);
        benchmark::DoNotOptimize(output);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kMdmfCallSetUp.size()));
}
BENCHMARK(BM_DecodeMdmfCallSetUp);

// Many unknown items ahead of the call set-up: the walk's cost per byte.
void BM_DecodeLongPayload(benchmark::State &state)
{
    std::string payload;
    while (payload.size() < static_cast<size_t>(state.range(0))) {
        payload += "\x05\x0A"
                   "0123456789";
    }
    payload += kMdmfCallSetUp;
    char output[tvx::kCallerIdOutputSize];
    for (auto _ : state) {
        tvx::DecodeCallerId(payload.data(), static_cast<int32_t>(payload.size()), output);
        benchmark::DoNotOptimize(output);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(payload.size()));
}
BENCHMARK(BM_DecodeLongPayload)->Arg(256)->Arg(64 * 1024);

}  // namespace

BENCHMARK_MAIN();
