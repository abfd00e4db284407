// The caller-ID generator's record as the tests expect it, laid out by hand
// at the record's byte offsets; and the user actions and control states
// that the cases of its logic and of its dialog are written in.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

namespace tvx::test {

using CidBytes = std::array<std::uint8_t, 116>;

// name and number at most 49 characters, dateTime at most 8.
struct ExpectedCid {
    std::uint8_t msgType = 0;
    std::string name = "Ivor Kell";
    std::string number = "7964710";
    std::string dateTime = "04292230";
    std::uint8_t indicatorLit = 0x00;
    std::uint8_t sendFlags = 0x40;
    std::uint8_t callFlags = 0x00;
    std::uint16_t level = 16000;

    CidBytes Bytes() const
    {
        CidBytes b{};
        b[0] = msgType;
        std::memcpy(&b[1], name.data(), name.size());
        b[51] = static_cast<std::uint8_t>(name.size());
        std::memcpy(&b[52], number.data(), number.size());
        b[102] = static_cast<std::uint8_t>(number.size());
        std::memcpy(&b[103], dateTime.data(), dateTime.size());
        b[111] = indicatorLit;
        b[112] = sendFlags;
        b[113] = callFlags;
        b[114] = static_cast<std::uint8_t>(level & 0xFF);
        b[115] = static_cast<std::uint8_t>(level >> 8);
        return b;
    }

    // As the recording stand-in writes record bytes: upper-case hex, no spaces.
    std::string Hex() const
    {
        std::string out;
        char two[3];
        for (std::uint8_t byte : Bytes()) {
            std::snprintf(two, sizeof two, "%02X", byte);
            out += two;
        }
        return out;
    }
};

// One user action on the generator: an item of the message-type list, a
// click on a box, a text in an edit, or the signal level (set as a value
// for the logic, by a key on the trackbar for the dialog).
struct CidAction {
    enum Kind {
        Select,
        Click,
        Name,
        Number,
        Date,
        Level
    } kind;
    int value = 0;  // item index, box id, level or key
    std::string text{};
};
inline CidAction Select(int index) { return {CidAction::Select, index}; }
inline CidAction Click(int id) { return {CidAction::Click, id}; }
inline CidAction Name(std::string text) { return {CidAction::Name, 0, std::move(text)}; }
inline CidAction Number(std::string text) { return {CidAction::Number, 0, std::move(text)}; }
inline CidAction Date(std::string text) { return {CidAction::Date, 0, std::move(text)}; }
inline CidAction Level(int level) { return {CidAction::Level, level}; }
inline CidAction LevelKey(int key) { return {CidAction::Level, key}; }

// What a control shows; checked counts for check boxes only.
struct CidStateCheck {
    int id;
    bool checked;
    bool enabled;
    bool visible;
};

}  // namespace tvx::test
