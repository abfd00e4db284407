#include "simulator/engine/CallerIdPhone.h"

#include "simulator/logic/CallerIdDisplay.h"

namespace tvxsim {

CallerIdPhone::CallerIdPhone() { dtmf_.SetThreshold(kDtmfThresholdDbm0); }

void CallerIdPhone::Show(std::string text)
{
    display_ = std::move(text);
    ++shown_;
}

void CallerIdPhone::Key(const DtmfDigit &d)
{
    if (collecting_ && d.time - lastKey_ > kKeyGap)
        collecting_ = false;
    lastKey_ = d.time;
    switch (d.key) {
    case 'A':
    case 'D':
        collecting_ = true;
        keys_.clear();
        return;
    case 'B':
        collecting_ = true;
        keys_.assign(1, 'B');
        return;
    case 'C':
    case '#':
        if (collecting_)
            Show(PhoneDisplayOfDtmf(keys_));
        collecting_ = false;
        return;
    default:
        if (collecting_ && keys_.size() < kMaxKeys)
            keys_.push_back(d.key);
        return;
    }
}

void CallerIdPhone::Listen(std::span<const int16_t> earpiece, SampleTime start, bool offHook, SourceMixer &keypad)
{
    if (offHook != offHook_) {
        offHook_ = offHook;
        fsk_.Reset();
        alert_.Reset();
        dtmf_.Reset();
        armedUntil_ = -1;
        collecting_ = false;
    }
    const bool quiet = IsSilent(earpiece);
    bool listen = !offHook && (!quiet || fsk_.Busy());
    if (offHook) {
        edges_.clear();
        alert_.Process(earpiece, start, edges_);
        for (const AlertEdge &e : edges_)
            if (e.kind == AlertEdge::Alert) {
                keypad.Add(std::make_unique<DtmfSource>("D", kAckMs, 0));
                armedUntil_ = e.time + kArmed;
                fsk_.Reset();
            }
        listen = armedUntil_ > start;
    } else {
        digits_.clear();
        dtmf_.Process(earpiece, start, digits_);
        for (const DtmfDigit &d : digits_)
            Key(d);
    }
    if (!listen)
        return;
    received_.clear();
    fsk_.RequireSeizure(!offHook);
    fsk_.Process(earpiece, start, received_);
    for (CidReception &r : received_)
        if (r.fault == CidFault::None) {
            Show(PhoneDisplay(r.bytes));
            armedUntil_ = -1;
        }
}

}  // namespace tvxsim
