#include "panel/logic/DialString.h"

namespace tvx {

namespace {

// Row of each 7-bit character in kDialCharRows, or -1 for none.
constexpr std::array<int8_t, 128> kRowOfChar = [] {
    std::array<int8_t, 128> index{};
    for (int8_t &i : index)
        i = -1;
    for (std::size_t r = 0; r < kDialCharRows.size(); ++r)
        index[static_cast<unsigned char>(kDialCharRows[r].ch)] = static_cast<int8_t>(r);
    return index;
}();

// Each listed character appears once and is 7-bit.
static_assert([] {
    int listed = 0;
    for (int8_t r : kRowOfChar)
        listed += r >= 0 ? 1 : 0;
    return listed == static_cast<int>(kDialCharRows.size());
}());

class RecordingSink final : public DialSink {
public:
    explicit RecordingSink(std::vector<DialStep> &steps) : steps_(steps) {}
    void Send(int32_t dialCode, int32_t arg4) override { steps_.push_back({DialStep::Kind::Send, dialCode, arg4}); }
    void Wait(int milliseconds) override { steps_.push_back({DialStep::Kind::Wait, milliseconds, 0}); }

private:
    std::vector<DialStep> &steps_;
};

}  // namespace

DialAction DialActionFor(unsigned char c, bool pulse)
{
    if (c >= kRowOfChar.size() || kRowOfChar[c] < 0)
        return {};
    const DialCharRow &row = kDialCharRows[static_cast<std::size_t>(kRowOfChar[c])];
    return pulse ? row.pulse : row.tone;
}

void RunDialString(std::string_view text, bool pulse, DialSink &sink)
{
    for (char ch : text) {
        const DialAction a = DialActionFor(static_cast<unsigned char>(ch), pulse);
        switch (a.op) {
        case DialOp::None:
            break;
        case DialOp::Send:
            sink.Send(a.code, kDoCommandArg4);
            break;
        case DialOp::SendWait:
            sink.Send(a.code, kDialWaitArg4);
            break;
        case DialOp::Pause:
            sink.Wait(kDialPauseMs);
            break;
        case DialOp::ToPulse:
            pulse = true;
            break;
        case DialOp::ToTone:
            pulse = false;
            break;
        }
    }
}

std::vector<DialStep> InterpretDialString(std::string_view text, bool pulse)
{
    std::vector<DialStep> steps;
    RecordingSink sink(steps);
    RunDialString(text, pulse, sink);
    return steps;
}

}  // namespace tvx
