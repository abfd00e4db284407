#include "simulator/engine/Handset.h"

#include <algorithm>

namespace tvxsim {

void Handset::flash(SampleTime now)
{
    if (offHook_)
        flashEnd_ = now + kFlashBreak;
}

void Handset::pressKeys(std::string_view digits)
{
    keys_.add(std::make_unique<DtmfSource>(digits, kKeyOnMs, kKeyOffMs));
}

void Handset::microphone(std::span<int16_t> mic, std::span<int16_t> keypad)
{
    std::fill(keypad.begin(), keypad.end(), int16_t{0});
    std::fill(mic.begin(), mic.end(), int16_t{0});
    if (!keys_.empty())
        keys_.mixInto(keypad);
    if (!voice_.empty())
        voice_.mixInto(mic);
    mixInto(mic, keypad);
}

}  // namespace tvxsim
