// Register writes of the "CODEC Boost" switch.
//
// On: write 1 to register 129; then ask the device type; write 7 to register
// 130 on device types 10 and 11, else 1. Off: write 0 to registers 129 and 130.
// Each write is ScSetHardwareRegs(block, reg, &value, 1).
//
// MenuDispatcher runs the switch through RunCodecBoost with a sink that talks
// to the library.
#ifndef TVX_COMMANDS_LOGIC_CODECBOOST_H
#define TVX_COMMANDS_LOGIC_CODECBOOST_H

#include <array>
#include <cstdint>

namespace tvx {

inline constexpr int32_t kCodecBoostBlock = 66;  // 0x42
inline constexpr int32_t kCodecBoostReg1 = 129;  // 0x81
inline constexpr int32_t kCodecBoostReg2 = 130;  // 0x82

struct RegisterWrite {
    int32_t block;
    int32_t reg;
    uint8_t value;
    constexpr bool operator==(const RegisterWrite &) const = default;
};

// Value written to register 130 when the boost goes on, by device type. Pure.
constexpr uint8_t CodecBoostSecondValue(int32_t deviceType) { return (deviceType == 10 || deviceType == 11) ? 7 : 1; }

// The two writes, in order, of switching the boost on for a device type. Pure.
constexpr std::array<RegisterWrite, 2> CodecBoostOnWrites(int32_t deviceType)
{
    return {{{kCodecBoostBlock, kCodecBoostReg1, 1},
             {kCodecBoostBlock, kCodecBoostReg2, CodecBoostSecondValue(deviceType)}}};
}

// The two writes, in order, of switching the boost off. Pure.
constexpr std::array<RegisterWrite, 2> CodecBoostOffWrites()
{
    return {{{kCodecBoostBlock, kCodecBoostReg1, 0}, {kCodecBoostBlock, kCodecBoostReg2, 0}}};
}

// What RunCodecBoost needs from the library.
class CodecBoostSink {
public:
    virtual ~CodecBoostSink() = default;
    // Make one write: ScSetHardwareRegs(w.block, w.reg, &w.value, 1), result ignored.
    virtual void Write(const RegisterWrite &w) = 0;
    // The device type: ScGetDevType(0, 0).
    virtual int32_t DeviceType() = 0;
};

// Makes the writes of switching the boost on or off, in order; the device
// type is asked only when switching on, after the first write. UI thread.
void RunCodecBoost(bool on, CodecBoostSink &sink);

}  // namespace tvx

#endif  // TVX_COMMANDS_LOGIC_CODECBOOST_H
