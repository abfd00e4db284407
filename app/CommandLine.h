// The tool's command-line text: the arguments after the program's name,
// joined by single spaces, as the process received them. Pure: no Qt.
#pragma once

#include <string>

namespace tvx {

// "" when there are no arguments. Null entries are skipped.
std::string CommandLineText(int argc, const char *const *argv);

}  // namespace tvx
