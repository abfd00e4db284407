// The sixteen DTMF keys in their order: the receivers' key indices, the
// telephone-event numbers 0 to 15 of RFC 4733 and the dial codes' keys.
#pragma once

#include <cstdint>
#include <string_view>

namespace tvxsim {

inline constexpr std::string_view kDtmfKeys = "0123456789*#ABCD";

// 0..15 for a key (a to d as A to D), -1 for any other character.
constexpr int32_t DtmfKeyIndex(char key)
{
    if (key >= 'a' && key <= 'd')
        key = static_cast<char>(key - 'a' + 'A');
    const size_t at = kDtmfKeys.find(key);
    return at != std::string_view::npos ? static_cast<int32_t>(at) : -1;
}

// The key of an index; '?' outside 0..15.
constexpr char DtmfKeyChar(int32_t index)
{
    return index >= 0 && index < static_cast<int32_t>(kDtmfKeys.size()) ? kDtmfKeys[static_cast<size_t>(index)] : '?';
}

}  // namespace tvxsim
