#include "simulator/engine/DtmfReceiver.h"

#include <array>
#include <cstring>
#include <spandsp.h>

namespace tvxsim {
namespace {

constexpr char kKeys[] = "0123456789*#ABCD";
// After this much silence the receiver holds no digit and no energy: more
// silence changes nothing, so it is skipped.
constexpr int kSettledSilence = 2 * kBlockSamples;
constexpr float kPairDbm0 = -45.0f;
constexpr std::array<int32_t, 4> kRows = {697, 770, 852, 941};
constexpr std::array<int32_t, 4> kColumns = {1209, 1336, 1477, 1633};
// Keys in index order (0-9, *, #, A-D) as row and column.
constexpr std::array<std::pair<int, int>, 16> kKeyPairs = {{{3, 1},
                                                            {0, 0},
                                                            {0, 1},
                                                            {0, 2},
                                                            {1, 0},
                                                            {1, 1},
                                                            {1, 2},
                                                            {2, 0},
                                                            {2, 1},
                                                            {2, 2},
                                                            {3, 0},
                                                            {3, 2},
                                                            {0, 3},
                                                            {1, 3},
                                                            {2, 3},
                                                            {3, 3}}};

}  // namespace

int32_t DtmfKeyIndex(char key)
{
    if (key >= 'a' && key <= 'd')
        key = static_cast<char>(key - 'a' + 'A');
    const char *p = key == '\0' ? nullptr : std::strchr(kKeys, key);
    return p ? static_cast<int32_t>(p - kKeys) : -1;
}

char DtmfKeyChar(int32_t index) { return (index >= 0 && index < 16) ? kKeys[index] : '?'; }

DtmfReceiver::DtmfReceiver()
{
    std::array<GoertzelBank::Tone, 16> tones{};
    for (size_t k = 0; k < tones.size(); ++k)
        tones[k] = {kRows[static_cast<size_t>(kKeyPairs[k].first)], kColumns[static_cast<size_t>(kKeyPairs[k].second)]};
    pairs_.Configure(tones, false);
    Reset();
}

DtmfReceiver::~DtmfReceiver()
{
    if (rx_ != nullptr)
        dtmf_rx_free(rx_);
}

void DtmfReceiver::Reset()
{
    if (rx_ != nullptr)
        dtmf_rx_free(rx_);
    rx_ = dtmf_rx_init(nullptr, nullptr, nullptr);
    dtmf_rx_set_realtime_callback(rx_, &DtmfReceiver::OnTone, this);
    dtmf_rx_parms(rx_, 0, -1, -1, threshold_);
    pairs_.Reset();
    silentSamples_ = 0;
    pending_ = reported_ = running_ = -1;
    misses_ = 0;
}

void DtmfReceiver::SetThreshold(int dbm0)
{
    if (dbm0 == threshold_)
        return;
    threshold_ = dbm0;
    dtmf_rx_parms(rx_, 0, -1, -1, threshold_);
}

void DtmfReceiver::OnTone(void *self, int code, int, int)
{
    auto *r = static_cast<DtmfReceiver *>(self);
    if (code == 0) {
        r->pending_ = -1;
        r->reported_ = -1;
        return;
    }
    const int32_t key = DtmfKeyIndex(static_cast<char>(code));
    if (key != r->reported_)
        r->pending_ = key;
}

void DtmfReceiver::OnHop(SampleTime end)
{
    int32_t present = -1;
    for (size_t k = 0; k < kKeyPairs.size() && present < 0; ++k)
        if (pairs_.TonePresent(k, kPairDbm0))
            present = static_cast<int32_t>(k);
    if (present >= 0 && present == running_) {
        misses_ = 0;
    } else if (present >= 0) {
        running_ = present;
        runStart_ = end - kOnsetLead;
        misses_ = 0;
    } else if (running_ >= 0 && ++misses_ >= 2) {
        running_ = -1;
    }
    if (pending_ >= 0 && pending_ == running_ && present == running_ && end - kEndLag - runStart_ >= kMinDigit) {
        if (out_ != nullptr)
            out_->push_back({DtmfKeyChar(pending_), end});
        reported_ = pending_;
        pending_ = -1;
    }
}

void DtmfReceiver::Process(std::span<const int16_t> samples, SampleTime start, std::vector<DtmfDigit> &digits)
{
    if (IsSilent(samples)) {
        if (silentSamples_ >= kSettledSilence)
            return;
        silentSamples_ += static_cast<int>(samples.size());
    } else {
        silentSamples_ = 0;
    }
    out_ = &digits;
    // The library's receiver and the timing guard take the samples hop by hop,
    // so that either may come first.
    size_t done = 0;
    pairs_.Process(samples, start, [&](SampleTime end) {
        const auto upTo = static_cast<size_t>(end - start);
        dtmf_rx(rx_, samples.data() + done, static_cast<int>(upTo - done));
        done = upTo;
        OnHop(end);
    });
    if (done < samples.size())
        dtmf_rx(rx_, samples.data() + done, static_cast<int>(samples.size() - done));
    out_ = nullptr;
}

}  // namespace tvxsim
