// The phone's caller-ID display unit: on hook it reads FSK caller ID (Bell
// 202 or V.23) and DTMF caller ID (a number between "A" or "D" and "C" or
// "#", or "B00" out of area, "B10" private) from what reaches it; off hook
// it answers a call-waiting alert (CAS) with a DTMF D of 60 ms into its
// microphone and reads the message that follows within 2 s. It shows the
// last whole message it read.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "simulator/engine/AlertDetector.h"
#include "simulator/engine/CallerIdReceiver.h"
#include "simulator/engine/DtmfReceiver.h"
#include "simulator/engine/Sources.h"

namespace tvxsim {

class CallerIdPhone {
public:
    static constexpr SampleTime kArmed = MsToSamples(2000);
    static constexpr SampleTime kKeyGap = MsToSamples(1000);
    static constexpr int32_t kAckMs = 60;
    static constexpr int kDtmfThresholdDbm0 = -40;
    static constexpr size_t kMaxKeys = 64;

    CallerIdPhone();
    // Listens to `earpiece`; an acknowledgement goes into `keypad`.
    void Listen(std::span<const int16_t> earpiece, SampleTime start, bool offHook, SourceMixer &keypad);
    const std::string &Display() const { return display_; }
    // How many messages it has shown.
    uint32_t Shown() const { return shown_; }

private:
    void Show(std::string text);
    void Key(const DtmfDigit &digit);

    CallerIdReceiver fsk_;
    AlertDetector alert_;
    DtmfReceiver dtmf_;
    bool offHook_ = false;
    SampleTime armedUntil_ = -1;
    bool collecting_ = false;
    std::string keys_;
    SampleTime lastKey_ = 0;
    std::vector<CidReception> received_;
    std::vector<AlertEdge> edges_;
    std::vector<DtmfDigit> digits_;
    std::string display_;
    uint32_t shown_ = 0;
};

}  // namespace tvxsim
