// A caller-ID receiver: one FSK demodulator (the signal library's) whose
// tones lie between those of Bell 202 and V.23 (mark 1250 Hz, space 2150 Hz)
// takes both modems, as the receivers of caller-ID equipment do: the
// correlators span a whole bit and so are much wider than the 50 Hz between
// them. On the demodulated bits: a message starts with the first start bit
// after at least 20 marks (the channel seizure's alternating bits never
// count), and on hook, where a message always begins with a channel
// seizure, only after at least 20 bits of it; then bytes of a start bit, eight data bits and a stop bit, up to
// 20 marks apart; the second byte gives the length, and the byte after the
// parameters is the checksum.
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
    static constexpr int kMinSeizure = 20;
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
    void Finish(CidFault fault);
    void Hunt();

    fsk_rx_state_s *rx_ = nullptr;
    Phase phase_ = Phase::Hunt;
    bool carrier_ = false;
    int marks_ = 0;
    bool requireSeizure_ = true;
    bool seized_ = false;
    int lastBit_ = -1;
    int alternations_ = 0;
    int bitCount_ = 0;
    unsigned byte_ = 0;
    std::vector<uint8_t> bytes_;
    std::vector<CidReception> *out_ = nullptr;
    SampleTime now_ = 0;
};

}  // namespace tvxsim
