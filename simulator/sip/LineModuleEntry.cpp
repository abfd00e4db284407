// The SIP line module's entry: the one symbol the module exports.
#include "simulator/sip/ConfiguredLine.h"
#include "simulator/sip/SipLine.h"

#include <new>
#include <type_traits>

extern "C" __attribute__((visibility("default"))) tvxsim::sip::ConfiguredLine *
tvxusb_sip_open_line(const tvxsim::sip::LineConfig &config, const char *passwordPath)
{
    // No exception crosses into the library: a line that cannot be made
    // (its thread refused, memory) is no line.
    try {
        return new tvxsim::sip::SipLine(config, passwordPath != nullptr ? passwordPath : "");
    } catch (...) {
        return nullptr;
    }
}

// The entry's type is the one the library calls it by.
static_assert(std::is_same_v<decltype(&tvxusb_sip_open_line), tvxsim::sip::OpenLineEntry>);
