#include "simulator/engine/CadencedTone.h"

#include <algorithm>
#include <cmath>
#include <spandsp.h>

namespace tvxsim {
namespace {

constexpr int32_t kMaxSectionMs = 3600 * 1000;  // keeps the generator's sample counts in range
constexpr int32_t kTopHz = 3999;

int32_t UsableHz(int32_t hz) { return (hz > 0 && hz <= kTopHz) ? hz : 0; }

}  // namespace

CadencedTone::CadencedTone(const ToneSpec &tone, SampleTime totalSamples) : remaining_(totalSamples)
{
    std::array<int, 4> d{};
    for (size_t i = 0; i < d.size(); ++i)
        d[i] = std::clamp(tone.cadenceMs[i], 0, kMaxSectionMs);
    // A cadence that starts with no tone, or a tone with no frequency, is silence.
    int f1 = UsableHz(tone.f1);
    int f2 = UsableHz(tone.f2);
    float l1 = tone.level1;
    float l2 = tone.level2;
    if (f1 == 0) {
        f1 = f2;
        l1 = l2;
        f2 = 0;
    }
    if (d[0] == 0 || f1 == 0 || totalSamples == 0) {
        finished_ = true;
        return;
    }
    // Sections after the first zero do not count.
    for (size_t i = 1; i < d.size(); ++i)
        if (d[i - 1] == 0)
            d[i] = 0;
    tone_gen_descriptor_t *desc = tone_gen_descriptor_init(nullptr,
                                                           f1,
                                                           static_cast<int>(std::lround(l1)),
                                                           f2,
                                                           static_cast<int>(std::lround(l2)),
                                                           d[0],
                                                           d[1],
                                                           d[2],
                                                           d[3],
                                                           tone.repeat ? 1 : 0);
    state_ = tone_gen_init(nullptr, desc);  // copies the descriptor
    tone_gen_descriptor_free(desc);
}

CadencedTone::~CadencedTone()
{
    if (state_ != nullptr)
        tone_gen_free(state_);
}

bool CadencedTone::MixInto(std::span<int16_t> out, float gain)
{
    if (finished_)
        return false;
    size_t n = out.size();
    if (remaining_ >= 0 && static_cast<SampleTime>(n) > remaining_)
        n = static_cast<size_t>(remaining_);
    std::array<int16_t, kBlockSamples> buf;
    size_t done = 0;
    while (done < n && !finished_) {
        const int want = static_cast<int>(std::min(n - done, buf.size()));
        const int got = tone_gen(state_, buf.data(), want);
        tvxsim::MixInto(out.subspan(done, static_cast<size_t>(got)),
                        std::span<const int16_t>(buf.data(), static_cast<size_t>(got)),
                        gain);
        done += static_cast<size_t>(got);
        if (got < want)
            finished_ = true;
    }
    if (remaining_ >= 0) {
        remaining_ -= static_cast<SampleTime>(done);
        if (remaining_ <= 0)
            finished_ = true;
    }
    return !finished_;
}

int32_t LongestGapMs(const std::array<int32_t, 4> &cadenceMs)
{
    int32_t gap = 0;
    for (size_t i = 1; i < cadenceMs.size(); i += 2) {
        if (cadenceMs[i - 1] == 0)
            break;
        gap = std::max(gap, cadenceMs[i]);
    }
    return gap;
}

}  // namespace tvxsim
