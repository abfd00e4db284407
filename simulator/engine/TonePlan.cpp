#include "simulator/engine/TonePlan.h"

#include <charconv>
#include <cstdio>

namespace tvxsim {
namespace {

constexpr ToneSpec Tone(int32_t f1, int32_t f2, float level, std::array<int32_t, 4> cadence)
{
    ToneSpec t;
    t.f1 = f1;
    t.f2 = f2;
    t.level1 = level;
    t.level2 = level;
    t.cadenceMs = cadence;
    t.repeat = true;
    return t;
}

constexpr std::array<int32_t, 4> kContinuous = {1000, 0, 0, 0};

// ITU-T E.180 supplement values. "Proceeding" is this adapter's own: the
// dial-tone frequencies, 0.3 s every 3 s.
constexpr std::array kPlans = std::to_array<TonePlan>({
    {1,
     "North America",
     {{
         Tone(350, 440, -13.0f, kContinuous),
         Tone(440, 480, -19.0f, {2000, 4000, 0, 0}),
         Tone(480, 620, -24.0f, {500, 500, 0, 0}),
         Tone(480, 620, -24.0f, {250, 250, 0, 0}),
         Tone(350, 440, -13.0f, {300, 2700, 0, 0}),
     }},
     20,
     {2000, 4000, 0, 0},
     300},
    {44,
     "United Kingdom",
     {{
         Tone(350, 440, -13.0f, kContinuous),
         Tone(400, 450, -19.0f, {400, 200, 400, 2000}),
         Tone(400, 0, -19.0f, {375, 375, 0, 0}),
         Tone(400, 0, -19.0f, {400, 350, 225, 525}),
         Tone(350, 440, -13.0f, {300, 2700, 0, 0}),
     }},
     25,
     {400, 200, 400, 2000},
     300},
    {0,
     "CEPT",
     {{
         Tone(425, 0, -13.0f, kContinuous),
         Tone(425, 0, -19.0f, {1000, 4000, 0, 0}),
         Tone(425, 0, -19.0f, {500, 500, 0, 0}),
         Tone(425, 0, -19.0f, {250, 250, 0, 0}),
         Tone(425, 0, -13.0f, {300, 2700, 0, 0}),
     }},
     25,
     {1000, 4000, 0, 0},
     1200},
});

}  // namespace

std::string DescribeTone(const ToneSpec &tone)
{
    std::string text = std::to_string(tone.f1);
    if (tone.f2 != 0)
        text += " + " + std::to_string(tone.f2);
    text += " Hz";
    if (tone.cadenceMs[1] == 0)
        return text + ", continuous";
    for (size_t i = 0; i < tone.cadenceMs.size() && tone.cadenceMs[i] != 0; ++i) {
        char part[32];
        std::snprintf(part,
                      sizeof part,
                      ", %.*f s %s",
                      tone.cadenceMs[i] % 100 == 0 ? 1 : 3,
                      tone.cadenceMs[i] / 1000.0,
                      i % 2 == 0 ? "on" : "off");
        text += part;
    }
    return text;
}

const TonePlan &TonePlanFor(int32_t countryCode)
{
    for (const TonePlan &p : kPlans)
        if (p.country == countryCode)
            return p;
    return kPlans.back();
}

const TonePlan &TonePlanForText(std::string_view countryText)
{
    int32_t code = 0;
    const auto [end, ec] = std::from_chars(countryText.data(), countryText.data() + countryText.size(), code);
    if (ec != std::errc() || end != countryText.data() + countryText.size() || code <= 0)
        return kPlans.back();
    return TonePlanFor(code);
}

}  // namespace tvxsim
