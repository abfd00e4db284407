// The phone side: a handset with a hook switch, a keypad whose keys sound
// as DTMF into its microphone (100 ms each, 100 ms apart), a microphone the
// user may talk into, an earpiece, and a caller-ID display that reads what
// reaches the earpiece. Its bell rings from the ringing voltage it is given.
#pragma once

#include <memory>
#include <span>
#include <string_view>

#include "simulator/engine/CallerIdPhone.h"
#include "simulator/engine/Sources.h"

namespace tvxsim {

class Handset {
public:
    static constexpr int32_t kKeyOnMs = 100;
    static constexpr int32_t kKeyOffMs = 100;
    static constexpr SampleTime kFlashBreak = MsToSamples(600);

    // The hook switch as the user leaves it.
    void SetOffHook(bool offHook) { offHook_ = offHook; }
    // The hook button pressed for 600 ms (a hook flash), starting at `now`.
    void Flash(SampleTime now);
    // The hook as the line sees it at `now`: off hook, unless on hook or in a flash.
    bool LoopClosed(SampleTime now) const { return offHook_ && now >= flashEnd_; }
    bool OffHook() const { return offHook_; }
    // When the flash in progress ends (in the past when there is none).
    SampleTime FlashEnd() const { return flashEnd_; }

    void PressKeys(std::string_view digits);
    void Speak(std::unique_ptr<Source> source) { voice_.Add(std::move(source)); }

    // Writes the keypad's sound into keypad and the whole microphone signal into mic.
    void Microphone(std::span<int16_t> mic, std::span<int16_t> keypad);
    // What reaches the earpiece, for the caller-ID display.
    void Listen(std::span<const int16_t> earpiece, SampleTime start)
    {
        callerId_.Listen(earpiece, start, offHook_, keys_);
    }
    const CallerIdPhone &CallerId() const { return callerId_; }

private:
    bool offHook_ = false;
    SampleTime flashEnd_ = 0;
    SourceMixer keys_;
    SourceMixer voice_;
    CallerIdPhone callerId_;
};

}  // namespace tvxsim
