// The spectrum's cost at 20 frames a second: one frame is the analyser's
// FFT of the line (512 points, Hann window, every 400 samples) and one paint
// of the spectrum area at the tool's size (175 x 90 dialog units, about
// 262 x 146 pixels) and at twice that. The counter frames_per_cpu_s is how
// many such frames one core makes in a second of CPU time, so 20 frames a
// second take 2000 / frames_per_cpu_s percent of a core.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QWidget>
#include <array>
#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

#include "simulator/AnalysisPainter.h"
#include "simulator/engine/LineAnalyser.h"

namespace {

void SetRate(benchmark::State &state)
{
    state.counters["frames_per_cpu_s"] = benchmark::Counter(1.0, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_AnalyseFrame(benchmark::State &state)
{
    auto feed = std::make_shared<tvxsim::AnalysisFeed>();
    tvxsim::LineAnalyser analyser(feed);
    analyser.SetEnabled(true);
    std::vector<int16_t> tone(tvxsim::kSpectrumHop);
    for (size_t n = 0; n < tone.size(); ++n)
        tone[n] = static_cast<int16_t>(8000 * std::sin(2 * std::numbers::pi * 1000 * static_cast<double>(n) / 8000));
    analyser.Feed(std::vector<int16_t>(tvxsim::kSpectrumFftSize));  // a full window first
    for (auto _ : state)
        analyser.Feed(tone);  // one frame per hop
    SetRate(state);
}

void BM_PaintFrame(benchmark::State &state)
{
    auto feed = std::make_shared<tvxsim::AnalysisFeed>();
    std::array<float, tvxsim::kSpectrumBins> bins;
    for (size_t k = 0; k < bins.size(); ++k)
        bins[k] = -70.0f + 60.0f * static_cast<float>(k % 17) / 17.0f;
    feed->Publish(bins);
    QWidget area;
    area.resize(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    tvxsim::AnalysisPainter painter(&area, feed);
    painter.SetActive(true);
    QImage image(area.size(), QImage::Format_RGB32);
    for (auto _ : state)
        area.render(&image);
    SetRate(state);
}

}  // namespace

BENCHMARK(BM_AnalyseFrame)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();
BENCHMARK(BM_PaintFrame)->Args({262, 146})->Args({524, 292})->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
