// The seventeen adjustable parameters: their table, the dBm scale of the two
// detection thresholds, the value text, and the editor's state.
//
// ParameterPanel (panel/) keeps its list and trackbar in step with this state
// and makes the device calls it returns; nothing here calls the library.
#ifndef TVX_PANEL_LOGIC_PARAMETERTABLE_H
#define TVX_PANEL_LOGIC_PARAMETERTABLE_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "device/logic/CommandCodes.h"

namespace tvx {

inline constexpr int kParameterCount = 17;

// Size of the text buffer the caller passes to the formatters.
inline constexpr std::size_t kValueTextSize = 256;

// Selectors of ScSetThreshold / ScGetThreshold.
inline constexpr int32_t kThresholdTones = 0;
inline constexpr int32_t kThresholdSilence = 1;
inline constexpr int32_t kThresholdVoiceBandLow = 16;
inline constexpr int32_t kThresholdVoiceBandHigh = 17;

// Top of the detection thresholds' scale; larger values count as this.
inline constexpr uint32_t kThresholdMax = 32766;

// Trackbar notifications that change a parameter: drag end and drag move.
inline constexpr int kScrollThumbPosition = 4;
inline constexpr int kScrollThumbTrack = 5;
constexpr bool IsDragNotification(int code) { return code == kScrollThumbPosition || code == kScrollThumbTrack; }

enum class ParameterSend : uint8_t {
    DoCommand,     // ScDoCommand(code, v, kDoCommandArg3, kDoCommandArg4)
    SetThreshold,  // ScSetThreshold(selector, v)
};

// A row's text is the item at its index in list 1079 (the main dialog's template).
struct ParameterRow {
    uint32_t min;  // trackbar range, both inclusive
    uint32_t max;
    std::optional<uint32_t> defaultValue;  // written at every device open
    uint32_t startValue;                   // table content at construction
    ParameterSend send;
    std::optional<Command> command;       // DoCommand rows
    int32_t selector;                     // SetThreshold rows (-1 otherwise)
    std::optional<int32_t> readSelector;  // read with ScGetThreshold on selection
    bool dbmWhileDragging;                // value text in dBm during a drag
};

namespace parameter_table_detail {
constexpr ParameterRow Cmd(uint32_t min, uint32_t max, std::optional<uint32_t> def, uint32_t start, Command c)
{
    return {min, max, def, def ? *def : start, ParameterSend::DoCommand, c, -1, std::nullopt, false};
}
constexpr ParameterRow Thr(uint32_t min, uint32_t max, std::optional<uint32_t> def, uint32_t start, int32_t selector,
                           bool readAndDbm)
{
    return {min,
            max,
            def,
            def ? *def : start,
            ParameterSend::SetThreshold,
            std::nullopt,
            selector,
            readAndDbm ? std::optional<int32_t>(selector) : std::nullopt,
            readAndDbm};
}
}  // namespace parameter_table_detail

// Rows in list order. Rows without a default (9, 10, 14, 15, 16) start at 0,
// the bottom of their range: 9 and 10 are read from the device when selected,
// and the light DTMF settings are 0 until the user drags them. "Post Hook
// Flash Guard Time" has its own range 1 to 255, like its neighbours, so it
// never sends a value from another parameter's range.
inline constexpr std::array<ParameterRow, kParameterCount> kParameterRows = [] {
    using parameter_table_detail::Cmd;
    using parameter_table_detail::Thr;
    constexpr std::nullopt_t none = std::nullopt;
    return std::array<ParameterRow, kParameterCount>{{
        Cmd(1, 255, 30, 0, Command::RingerOffPeriod),
        Cmd(1, 255, 20, 0, Command::RingerOnPeriod),
        Cmd(2, 255, 4, 0, Command::WaitForDialToneTime),
        Cmd(1, 255, 30, 0, Command::WaitForAnswerTime),
        Cmd(50, 255, 95, 0, Command::DtmfDialTime),
        Cmd(1, 255, 2, 0, Command::PauseTime),
        Cmd(1, 255, 70, 0, Command::HookFlashTime),
        Cmd(1, 255, 100, 0, Command::PreHookFlashGuardTime),
        Cmd(1, 255, 100, 0, Command::PostHookFlashGuardTime),
        Thr(0, kThresholdMax, none, 0, kThresholdTones, true),
        Thr(0, kThresholdMax, none, 0, kThresholdSilence, true),
        Cmd(1, 127, 63, 0, Command::VoiceDetectionThreshold),
        Thr(1, 255, 85, 0, kThresholdVoiceBandLow, false),
        Thr(1, 255, 112, 0, kThresholdVoiceBandHigh, false),
        Cmd(0, 30, none, 0, Command::LiteDtmfDaaOnHook),
        Cmd(0, 30, none, 0, Command::LiteDtmfDaaOffHook),
        Cmd(0, 30, none, 0, Command::LiteDtmfCodec),
    }};
}();

namespace parameter_table_detail {
constexpr bool RowsConsistent()
{
    for (const ParameterRow &r : kParameterRows) {
        if (r.min > r.max || r.startValue < r.min || r.startValue > r.max)
            return false;
        if (r.defaultValue && (*r.defaultValue < r.min || *r.defaultValue > r.max))
            return false;
        if ((r.send == ParameterSend::DoCommand) != r.command.has_value())
            return false;
        if (r.command && CommandInfo(*r.command).param != ParamRule::Value)
            return false;
    }
    return true;
}
}  // namespace parameter_table_detail
static_assert(parameter_table_detail::RowsConsistent(), "parameter rows are well formed");

// Level in dBm of a detection threshold: 20 * log10((v + 1) * k) with
// k = 2.501861816762835e-5; 0 gives -92.03, 32766 gives -1.73. Meant for
// v <= kThresholdMax; larger values are computed without overflow. Pure.
double ThresholdToDbm(uint32_t v);

// v limited to kThresholdMax. Pure.
constexpr uint32_t LimitThreshold(uint32_t v) { return v > kThresholdMax ? kThresholdMax : v; }

// Writes "%d" of value (as a signed 32-bit number) into text, at most size
// bytes with the terminator; writes nothing if text is null or size is 0.
void FormatPlainValue(char *text, std::size_t size, uint32_t value);

// Writes "%0.2f dBm" of ThresholdToDbm(LimitThreshold(value)) into text, at
// most size bytes with the terminator; nothing if text is null or size is 0.
void FormatDbmValue(char *text, std::size_t size, uint32_t value);

// What selecting a parameter shows and reads.
struct ParameterSelection {
    int index;     // 0..16
    uint32_t min;  // trackbar range to set
    uint32_t max;
    std::optional<int32_t> readSelector;  // if set: ScGetThreshold(*readSelector, ValueSlot(index))
};

// One call that sends a parameter value.
struct ParameterSendCall {
    ParameterSend kind;
    int32_t target;  // command code (DoCommand) or selector (SetThreshold)
    uint32_t value;
    constexpr bool operator==(const ParameterSendCall &) const = default;
};

// What a drag changed.
struct ParameterDrag {
    int index;               // the selected parameter
    uint32_t stored;         // the value now in the table
    ParameterSendCall call;  // to make after showing the text
};

// The call that sends value v for row index (0..16), or none. Pure.
std::optional<ParameterSendCall> ParameterSendFor(int index, uint32_t v);

// The editor's values and selected parameter. UI thread only.
class ParameterState {
public:
    // Every entry at its row's startValue; no parameter selected.
    ParameterState();

    // Writes the default of every row that has one (0..8, 11..13); other
    // entries and the selection stay as they are. Sends nothing.
    void ResetDefaults();

    // Makes index the selected parameter and returns its range and the
    // threshold to read. An index outside 0..16 (e.g. -1, no list selection)
    // clears the selection and returns none.
    std::optional<ParameterSelection> Select(int index);

    // The selected index, or none before the first valid selection.
    std::optional<int> Selected() const { return selected_; }

    // The table entry of index, or 0 for an index outside 0..16.
    uint32_t Value(int index) const;

    // The entry's storage, for ScGetThreshold to write into; nullptr for an
    // index outside 0..16. Valid as long as this object.
    uint32_t *ValueSlot(int index);

    // Handles a drag move or drag end at position: stores the position into
    // the selected entry, writes the value text ("%d", or for the two
    // detection thresholds "%0.2f dBm" of the position limited to 32766) into
    // text (at most size bytes) and returns the call to make (the thresholds
    // with the limited value). With no selected parameter it changes nothing,
    // writes no text and returns none.
    std::optional<ParameterDrag> OnDrag(uint32_t position, char *text, std::size_t size);

private:
    std::array<uint32_t, kParameterCount> values_{};
    std::optional<int> selected_;
};

}  // namespace tvx

#endif  // TVX_PANEL_LOGIC_PARAMETERTABLE_H
