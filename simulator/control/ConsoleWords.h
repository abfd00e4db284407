// The console's words are compared without regard to case ("STATE",
// "Listen On"), as the scenario language's are.
#pragma once

#include <algorithm>
#include <cctype>
#include <string_view>

namespace tvxsim {

inline bool SameWord(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace tvxsim
