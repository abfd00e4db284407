// A DTMF receiver (the signal library's, with its ITU-T Q.24 timing: a tone
// pair of 40 ms is a digit, one of 23 ms is not). Reports each digit once,
// when it is recognised.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "simulator/engine/Audio.h"

struct dtmf_rx_state_s;

namespace tvxsim {

struct DtmfDigit {
    char key;         // '0'..'9', '*', '#', 'A'..'D'
    SampleTime time;  // end of the samples in which it was recognised
};

// 0..15 in the order 0-9, *, #, A-D; -1 for anything else.
int32_t dtmfKeyIndex(char key);
char dtmfKeyChar(int32_t index);

class DtmfReceiver {
public:
    static constexpr int kDefaultThresholdDbm0 = -26;

    DtmfReceiver();
    ~DtmfReceiver();
    DtmfReceiver(const DtmfReceiver &) = delete;
    DtmfReceiver &operator=(const DtmfReceiver &) = delete;

    // Quietest tone level that counts, per frequency.
    void setThreshold(int dbm0);
    void reset();
    void process(std::span<const int16_t> samples, SampleTime start, std::vector<DtmfDigit> &digits);

private:
    static void onTone(void *self, int code, int level, int delay);

    dtmf_rx_state_s *rx_ = nullptr;
    int threshold_ = kDefaultThresholdDbm0;
    std::vector<DtmfDigit> *out_ = nullptr;
    SampleTime end_ = 0;
    int silentSamples_ = 0;
};

}  // namespace tvxsim
