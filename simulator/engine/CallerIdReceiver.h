// A caller-ID receiver: one FSK demodulator (the signal library's) whose
// tones lie between those of Bell 202 and V.23 (mark 1250 Hz, space 2150 Hz)
// takes both modems, as the receivers of caller-ID equipment do: the
// correlators span a whole bit and so are much wider than the 50 Hz between
// them. Beside it a carrier meter tells every 5 ms whether the line holds a
// steady FSK carrier (FskCarrierMeter), so that speech, music and tones,
// which the demodulator turns into bits as readily as FSK, begin nothing.
//
// On the demodulated bits: on hook, where a message always begins with a
// channel seizure, the seizure is at least kMinSeizure alternating bits
// arriving at the bit rate (within kRateTolerance), then at least kMinMarks
// marks, all within one steady stretch of carrier (off hook the marks
// alone, within one stretch). The first start bit
// after them begins the message: bytes of a start bit, eight data bits and a
// stop bit, up to kMaxGapMarks marks apart. The first byte must be a message
// type (0x04, 0x06, 0x80, 0x82), or nothing began; the second gives the
// length, and the byte after the parameters is the checksum.
//
// The bytes are reported exactly as demodulated: a whole message without its
// checksum byte when the checksum holds; otherwise, as damaged, every byte
// received, with the reason (bad checksum, a byte without its stop bit, the
// signal ending or pausing before the message did). Nothing here walks the
// parameters.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "simulator/engine/Audio.h"
#include "simulator/engine/FskCarrierMeter.h"

struct fsk_rx_state_s;

namespace tvxsim {

enum class CidFault : uint8_t {
    None,
    BadChecksum,
    Framing,   // a byte without its stop bit
    CutShort,  // the signal ended or paused inside the message
};
const char *CidFaultText(CidFault fault);

struct CidReception {
    SampleTime time = 0;  // end of the samples in which it was completed
    std::vector<uint8_t> bytes;
    CidFault fault = CidFault::None;
};

class CallerIdReceiver {
public:
    static constexpr int kMinMarks = 20;
    static constexpr int kMinSeizure = 40;
    static constexpr double kRateTolerance = 0.1;  // of the seizure's length in time
    static constexpr int kMaxGapMarks = 20;
    static constexpr int kMinLevelDbm0 = -45;  // quieter carriers are not demodulated
    static constexpr size_t kMaxBytes = 258;   // type, length, 255 bytes, checksum

    CallerIdReceiver();
    ~CallerIdReceiver();
    CallerIdReceiver(const CallerIdReceiver &) = delete;
    CallerIdReceiver &operator=(const CallerIdReceiver &) = delete;

    void Reset();
    // Whether a message needs a channel seizure before its marks (on hook).
    void RequireSeizure(bool on) { requireSeizure_ = on; }
    void Process(std::span<const int16_t> samples, SampleTime start, std::vector<CidReception> &out);
    // Inside a message, or with a carrier present.
    bool Busy() const { return carrier_ || phase_ != Phase::Hunt; }

private:
    enum class Phase : uint8_t {
        Hunt,  // counting marks
        Idle,  // marks enough: a start bit begins a byte
        Byte,  // data bits, then the stop bit
    };
    static void OnBit(void *self, int bit);
    void Bit(int bit);
    void HuntBit(int bit);
    // Whether the seizure's run, kMinSeizure bits from runStart_ to now, came at the bit rate.
    bool AtBitRate() const;
    void Finish(CidFault fault);
    void Hunt();

    fsk_rx_state_s *rx_ = nullptr;              // the demodulator
    FskCarrierMeter meter_;                     // whether the line holds a steady carrier, every 5 ms
    Phase phase_ = Phase::Hunt;                 // where in a message the bits are
    bool carrier_ = false;                      // the demodulator reports a carrier
    int marks_ = 0;                             // marks in a row (hunting), or since the last byte
    bool requireSeizure_ = true;                // on hook: no message without a channel seizure
    bool seized_ = false;                       // a channel seizure came, in the stretch of runStretch_
    uint32_t runStretch_ = 0;                   // the carrier's stretch that the runs being counted lie in
    int lastBit_ = -1;                          // the bit before, while hunting
    int alternations_ = 0;                      // the run of alternating bits so far
    SampleTime runStart_ = 0;                   // when that run's first bit came
    int bitCount_ = 0;                          // data bits of the byte so far
    unsigned byte_ = 0;                         // the byte so far
    std::vector<uint8_t> bytes_;                // the message so far
    std::vector<CidReception> *out_ = nullptr;  // where Process reports, while it runs
    SampleTime now_ = 0;                        // the end of the samples that Process was given
    SampleTime bitClock_ = 0;                   // the end of the samples being demodulated
};

}  // namespace tvxsim
