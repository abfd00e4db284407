#include "panel/logic/ParameterTable.h"

#include <cmath>
#include <cstdio>

namespace tvx {

namespace {

constexpr double kDbmScale = 2.501861816762835e-5;

bool ValidIndex(int index) { return index >= 0 && index < kParameterCount; }

const ParameterRow &Row(int index) { return kParameterRows[static_cast<std::size_t>(index)]; }

}  // namespace

double ThresholdToDbm(uint32_t v)
{
    // v + 1 in double: no wrap-around at the top of the 32-bit range.
    return 20.0 * std::log10((static_cast<double>(v) + 1.0) * kDbmScale);
}

void FormatPlainValue(char *text, std::size_t size, uint32_t value)
{
    if (text == nullptr || size == 0)
        return;
    std::snprintf(text, size, "%d", static_cast<int>(static_cast<int32_t>(value)));
}

void FormatDbmValue(char *text, std::size_t size, uint32_t value)
{
    if (text == nullptr || size == 0)
        return;
    std::snprintf(text, size, "%0.2f dBm", ThresholdToDbm(LimitThreshold(value)));
}

std::optional<ParameterSendCall> ParameterSendFor(int index, uint32_t v)
{
    if (!ValidIndex(index))
        return std::nullopt;
    const ParameterRow &row = Row(index);
    if (row.send == ParameterSend::DoCommand)
        return ParameterSendCall{row.send, CommandCode(*row.command), v};
    return ParameterSendCall{row.send, row.selector, v};
}

ParameterState::ParameterState()
{
    for (int i = 0; i < kParameterCount; ++i)
        values_[static_cast<std::size_t>(i)] = Row(i).startValue;
}

void ParameterState::ResetDefaults()
{
    for (int i = 0; i < kParameterCount; ++i)
        if (Row(i).defaultValue)
            values_[static_cast<std::size_t>(i)] = *Row(i).defaultValue;
}

std::optional<ParameterSelection> ParameterState::Select(int index)
{
    if (!ValidIndex(index)) {
        selected_.reset();
        return std::nullopt;
    }
    selected_ = index;
    const ParameterRow &row = Row(index);
    return ParameterSelection{index, row.min, row.max, row.readSelector};
}

uint32_t ParameterState::Value(int index) const
{
    return ValidIndex(index) ? values_[static_cast<std::size_t>(index)] : 0;
}

uint32_t *ParameterState::ValueSlot(int index)
{
    return ValidIndex(index) ? &values_[static_cast<std::size_t>(index)] : nullptr;
}

std::optional<ParameterDrag> ParameterState::OnDrag(uint32_t position, char *text, std::size_t size)
{
    if (!selected_)
        return std::nullopt;
    const int index = *selected_;
    const ParameterRow &row = Row(index);
    // The table takes the position as it comes; only the two detection
    // thresholds are shown and sent limited to the top of their scale.
    values_[static_cast<std::size_t>(index)] = position;
    const uint32_t sent = row.dbmWhileDragging ? LimitThreshold(position) : position;
    if (row.dbmWhileDragging)
        FormatDbmValue(text, size, sent);
    else
        FormatPlainValue(text, size, sent);
    return ParameterDrag{index, position, *ParameterSendFor(index, sent)};
}

}  // namespace tvx
