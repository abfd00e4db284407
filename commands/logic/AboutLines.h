// The lines "About ..." writes into the event log, in the order they are
// inserted at the top: three blank lines, the author credit, the maker
// credit, one blank line. The log then reads from the top: a blank line, the
// maker credit, the author credit, three blank lines.
//
// A blank line is a single space. Constexpr data, usable from any thread.
#ifndef TVX_COMMANDS_LOGIC_ABOUTLINES_H
#define TVX_COMMANDS_LOGIC_ABOUTLINES_H

#include <array>
#include <string_view>

#include "commands/logic/ToolVersion.h"

namespace tvx {

inline constexpr std::string_view kAboutBlankLine = " ";
inline constexpr std::string_view kAboutAuthorLine = "Parlino USB Control / Monitor " TVX_TOOL_VERSION;
inline constexpr std::string_view kAboutMakerLine = "Telvora, for the Parlino USB telephony adapter";

// In insertion order; each goes in at index 0.
inline constexpr std::array<std::string_view, 6> kAboutLines = {
    kAboutBlankLine,
    kAboutBlankLine,
    kAboutBlankLine,
    kAboutAuthorLine,
    kAboutMakerLine,
    kAboutBlankLine,
};

}  // namespace tvx

#endif  // TVX_COMMANDS_LOGIC_ABOUTLINES_H
