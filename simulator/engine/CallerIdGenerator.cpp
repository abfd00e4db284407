#include "simulator/engine/CallerIdGenerator.h"

#include <cmath>

#include "simulator/engine/AlertDetector.h"

namespace tvxsim {
namespace {

constexpr float kSilentBelowDbm0 = -100.0f;

}  // namespace

void CallerIdGenerator::Start(CidGeneration job, SampleTime now)
{
    job_ = std::move(job);
    next_ = now;
    if (job_.callWaiting)
        phase_ = Phase::Cas;
    else
        phase_ = job_.ring ? Phase::Ring : Phase::Data;
}

void CallerIdGenerator::Ack(SampleTime time)
{
    if (phase_ != Phase::AwaitAck)
        return;
    phase_ = Phase::Data;
    next_ = time + kAckToData;
}

std::unique_ptr<Source> CallerIdGenerator::Signal(SampleTime &length) const
{
    length = 0;
    if (job_.dbm0 < kSilentBelowDbm0)
        return nullptr;
    if (!job_.dtmf.empty()) {
        length = MsToSamples(static_cast<int64_t>(job_.dtmf.size()) * (kDtmfOnMs + kDtmfOffMs));
        return std::make_unique<DtmfSource>(job_.dtmf, kDtmfOnMs, kDtmfOffMs, static_cast<int>(std::lround(job_.dbm0)));
    }
    auto fsk = std::make_unique<FskSource>(
        job_.modem, job_.callWaiting ? kOffHookFraming : kOnHookFraming, job_.message, job_.dbm0);
    length = fsk->Length();
    return fsk;
}

CallerIdGenerator::Step CallerIdGenerator::Advance(SampleTime now)
{
    Step step;
    if (phase_ == Phase::Idle || now < next_)
        return step;
    switch (phase_) {
    case Phase::Ring:
        step.ring = true;
        phase_ = Phase::Data;
        next_ = now + job_.ringLength + kRingToData;
        break;
    case Phase::Cas:
        if (job_.dbm0 >= kSilentBelowDbm0)
            step.play = std::make_unique<ToneSource>(
                ToneSpec{kAlertLowHz, kAlertHighHz, job_.dbm0, job_.dbm0, {10000, 0, 0, 0}}, kCasLength);
        phase_ = job_.waitAck ? Phase::AwaitAck : Phase::Data;
        next_ = now + kCasLength + (job_.waitAck ? kAckWindow : kNoWaitToData);
        break;
    case Phase::AwaitAck:
        step.finished = true;
        step.acknowledged = false;
        phase_ = Phase::Idle;
        break;
    case Phase::Data: {
        SampleTime length = 0;
        step.play = Signal(length);
        phase_ = Phase::Settle;
        next_ = now + length + kSettle;
        break;
    }
    case Phase::Settle:
        step.finished = true;
        phase_ = Phase::Idle;
        break;
    case Phase::Idle:
        break;
    }
    return step;
}

}  // namespace tvxsim
