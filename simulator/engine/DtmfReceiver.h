// A DTMF receiver: the signal library's, which tells the digit (frequency
// tolerance, twist, talk-off), with a timing guard of its own that keeps the
// ITU-T Q.24 limits: the pair must have lasted 31.5 ms, so that 40 ms is a
// digit and 23 ms is not. Reports each digit once, when it is recognised.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "simulator/engine/Audio.h"
#include "simulator/engine/GoertzelBank.h"

struct dtmf_rx_state_s;

namespace tvxsim {

struct DtmfDigit {
    char key;         // '0'..'9', '*', '#', 'A'..'D'
    SampleTime time;  // end of the samples in which it was recognised
};

// 0..15 in the order 0-9, *, #, A-D; -1 for anything else.
int32_t DtmfKeyIndex(char key);
char DtmfKeyChar(int32_t index);

class DtmfReceiver {
public:
    static constexpr int kDefaultThresholdDbm0 = -26;

    DtmfReceiver();
    ~DtmfReceiver();
    DtmfReceiver(const DtmfReceiver &) = delete;
    DtmfReceiver &operator=(const DtmfReceiver &) = delete;

    // Quietest tone level that counts, per frequency.
    void SetThreshold(int dbm0);
    void Reset();
    void Process(std::span<const int16_t> samples, SampleTime start, std::vector<DtmfDigit> &digits);

private:
    static constexpr SampleTime kMinDigit = 252;   // 31.5 ms
    static constexpr SampleTime kOnsetLead = 136;  // a window 85 % full is the first to count
    static constexpr SampleTime kEndLag = 24;
    static void OnTone(void *self, int code, int level, int delay);
    void OnHop(SampleTime end);

    dtmf_rx_state_s *rx_ = nullptr;
    GoertzelBank pairs_;
    int32_t pending_ = -1;  // the key the library has recognised, not yet reported
    int32_t reported_ = -1;
    int32_t running_ = -1;  // the key whose pair is present now
    SampleTime runStart_ = 0;
    int misses_ = 0;
    int threshold_ = kDefaultThresholdDbm0;
    std::vector<DtmfDigit> *out_ = nullptr;
    int silentSamples_ = 0;
};

}  // namespace tvxsim
