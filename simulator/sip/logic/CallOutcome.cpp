#include "simulator/sip/logic/CallOutcome.h"

#include <algorithm>
#include <array>

namespace tvxsim::sip {

namespace {

constexpr size_t kMaxReason = 64;

struct BusyRow {
    uint16_t status;
};
// Busy here and busy everywhere.
constexpr std::array<BusyRow, 2> kBusy = {{{486}, {600}}};

}  // namespace

CallOutcome OutcomeOfResponse(uint16_t status, bool hasSessionDescription)
{
    if (status < 100 || status > 699)
        return CallOutcome::Failed;
    if (status == 180)
        return CallOutcome::Ringing;
    if (status == 183)
        return hasSessionDescription ? CallOutcome::EarlyMedia : CallOutcome::None;
    if (status < 200)
        return CallOutcome::None;
    if (status < 300)
        return CallOutcome::Answered;
    if (std::any_of(kBusy.begin(), kBusy.end(), [&](const BusyRow &r) { return r.status == status; }))
        return CallOutcome::Busy;
    return CallOutcome::Failed;
}

std::string StatusLine(uint16_t status, std::string_view reason)
{
    std::string out = std::to_string(status);
    std::string text;
    for (char c : reason) {
        if (text.size() >= kMaxReason)
            break;
        if (c >= 0x20 && c < 0x7F)
            text.push_back(c);
    }
    if (!text.empty())
        out += " " + text;
    return out;
}

}  // namespace tvxsim::sip
