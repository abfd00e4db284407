#include "simulator/benchwindow/logic/ControlLine.h"

#include <charconv>

namespace tvxsim::bench {
namespace {

// A decimal number that fills the field and fits T.
template <typename T> bool ParseDecimal(std::string_view field, T &value)
{
    if (field.empty())
        return false;
    const char *end = field.data() + field.size();
    const auto [at, error] = std::from_chars(field.data(), end, value);
    return error == std::errc() && at == end;
}

ControlLine Unknown(std::string_view line)
{
    ControlLine parsed;
    parsed.text = line;
    return parsed;
}

}  // namespace

ControlLine ParseWatchLine(std::string_view line)
{
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    ControlLine parsed;
    if (line.empty()) {
        parsed.kind = LineKind::Blank;
        return parsed;
    }
    if (line == "ok") {
        parsed.kind = LineKind::Ok;
        return parsed;
    }
    const size_t space = line.find(' ');
    const std::string_view head = line.substr(0, space);
    const std::string_view rest = space == std::string_view::npos ? std::string_view() : line.substr(space + 1);
    if (head == "error") {
        parsed.kind = LineKind::Error;
        parsed.text = rest;
        return parsed;
    }
    if (head == "dropped") {
        if (!ParseDecimal(rest, parsed.count))
            return Unknown(line);
        parsed.kind = LineKind::Dropped;
        return parsed;
    }
    if (head == "state") {
        if (rest.empty())
            return Unknown(line);
        const size_t gap = rest.find(' ');
        parsed.kind = LineKind::State;
        parsed.name = rest.substr(0, gap);
        if (gap != std::string_view::npos)
            parsed.text = rest.substr(gap + 1);
        return parsed;
    }
    if (head.front() >= '0' && head.front() <= '9') {
        const size_t gap = rest.find(' ');
        const std::string_view code = rest.substr(0, gap);
        if (!ParseDecimal(head, parsed.ms) || parsed.ms < 0 || !ParseDecimal(code, parsed.code))
            return Unknown(line);
        parsed.kind = LineKind::Event;
        parsed.text = line;
        return parsed;
    }
    return Unknown(line);
}

}  // namespace tvxsim::bench
