// Serial-number check and the event-log lines of the ScE2Rom maintenance
// operations. Pure logic, no Qt; callable from any thread.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "device/logic/LibraryRecords.h"

namespace tvx {

inline constexpr std::string_view kInvalidSerialNumberLine = "Invalid serial number";

// A serial number is exactly 22 characters (bytes of the 8-bit text that
// will be sent), whatever they are; nothing is trimmed.
constexpr bool IsValidSerialNumber(std::string_view text) noexcept { return text.size() == TVX_SERIAL_LENGTH; }

// Lines written after an ScE2Rom call: success on result 0, error otherwise.
struct E2RomLines {
    std::int32_t operation;
    std::string_view success;
    std::string_view error;
};

// The four maintenance operations, in operation order.
inline constexpr std::array<E2RomLines, 4> kE2RomOperations{{
    {E2ROM_ERASE, "Device erased.", "Error erasing device."},
    {E2ROM_ERASE_TVX, "Device erased.", "Error erasing device."},
    {E2ROM_PROGRAM_SN, "Serial number programed.", "Error prog. serial number."},
    {E2ROM_REBOOT, "Device ReBooted.", "Error ReBooting device."},
}};

// "ReConnect" makes the reboot call but writes lines of its own.
inline constexpr E2RomLines kReconnectLines{E2ROM_REBOOT, "Device reconnecting ...", "Error reconnecting device."};

// The line for a result of the given lines' operation.
constexpr std::string_view E2RomResultLine(const E2RomLines &lines, std::int32_t result) noexcept
{
    return result == 0 ? lines.success : lines.error;
}

// The line for a result of an operation of kE2RomOperations; empty for an
// operation not in the table.
constexpr std::string_view E2RomResultLine(std::int32_t operation, std::int32_t result) noexcept
{
    for (const E2RomLines &lines : kE2RomOperations) {
        if (lines.operation == operation)
            return E2RomResultLine(lines, result);
    }
    return {};
}

}  // namespace tvx
