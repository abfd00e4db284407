// The LED mask that the LEDs test dialog sends through ScTestLEDs. Pure
// logic, no Qt; callable from any thread.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace tvx {

inline constexpr int kLedIdEnableTest = 1077;  // "Enable Test"
inline constexpr int kLedIdFirstLamp = 1100;   // "LED (Power)"; lamps are 1100..1106
inline constexpr std::size_t kLedLampCount = 7;

// Mask sent once more after the dialog has closed: every lamp released.
inline constexpr std::uint8_t kLedMaskReleased = 0x00;

struct LedBox {
    int id;
    std::uint8_t bit;  // the box's bit in the mask
};

// The dialog's eight check boxes in template order, with their bits.
inline constexpr std::array<LedBox, 1 + kLedLampCount> kLedBoxes{{
    {kLedIdEnableTest, 0x80},
    {1100, 0x01},
    {1101, 0x02},
    {1102, 0x04},
    {1103, 0x08},
    {1104, 0x10},
    {1105, 0x20},
    {1106, 0x40},
}};

// Mask from the check states: bit 7 for "Enable Test", bit i for lamps[i],
// lamps[i] being box 1100 + i. Rebuilt from all boxes at every click.
constexpr std::uint8_t LedMask(bool enableTest, const std::array<bool, kLedLampCount> &lamps) noexcept
{
    std::uint8_t mask = enableTest ? kLedBoxes[0].bit : 0;
    for (std::size_t i = 0; i < kLedLampCount; ++i) {
        if (lamps[i])
            mask = static_cast<std::uint8_t>(mask | kLedBoxes[i + 1].bit);
    }
    return mask;
}

}  // namespace tvx
