// The tool's texts are 8-bit (Latin-1), as the library's are.
#pragma once

#include <QString>

#include <string_view>

namespace tvx {

inline QString Latin1(std::string_view text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace tvx
