// The value of one hexadecimal digit, for every reader of hexadecimal text
// (the melody files of the tool, the payloads of the simulator's scenarios).
#pragma once

namespace tvx {

// 0 to 15 for 0-9, a-f and A-F; -1 for any other byte.
constexpr int HexDigit(unsigned char c) noexcept
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

}  // namespace tvx
