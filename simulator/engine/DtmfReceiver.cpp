#include "simulator/engine/DtmfReceiver.h"

#include <cstring>
#include <spandsp.h>

namespace tvxsim {
namespace {

constexpr char kKeys[] = "0123456789*#ABCD";
// After this much silence the receiver holds no digit and no energy: more
// silence changes nothing, so it is skipped.
constexpr int kSettledSilence = 2 * kBlockSamples;

}  // namespace

int32_t dtmfKeyIndex(char key)
{
    if (key >= 'a' && key <= 'd')
        key = static_cast<char>(key - 'a' + 'A');
    const char *p = key == '\0' ? nullptr : std::strchr(kKeys, key);
    return p ? static_cast<int32_t>(p - kKeys) : -1;
}

char dtmfKeyChar(int32_t index) { return (index >= 0 && index < 16) ? kKeys[index] : '?'; }

DtmfReceiver::DtmfReceiver() { reset(); }

DtmfReceiver::~DtmfReceiver()
{
    if (rx_ != nullptr)
        dtmf_rx_free(rx_);
}

void DtmfReceiver::reset()
{
    if (rx_ != nullptr)
        dtmf_rx_free(rx_);
    rx_ = dtmf_rx_init(nullptr, nullptr, nullptr);
    dtmf_rx_set_realtime_callback(rx_, &DtmfReceiver::onTone, this);
    dtmf_rx_parms(rx_, 0, -1, -1, threshold_);
    silentSamples_ = 0;
}

void DtmfReceiver::setThreshold(int dbm0)
{
    if (dbm0 == threshold_)
        return;
    threshold_ = dbm0;
    dtmf_rx_parms(rx_, 0, -1, -1, threshold_);
}

void DtmfReceiver::onTone(void *self, int code, int, int)
{
    auto *r = static_cast<DtmfReceiver *>(self);
    if (code != 0 && r->out_ != nullptr)
        r->out_->push_back({static_cast<char>(code), r->end_});
}

void DtmfReceiver::process(std::span<const int16_t> samples, SampleTime start, std::vector<DtmfDigit> &digits)
{
    if (isSilent(samples)) {
        if (silentSamples_ >= kSettledSilence)
            return;
        silentSamples_ += static_cast<int>(samples.size());
    } else {
        silentSamples_ = 0;
    }
    out_ = &digits;
    end_ = start + static_cast<SampleTime>(samples.size());
    dtmf_rx(rx_, samples.data(), static_cast<int>(samples.size()));
    out_ = nullptr;
}

}  // namespace tvxsim
