#include "device/logic/CallerIdDecoder.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

namespace tvx {
namespace {

// What the walk does with an item, chosen by the item's type byte.
enum class ItemAction : uint8_t {
    Skip,             // unknown type: step over the value
    DateTime,         // date and time "MMDDhhmm"
    Number,           // calling or called line identity
    SdmfCallerId,     // SDMF caller ID: date, then number; inside MDMF: reason for absence
    MessageWaiting,   // SDMF message waiting: "B" means on
    Name,             // calling party name
    NameAbsence,      // reason for absence of the calling party name
    VisualIndicator,  // MDMF visual indicator: non-zero means on
    MessageHeader,    // MDMF message type: its parameters follow the length byte
    MessageWithDate,  // message type carrying date and number like SDMF caller ID
};

struct ItemRow {
    uint8_t type;
    ItemAction action;
};

constexpr ItemRow kItemTypes[] = {
    {0x01, ItemAction::DateTime},
    {0x02, ItemAction::Number},
    {0x03, ItemAction::Number},
    {0x04, ItemAction::SdmfCallerId},
    {0x06, ItemAction::MessageWaiting},
    {0x07, ItemAction::Name},
    {0x08, ItemAction::NameAbsence},
    {0x0B, ItemAction::VisualIndicator},
    {0x80, ItemAction::MessageHeader},
    {0x82, ItemAction::MessageHeader},
    {0x84, ItemAction::MessageWithDate},
};

// One lookup per item instead of a search through the rows.
constexpr std::array<ItemAction, 256> kActionByType = [] {
    std::array<ItemAction, 256> table{};
    table.fill(ItemAction::Skip);
    for (const ItemRow &row : kItemTypes) {
        table[row.type] = row.action;
    }
    return table;
}();

// A one-byte reason for absence and the text it stands for.
struct AbsenceRow {
    uint8_t code;
    std::string_view text;
};

constexpr AbsenceRow kAbsenceReasons[] = {
    {'O', "Out Of Area"},
    {'P', "Blocked"},
};

// A date value is "MMDDhhmm"; the text is "DD/MM hh:mm". Each output
// character is either a value byte (source >= 0) or a literal separator.
struct DateChar {
    int8_t source;
    char literal;
};

constexpr DateChar kDateLayout[] = {
    {2, 0},
    {3, 0},
    {-1, '/'},
    {0, 0},
    {1, 0},
    {-1, ' '},
    {4, 0},
    {5, 0},
    {-1, ':'},
    {6, 0},
    {7, 0},
};
constexpr size_t kDateValueLength = 8;

constexpr uint8_t kMessageWaitingOn = 'B';

constexpr std::string_view kAt = " at ";
constexpr std::string_view kSeparator = " - ";
constexpr std::string_view kIndicatorOn = "VM On";
constexpr std::string_view kIndicatorOff = "VM Off";
constexpr std::string_view kUnknown = "Unknown";

// A zero-terminated text of at most N - 1 characters. Everything put in is
// cut to fit; a 0 byte put in ends the text there.
template <size_t N> class FixedText {
public:
    static_assert(N >= 1);

    bool Empty() const { return length_ == 0; }
    std::string_view View() const { return {bytes_, length_}; }
    const char *CStr() const { return bytes_; }
    size_t Length() const { return length_; }

    void Clear()
    {
        length_ = 0;
        bytes_[0] = '\0';
    }

    void Assign(const void *src, size_t count)
    {
        Clear();
        Append(src, count);
    }

    void Append(std::string_view text) { Append(text.data(), text.size()); }

    void Append(const void *src, size_t count)
    {
        count = std::min(count, N - 1 - length_);
        if (count == 0) {
            return;
        }
        if (const void *zero = std::memchr(src, 0, count)) {
            count = static_cast<size_t>(static_cast<const char *>(zero) - static_cast<const char *>(src));
        }
        std::memcpy(bytes_ + length_, src, count);
        length_ += count;
        bytes_[length_] = '\0';
    }

private:
    char bytes_[N] = {};
    size_t length_ = 0;
};

using FieldText = FixedText<kCallerIdFieldSize>;
using LineText = FixedText<kCallerIdLineSize>;

// The value of one item as its handling sees it. `first` is the byte read as
// the value's first byte: 0 for a value cut at the end of the payload, the
// byte after the length byte otherwise (the next item's type byte when the
// declared length is 0). Bytes past the first are read from `bytes`.
struct ItemValue {
    const uint8_t *bytes;
    size_t length;
    uint8_t first;

    uint8_t At(size_t index) const { return index == 0 ? first : bytes[index]; }

    ItemValue Tail(size_t offset) const { return {bytes + offset, length - offset, bytes[offset]}; }
};

struct DecodeState {
    FieldText name;
    FieldText number;
    FieldText date;
    bool dateFlag = false;
    bool indicatorFlag = false;
    bool indicatorOn = false;
    bool messageFlag = false;
};

// The text becomes the value's bytes, exactly its length of them.
void AssignValue(FieldText &text, const ItemValue &value)
{
    if (value.length == 0 || value.first == 0) {
        text.Clear();
        return;
    }
    text.Assign(value.bytes, value.length);
}

// A one-byte value is a reason for absence (an unknown reason leaves the
// text as it was); any other length is taken as the text itself.
void ApplyAbsenceRule(FieldText &text, const ItemValue &value)
{
    if (value.length != 1) {
        AssignValue(text, value);
        return;
    }
    for (const AbsenceRow &row : kAbsenceReasons) {
        if (value.first == row.code) {
            text.Assign(row.text.data(), row.text.size());
            return;
        }
    }
}

// "MMDDhhmm" to "DD/MM hh:mm", characters copied as they are.
void ReformatDate(FieldText &date, const ItemValue &value)
{
    char text[std::size(kDateLayout)];
    for (size_t i = 0; i < std::size(kDateLayout); ++i) {
        const DateChar &c = kDateLayout[i];
        text[i] = c.source >= 0 ? static_cast<char>(value.At(static_cast<size_t>(c.source))) : c.literal;
    }
    date.Assign(text, sizeof text);
}

// Date in the first 8 bytes, number (by the absence rule) in the rest.
void ApplyDateAndNumber(DecodeState &state, const ItemValue &value)
{
    if (value.length <= kDateValueLength) {
        return;
    }
    ReformatDate(state.date, value);
    ApplyAbsenceRule(state.number, value.Tail(kDateValueLength));
    state.dateFlag = true;
}

// Handles one item; returns how many value bytes the walk steps over.
size_t HandleItem(DecodeState &state, uint8_t type, const ItemValue &value)
{
    switch (kActionByType[type]) {
    case ItemAction::Skip:
        break;
    case ItemAction::DateTime:
        if (value.length == kDateValueLength) {
            ReformatDate(state.date, value);
        }
        state.dateFlag = true;
        break;
    case ItemAction::Number:
        AssignValue(state.number, value);
        break;
    case ItemAction::SdmfCallerId:
        if (state.messageFlag) {
            ApplyAbsenceRule(state.number, value);
        } else {
            ApplyDateAndNumber(state, value);
        }
        break;
    case ItemAction::MessageWaiting:
        state.indicatorFlag = true;
        state.indicatorOn = value.first == kMessageWaitingOn;
        break;
    case ItemAction::Name:
        AssignValue(state.name, value);
        break;
    case ItemAction::NameAbsence:
        ApplyAbsenceRule(state.name, value);
        break;
    case ItemAction::VisualIndicator:
        state.indicatorFlag = true;
        state.indicatorOn = value.first != 0;
        break;
    case ItemAction::MessageHeader:
        state.messageFlag = true;
        return 0;  // the message's parameters follow its length byte
    case ItemAction::MessageWithDate:
        state.messageFlag = true;
        ApplyDateAndNumber(state, value);
        break;
    }
    return value.length;
}

bool IsAbsenceText(std::string_view text)
{
    return std::any_of(std::begin(kAbsenceReasons), std::end(kAbsenceReasons), [text](const AbsenceRow &row) {
        return row.text == text;
    });
}

void AssembleLine(const DecodeState &state, LineText &line)
{
    if (!state.name.Empty()) {
        if (IsAbsenceText(state.name.View())) {
            line.Append("(");
            line.Append(state.name.View());
            line.Append(")");
        } else {
            line.Append(state.name.View());
        }
    }
    if (!state.number.Empty()) {
        if (!line.Empty()) {
            line.Append(kAt);
        }
        line.Append(state.number.View());
    }
    if (state.dateFlag) {
        line.Append(kSeparator);
        line.Append(state.date.View());
    }
    if (state.indicatorFlag) {
        line.Append(kSeparator);
        line.Append(state.indicatorOn ? kIndicatorOn : kIndicatorOff);
    }
    if (line.Empty()) {
        line.Append(kUnknown);
    }
}

}  // namespace

void DecodeCallerId(const void *payload, int32_t count, char *output)
{
    if (output == nullptr) {
        return;
    }
    const auto *bytes = static_cast<const uint8_t *>(payload);
    const size_t size = (bytes != nullptr && count > 0) ? static_cast<size_t>(count) : 0;

    // The walk reads the payload in place. A value whose declared length runs
    // past the end is cut to the bytes left and its first byte reads as 0.
    // Nothing after such an item is read: a cut value reaches the end of the
    // payload, except for a message header (its length is taken as 0), whose
    // next type byte is that zeroed first byte, so the walk stops there too.
    DecodeState state;
    size_t pos = 0;
    while (pos < size) {
        const uint8_t type = bytes[pos];
        if (type == 0) {
            break;
        }
        const size_t valueStart = pos + 2;
        if (valueStart > size) {
            // The payload ends right after the type byte (a trailing checksum
            // byte, say): an item whose value is cut to nothing.
            HandleItem(state, type, ItemValue{bytes + size, 0, 0});
            break;
        }
        const size_t declared = bytes[pos + 1];
        const size_t left = size - valueStart;
        if (declared > left) {
            HandleItem(state, type, ItemValue{bytes + valueStart, left, 0});
            break;
        }
        // With a declared length of 0 the first byte looked at is the next
        // item's type byte. When there is none (a zero-length item at the very
        // end) it reads as 0, which leaves an indicator off: no byte was sent
        // that could turn it on.
        const uint8_t first = valueStart < size ? bytes[valueStart] : 0;
        pos = valueStart + HandleItem(state, type, ItemValue{bytes + valueStart, declared, first});
    }

    LineText line;
    AssembleLine(state, line);
    std::memcpy(output, line.CStr(), line.Length() + 1);
}

}  // namespace tvx
