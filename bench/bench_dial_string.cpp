// Cost of interpreting dial strings of the edit's full length (255 characters).
#include "panel/logic/DialString.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

// A dial string of n characters that mixes every kind of character.
std::string MixedDialString(std::size_t n)
{
    static const std::string pattern = "9W(03) 555-12#*ABCDP123T!@xyz";
    std::string s;
    while (s.size() < n)
        s += pattern[s.size() % pattern.size()];
    return s;
}

// Counts the calls, so that the interpreter's work cannot be optimised away.
class CountingSink final : public tvx::DialSink {
public:
    void Send(int32_t dialCode, int32_t arg4) override { sum_ += dialCode + arg4; }
    void Wait(int milliseconds) override { sum_ += milliseconds; }
    long sum() const { return sum_; }

private:
    long sum_ = 0;
};

void BM_RunDialString(benchmark::State &state)
{
    const std::string text = MixedDialString(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        CountingSink sink;
        tvx::RunDialString(text, state.range(1) != 0, sink);
        benchmark::DoNotOptimize(sink.sum());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_RunDialString)->Args({255, 0})->Args({255, 1})->Args({16, 0});

void BM_InterpretDialString(benchmark::State &state)
{
    const std::string text = MixedDialString(255);
    for (auto _ : state) {
        auto steps = tvx::InterpretDialString(text, false);
        benchmark::DoNotOptimize(steps.data());
    }
}
BENCHMARK(BM_InterpretDialString);

}  // namespace

BENCHMARK_MAIN();
