#include "simulator/engine/CallerIdReceiver.h"

#include <algorithm>
#include <cmath>

#include <spandsp.h>

#include "simulator/engine/FskSource.h"
#include "simulator/logic/CallerIdMessage.h"

namespace tvxsim {
namespace {

// Mark and space between those of Bell 202 (1200, 2200 Hz) and V.23 (1300, 2100 Hz).
const fsk_spec_t kDualSpec = {"Bell 202 and V.23", 2150, 1250, -13, CallerIdReceiver::kMinLevelDbm0, kFskBitRate * 100};
// The demodulator takes the samples this many at a time: each bit's time is known to within them.
constexpr size_t kChunk = 8;

}  // namespace

const char *CidFaultText(CidFault fault)
{
    switch (fault) {
    case CidFault::None:
        return "whole";
    case CidFault::BadChecksum:
        return "bad checksum";
    case CidFault::Framing:
        return "a byte without its stop bit";
    case CidFault::CutShort:
        return "cut short";
    }
    return "?";
}

CallerIdReceiver::CallerIdReceiver()
{
    rx_ = fsk_rx_init(nullptr, &kDualSpec, FSK_FRAME_MODE_ASYNC, &CallerIdReceiver::OnBit, this);
    bytes_.reserve(kMaxBytes);
}

CallerIdReceiver::~CallerIdReceiver() { fsk_rx_free(rx_); }

void CallerIdReceiver::Reset()
{
    fsk_rx_restart(rx_, &kDualSpec, FSK_FRAME_MODE_ASYNC);
    meter_.Reset();
    phase_ = Phase::Hunt;
    carrier_ = false;
    bytes_.clear();
    Hunt();
}

void CallerIdReceiver::Hunt()
{
    phase_ = Phase::Hunt;
    marks_ = 0;
    seized_ = false;
    runStretch_ = 0;
    lastBit_ = -1;
    alternations_ = 0;
}

void CallerIdReceiver::Process(std::span<const int16_t> samples, SampleTime start, std::vector<CidReception> &out)
{
    out_ = &out;
    now_ = start + static_cast<SampleTime>(samples.size());
    // Each piece is measured up to the meter's frame end first, so that its bits see their own frame.
    for (size_t at = 0; at < samples.size();) {
        const size_t measured = meter_.Take(samples.subspan(at));
        for (const size_t end = at + measured; at < end;) {
            const size_t n = std::min(kChunk, end - at);
            bitClock_ = start + static_cast<SampleTime>(at + n);
            fsk_rx(rx_, samples.data() + at, static_cast<int>(n));
            at += n;
        }
    }
    out_ = nullptr;
}

void CallerIdReceiver::OnBit(void *self, int bit) { static_cast<CallerIdReceiver *>(self)->Bit(bit); }

void CallerIdReceiver::Finish(CidFault fault)
{
    if (!bytes_.empty() && out_ != nullptr) {
        CidReception r;
        r.time = now_;
        r.fault = fault;
        r.bytes = bytes_;
        if (fault == CidFault::None)
            r.bytes.pop_back();  // the checksum byte
        out_->push_back(std::move(r));
    }
    bytes_.clear();
    Hunt();
}

bool CallerIdReceiver::AtBitRate() const
{
    constexpr double kExpected = static_cast<double>(kMinSeizure - 1) * kSampleRate / kFskBitRate;
    return std::fabs(static_cast<double>(bitClock_ - runStart_) - kExpected) <=
           static_cast<double>(kChunk) + kRateTolerance * kExpected;
}

void CallerIdReceiver::HuntBit(int bit)
{
    if (meter_.Stretch() != runStretch_) {  // another stretch of carrier: seizure and marks start afresh
        runStretch_ = meter_.Stretch();
        seized_ = false;
        alternations_ = 0;
        marks_ = 0;
    }
    if (!seized_) {
        if (alternations_ > 0 && bit != lastBit_) {
            seized_ = ++alternations_ >= kMinSeizure && AtBitRate();
            if (alternations_ >= kMinSeizure && !seized_)
                alternations_ = 0;  // too fast or too slow for a seizure: the run starts again here
        } else {
            alternations_ = 0;
        }
        if (alternations_ == 0) {
            alternations_ = 1;
            runStart_ = bitClock_;
        }
    }
    lastBit_ = bit;
    marks_ = bit ? marks_ + 1 : 0;
    if (marks_ >= kMinMarks && (seized_ || !requireSeizure_)) {
        phase_ = Phase::Idle;
        marks_ = 0;
    }
}

void CallerIdReceiver::Bit(int bit)
{
    if (bit < 0) {
        if (bit == SIG_STATUS_CARRIER_UP) {
            carrier_ = true;
        } else if (bit == SIG_STATUS_CARRIER_DOWN) {
            carrier_ = false;
            Finish(CidFault::CutShort);
        }
        return;
    }
    if (bytes_.empty() && meter_.Stretch() == 0) {
        Hunt();  // no message has begun and the carrier is gone: it all starts again
        return;
    }
    switch (phase_) {
    case Phase::Hunt:
        HuntBit(bit);
        return;
    case Phase::Idle:
        if (bit) {
            if (!bytes_.empty() && ++marks_ > kMaxGapMarks)
                Finish(CidFault::CutShort);
            return;
        }
        phase_ = Phase::Byte;
        bitCount_ = 0;
        byte_ = 0;
        return;
    case Phase::Byte:
        if (bitCount_ < 8) {
            byte_ |= static_cast<unsigned>(bit) << bitCount_++;
            return;
        }
        if (!bit || (bytes_.empty() && !IsCidMessageType(static_cast<uint8_t>(byte_)))) {
            if (bytes_.empty())  // no message began: noise after the marks, or no message type
                Hunt();
            else  // an all-zero frame is a break: the signal is gone
                Finish(byte_ == 0 ? CidFault::CutShort : CidFault::Framing);
            return;
        }
        bytes_.push_back(static_cast<uint8_t>(byte_));
        phase_ = Phase::Idle;
        marks_ = 0;
        if (bytes_.size() >= 2 && bytes_.size() == static_cast<size_t>(bytes_[1]) + 3)
            Finish(CidChecksum(std::span<const uint8_t>(bytes_).first(bytes_.size() - 1)) == bytes_.back()
                       ? CidFault::None
                       : CidFault::BadChecksum);
        return;
    }
}

}  // namespace tvxsim
