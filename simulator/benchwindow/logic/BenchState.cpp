#include "simulator/benchwindow/logic/BenchState.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace tvxsim::bench {

std::string_view ModeName(int code)
{
    for (const ModeRow &row : kModeRows) {
        if (row.code == code)
            return row.name;
    }
    return {};
}

std::string_view AuxName(int code)
{
    for (const ModeRow &row : kAuxRows) {
        if (row.code == code)
            return row.name;
    }
    return {};
}

std::string_view WordText(StateItem item, std::string_view word)
{
    if (item == StateItem::Call) {
        if (const std::optional<LineCall> call = LineCallOfWord(word))
            for (const CallText &row : kCallTexts)
                if (row.call == *call)
                    return row.text;
    } else if (item == StateItem::Audio) {
        if (const std::optional<AudioNodes> nodes = AudioNodesOfWord(word))
            for (const AudioText &row : kAudioTexts)
                if (row.nodes == *nodes)
                    return row.text;
    }
    return {};
}

ScenarioText ScenarioTextOf(std::string_view value)
{
    for (const ScenarioWordRow &row : kScenarioWords) {
        if (row.prefix ? value.starts_with(row.word) : value == row.word)
            return {std::string(row.shown) + std::string(value.substr(row.prefix ? row.word.size() : value.size())),
                    row.wrong};
    }
    // "<n> line skipped; the first: ..." or "<n> lines skipped; ...".
    const size_t digits = value.find_first_not_of("0123456789");
    if (digits != 0 && digits != std::string_view::npos) {
        const std::string_view rest = value.substr(digits);
        if (rest.starts_with(" line skipped; ") || rest.starts_with(" lines skipped; "))
            return {"Scenario: " + std::string(value), true};
    }
    return {"Scenario: " + std::string(value.empty() ? "unknown" : value), false};
}

std::optional<StateItem> BenchState::Apply(std::string_view name, std::string_view value)
{
    const StateLineRow *row = FindStateLine(name);
    if (!row)
        return std::nullopt;
    const size_t at = Index(row->item);
    if (known_[at] && raw_[at] == value)
        return std::nullopt;
    known_[at] = true;
    raw_[at] = value;
    return row->item;
}

void BenchState::Clear()
{
    for (std::string &value : raw_)
        value.clear();
    known_.fill(false);
}

bool BenchState::Flag(StateItem item) const
{
    const std::string &value = Raw(item);
    return value == "on" || value == "offhook";
}

std::optional<long long> BenchState::Number(StateItem item) const
{
    const std::string &value = Raw(item);
    long long number = 0;
    const char *end = value.data() + value.size();
    const auto [at, error] = std::from_chars(value.data(), end, number);
    if (value.empty() || error != std::errc() || at != end)
        return std::nullopt;
    return number;
}

std::optional<unsigned> BenchState::Leds() const
{
    const std::string &value = Raw(StateItem::Leds);
    if (value.size() != 4 || value[0] != '0' || (value[1] != 'x' && value[1] != 'X'))
        return std::nullopt;
    unsigned mask = 0;
    const char *end = value.data() + value.size();
    const auto [at, error] = std::from_chars(value.data() + 2, end, mask, 16);
    if (error != std::errc() || at != end)
        return std::nullopt;
    return mask;
}

std::optional<double> BenchState::Level(StateItem item) const
{
    const std::string &value = Raw(item);
    double level = 0;
    const char *end = value.data() + value.size();
    const auto [at, error] = std::from_chars(value.data(), end, level);
    if (value.empty() || error != std::errc() || at != end || !std::isfinite(level))
        return std::nullopt;
    return level;
}

std::string FormatModelTime(long long ms)
{
    if (ms < 0)
        ms = 0;
    const long long tenths = ms / 100;
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld.%lld", tenths / 600, tenths / 10 % 60, tenths % 10);
    return text;
}

std::string LevelText(double dbm0)
{
    if (dbm0 <= kLevelFloorDbm0 + 0.05)
        return "silence";
    return FormatLevel(static_cast<float>(dbm0)) + " dBm0";
}

}  // namespace tvxsim::bench
