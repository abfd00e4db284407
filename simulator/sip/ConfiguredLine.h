// The SIP line as the session holds it: the exchange's door (FarLine) and
// the line's status. The line and the libraries it runs on (libre, the
// keyring's) live in a module of their own, loaded only when a line is
// configured: linked into the library, they would cost every start of the
// tool, and the simulated exchange, the default, needs none of them.
#pragma once

#include "simulator/engine/FarLine.h"
#include "simulator/sip/LineStatus.h"
#include "simulator/sip/logic/LineConfig.h"

namespace tvxsim::sip {

class ConfiguredLine : public FarLine {
public:
    // Any thread.
    virtual LineStatus Status() const = 0;
};

// The module's file, found beside the library, and its one entry: a line
// started on `config` (its own thread listens and registers), or null when
// it cannot start. The caller owns the line and destroys it only once the
// engine no longer calls it. The module is built with the library: the
// entry passes C++ types across.
inline constexpr char kLineModuleFile[] = "libtvxusb-sip.so";
inline constexpr char kLineModuleEntry[] = "tvxusb_sip_open_line";
using OpenLineEntry = ConfiguredLine *(*)(const LineConfig &config, const char *passwordPath);

}  // namespace tvxsim::sip
