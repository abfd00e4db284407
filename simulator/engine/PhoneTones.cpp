#include "simulator/engine/PhoneTones.h"

#include <algorithm>

namespace tvxsim {
namespace {

constexpr std::array<int32_t, 4> kContinuous = {1000, 0, 0, 0};
constexpr int32_t kMaxRecordMs = 3600 * 1000;

ToneSpec Single(int32_t hz, float dbm0, std::array<int32_t, 4> cadence, bool repeat)
{
    ToneSpec t;
    t.f1 = hz;
    t.level1 = dbm0;
    t.cadenceMs = cadence;
    t.repeat = repeat;
    return t;
}

ToneSpec Pair(int32_t f1, int32_t f2, float dbm0, std::array<int32_t, 4> cadence)
{
    ToneSpec t = Single(f1, dbm0, cadence, true);
    t.f2 = f2;
    t.level2 = dbm0;
    return t;
}

std::vector<std::unique_ptr<CadencedTone>> Make(const std::vector<ToneSpec> &specs)
{
    std::vector<std::unique_ptr<CadencedTone>> tones;
    for (const ToneSpec &s : specs)
        tones.push_back(std::make_unique<CadencedTone>(s));
    return tones;
}

}  // namespace

std::vector<ToneSpec> GeneratorTone(int32_t tone, const TonePlan &plan)
{
    if (tone >= 0 && tone < static_cast<int32_t>(kProgressTones))
        return {plan.Tone(static_cast<ProgressTone>(tone))};
    switch (tone) {
    case kToneInfiniteBeep:
        return {Single(kBeepHz, kBeepDbm0, kContinuous, true)};
    case kToneBeep:
        return {Single(kBeepHz, kBeepDbm0, {kBeepMs, 0, 0, 0}, false)};
    case kToneReceiverOffHook:
        return {Pair(1400, 2060, -10.0f, {100, 100, 0, 0}), Pair(2450, 2600, -10.0f, {100, 100, 0, 0})};
    default:
        return {};
    }
}

std::vector<ToneSpec> ToneSetSpecs(std::span<const ToneGenRecord> records)
{
    float sum = 0;
    for (const ToneGenRecord &r : records)
        sum += r.amplitude;
    const float scale = sum > 32767.0f ? 32767.0f / sum : 1.0f;
    std::vector<ToneSpec> specs;
    for (const ToneGenRecord &r : records) {
        if (r.frequency == 0 || r.frequency > 3999 || r.amplitude == 0 || r.onTime <= 0)
            continue;
        const float peak = static_cast<float>(r.amplitude) * scale;
        specs.push_back(Single(r.frequency,
                               PeakToDbm0(peak),
                               {std::min(r.onTime, kMaxRecordMs), std::clamp(r.offTime, 0, kMaxRecordMs), 0, 0},
                               true));
    }
    return specs;
}

void PhoneTones::Start(int32_t tone, const TonePlan &plan) { tone_ = Make(GeneratorTone(tone, plan)); }

void PhoneTones::StartSet(std::span<const ToneGenRecord> records) { set_ = Make(ToneSetSpecs(records)); }

bool PhoneTones::MixInto(std::span<int16_t> out)
{
    for (const auto &t : set_)
        t->MixInto(out);
    if (tone_.empty())
        return false;
    bool running = false;
    for (const auto &t : tone_)
        running |= t->MixInto(out);
    if (running)
        return false;
    tone_.clear();
    return true;
}

}  // namespace tvxsim
