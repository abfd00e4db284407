// Starting the configured SIP line through its module (libtvxusb-sip.so),
// loaded on the first line and kept for the process: beside the library's
// own file, else where the dynamic linker looks.
#pragma once

#include <memory>
#include <string>

#include "simulator/sip/ConfiguredLine.h"

namespace tvxsim {

// The line started, or null with `error` saying why ("the SIP line's module
// cannot be loaded: ..."). Any thread.
std::unique_ptr<sip::ConfiguredLine> OpenConfiguredLine(const sip::LineConfig &config, const std::string &passwordPath,
                                                        std::string &error);

}  // namespace tvxsim
