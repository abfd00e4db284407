#include "simulator/engine/Handset.h"

#include <algorithm>

namespace tvxsim {

void Handset::Flash(SampleTime now)
{
    if (offHook_)
        flashEnd_ = now + kFlashBreak;
}

void Handset::PressKeys(std::string_view digits)
{
    keys_.Add(std::make_unique<DtmfSource>(digits, kKeyOnMs, kKeyOffMs));
}

void Handset::Microphone(std::span<int16_t> mic, std::span<int16_t> keypad)
{
    std::fill(keypad.begin(), keypad.end(), int16_t{0});
    std::fill(mic.begin(), mic.end(), int16_t{0});
    if (!keys_.Empty())
        keys_.MixInto(keypad);
    if (!voice_.Empty())
        voice_.MixInto(mic);
    MixInto(mic, keypad);
}

}  // namespace tvxsim
