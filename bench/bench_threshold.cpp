// Cost of the threshold scale and of the value text shown during a drag: one
// text and one library call per thumb position, so a drag over the full
// threshold range formats 32767 texts.
#include "panel/logic/ParameterTable.h"

#include <benchmark/benchmark.h>

#include <cstdint>

namespace {

void BM_ThresholdToDbm(benchmark::State &state)
{
    uint32_t v = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(tvx::ThresholdToDbm(v));
        v = (v + 1) % (tvx::kThresholdMax + 1);
    }
}
BENCHMARK(BM_ThresholdToDbm);

void BM_FormatDbmValue(benchmark::State &state)
{
    char text[tvx::kValueTextSize];
    uint32_t v = 0;
    for (auto _ : state) {
        tvx::FormatDbmValue(text, sizeof text, v);
        benchmark::DoNotOptimize(text[0]);
        v = (v + 1) % (tvx::kThresholdMax + 1);
    }
}
BENCHMARK(BM_FormatDbmValue);

// A whole drag across the tones detection threshold's range.
void BM_DragFullThresholdRange(benchmark::State &state)
{
    tvx::ParameterState params;
    params.Select(9);
    char text[tvx::kValueTextSize];
    for (auto _ : state) {
        for (uint32_t p = 0; p <= tvx::kThresholdMax; ++p) {
            auto drag = params.OnDrag(p, text, sizeof text);
            benchmark::DoNotOptimize(drag);
        }
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * (tvx::kThresholdMax + 1));
}
BENCHMARK(BM_DragFullThresholdRange)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
