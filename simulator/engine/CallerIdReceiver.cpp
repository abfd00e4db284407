#include "simulator/engine/CallerIdReceiver.h"

#include <spandsp.h>

#include "simulator/engine/FskSource.h"
#include "simulator/logic/CallerIdMessage.h"

namespace tvxsim {
namespace {

// Mark and space between those of Bell 202 (1200, 2200 Hz) and V.23 (1300, 2100 Hz).
const fsk_spec_t kDualSpec = {"Bell 202 and V.23", 2150, 1250, -13, CallerIdReceiver::kMinLevelDbm0, kFskBitRate * 100};

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
    lastBit_ = -1;
    alternations_ = 0;
}

void CallerIdReceiver::Process(std::span<const int16_t> samples, SampleTime start, std::vector<CidReception> &out)
{
    out_ = &out;
    now_ = start + static_cast<SampleTime>(samples.size());
    fsk_rx(rx_, samples.data(), static_cast<int>(samples.size()));
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
    switch (phase_) {
    case Phase::Hunt:
        alternations_ = bit != lastBit_ ? alternations_ + 1 : 0;
        lastBit_ = bit;
        seized_ = seized_ || alternations_ >= kMinSeizure;
        marks_ = bit ? marks_ + 1 : 0;
        if (marks_ >= kMinMarks && (seized_ || !requireSeizure_)) {
            phase_ = Phase::Idle;
            marks_ = 0;
        }
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
        if (!bit) {
            if (bytes_.empty())  // no message began: noise after the marks
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
