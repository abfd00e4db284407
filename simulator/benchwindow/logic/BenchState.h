// What the bench window knows of the adapter: the latest value of each state
// line, and what each reads as. Pure logic, no Qt.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "simulator/benchwindow/logic/BenchTables.h"

namespace tvxsim::bench {

// The device mode's name for its command code ("" for a code not in the table).
std::string_view ModeName(int code);

// The auxiliary audio content's name for its command code ("" when unknown).
std::string_view AuxName(int code);

// What a person reads for a word of the call or audio state ("" when unknown).
std::string_view WordText(StateItem item, std::string_view word);

// What a person reads for the scenario line's value, and whether it says
// that the scenario file went wrong (refused, or lines of it skipped).
struct ScenarioText {
    std::string text;
    bool wrong = false;
};
ScenarioText ScenarioTextOf(std::string_view value);

class BenchState {
public:
    // Stores a state line's value. Returns the item it changed, or nothing
    // when the name is unknown or the value is the one already held.
    std::optional<StateItem> Apply(std::string_view name, std::string_view value);

    // Forgets everything: no adapter, nothing known.
    void Clear();

    // Whether the item has been reported since the last Clear().
    bool Known(StateItem item) const { return known_[Index(item)]; }
    // The value as sent ("" when not known).
    const std::string &Raw(StateItem item) const { return raw_[Index(item)]; }

    // True for "on" and "offhook"; false for anything else.
    bool Flag(StateItem item) const;
    // A Millis or Number item; nothing when unknown or malformed.
    std::optional<long long> Number(StateItem item) const;
    // The LED mask; nothing when unknown or not "0xNN".
    std::optional<unsigned> Leds() const;
    // A level in dBm0; nothing when unknown or malformed.
    std::optional<double> Level(StateItem item) const;

private:
    static size_t Index(StateItem item) { return static_cast<size_t>(item); }

    std::array<std::string, kStateLines> raw_;  // each item's value as sent
    std::array<bool, kStateLines> known_{};     // each item reported yet
};

// "12:34.5" for a model time in ms (minutes may grow past 59: "75:00.0").
std::string FormatModelTime(long long ms);

// What a person reads for a level: "-20.3 dBm0", or "silence" at the floor.
std::string LevelText(double dbm0);

}  // namespace tvxsim::bench
