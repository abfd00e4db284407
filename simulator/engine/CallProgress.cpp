#include "simulator/engine/CallProgress.h"

#include <array>

namespace tvxsim {
namespace {

enum Row : size_t {
    kDial,
    kRingBack,
    kBusy,
};

}  // namespace

void CallProgress::Start(const TonePlan &plan)
{
    plan_ = &plan;
    const ToneSpec &d = plan.Tone(ProgressTone::Dial);
    const ToneSpec &r = plan.Tone(ProgressTone::RingBack);
    const ToneSpec &b = plan.Tone(ProgressTone::Busy);
    const std::array<GoertzelBank::Tone, 3> tones = {{{d.f1, d.f2}, {r.f1, r.f2}, {b.f1, b.f2}}};
    bank_.Configure(tones);
    dial_ = ringBack_ = busy_ = Bursts{};
    ringBackSeen_ = false;
    busyBursts_ = 0;
    sound_ = 0;
    quiet_ = 0;
    dialTone_ = false;
    answer_ = AnswerSignal::None;
}

void CallProgress::Process(std::span<const int16_t> lineRx, SampleTime start)
{
    if (plan_ == nullptr)
        return;
    bank_.Process(lineRx, start, [this](SampleTime end) { OnHop(end); });
}

SampleTime CallProgress::Follow(Bursts &b, bool present, SampleTime now)
{
    if (present) {
        if (!b.on) {
            b.on = true;
            b.since = now - GoertzelBank::kWindow;
        }
        b.lastSeen = now;
        return 0;
    }
    if (b.on && now - b.lastSeen > kBurstMerge) {
        b.on = false;
        return b.lastSeen - b.since;
    }
    return 0;
}

void CallProgress::OnHop(SampleTime end)
{
    const bool dial = bank_.TonePresent(kDial, kToneDbm0);
    const bool ringBack = bank_.TonePresent(kRingBack, kToneDbm0);
    const bool busy = bank_.TonePresent(kBusy, kToneDbm0);

    Follow(dial_, dial, end);
    if (dial_.on && dial && end - dial_.since >= MsToSamples(plan_->dialToneConfirmMs))
        dialTone_ = true;

    Follow(ringBack_, ringBack, end);
    if (ringBack_.on && end - ringBack_.since >= kRingBackBurst)
        ringBackSeen_ = true;

    const SampleTime burst = Follow(busy_, busy, end);
    if (burst >= kBusyMin && burst <= kBusyMax && ++busyBursts_ >= 2 && answer_ == AnswerSignal::None)
        answer_ = AnswerSignal::Busy;
    if (burst > kBusyMax)
        busyBursts_ = 0;

    // Sound that is no progress tone; the dips between syllables do not end it.
    const bool tone = dial || ringBack || busy;
    if (tone) {
        sound_ = 0;
        quiet_ = 0;
    } else if (bank_.WindowDbm0() >= kSoundDbm0) {
        sound_ += GoertzelBank::kHop;
        quiet_ = 0;
    } else if ((quiet_ += GoertzelBank::kHop) > kSoundGap) {
        sound_ = 0;
    }
    if (answer_ != AnswerSignal::None)
        return;
    if (sound_ >= kSoundToAnswer)
        answer_ = AnswerSignal::Answered;
    const SampleTime quiet = MsToSamples(LongestGapMs(plan_->Tone(ProgressTone::RingBack).cadenceMs) + 1000);
    if (ringBackSeen_ && !ringBack_.on && end - ringBack_.lastSeen > quiet)
        answer_ = AnswerSignal::Answered;
}

}  // namespace tvxsim
