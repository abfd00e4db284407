// Finding and reading the line's configuration: TVXUSB_LINE, else
// $XDG_CONFIG_HOME/tvxusb/line.conf, else ~/.config/tvxusb/line.conf. No
// file is no SIP line (unless TVXUSB_LINE names one); a bad file or key,
// or a password file that breaks its rule, is one line for stderr and the
// line stays on the simulated exchange.
#pragma once

#include <string>

#include "simulator/sip/logic/LineConfig.h"

namespace tvxsim::sip {

struct LineLoad {
    enum class Outcome : uint8_t {
        None,    // no configuration: the simulated exchange alone
        Loaded,  // `config` is the line's
        Error,   // `error` is the line for stderr
    };
    Outcome outcome = Outcome::None;
    LineConfig config;
    std::string path;          // the configuration file
    std::string passwordPath;  // the password file's full path; empty when none is named
    std::string error;         // "<file>:<line>: <key>: <reason>"
};

// From the environment.
LineLoad LoadLineConfig();
// From this place.
LineLoad LoadLineConfigAt(const ConfigPlace &place);

}  // namespace tvxsim::sip
