#include "simulator/control/ControlConnection.h"

#include "simulator/control/ConsoleWords.h"

namespace tvxsim {
namespace {

std::string_view Trim(std::string_view s)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

std::string Reply(const std::string &reason) { return reason.empty() ? "ok" : OneLine("error " + reason); }

std::string LineOf(size_t i, const std::string &value) { return std::string(StateLineName(i)) + ' ' + value; }

}  // namespace

std::string OneLine(std::string text)
{
    for (char &c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = '?';
    return text;
}

size_t ControlConnection::Room() const
{
    if (closing_)
        return 0;
    return watching_ ? kMaxLine : kMaxLine - input_.size();
}

void ControlConnection::Receive(std::string_view bytes)
{
    if (watching_ || closing_)
        return;
    input_.append(bytes.substr(0, kMaxLine - input_.size()));
}

bool ControlConnection::HandleNext(ControlDoor &door, std::vector<std::string> &out)
{
    if (watching_ || closing_)
        return false;
    const size_t end = input_.find('\n');
    if (end == std::string::npos) {
        if (input_.size() < kMaxLine)
            return false;
        out.push_back("error request longer than " + std::to_string(kMaxLine) + " bytes");
        input_.clear();
        closing_ = true;
        return true;
    }
    std::string_view line(input_.data(), end);
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    Answer(line, door, out);
    input_.erase(0, end + 1);
    if (watching_)
        input_.clear();
    return true;
}

void ControlConnection::Answer(std::string_view line, ControlDoor &door, std::vector<std::string> &out)
{
    const std::string_view request = Trim(line);
    if (SameWord(request, "state") || SameWord(request, "watch")) {
        AdapterState state;
        if (!door.Snapshot(state)) {
            out.push_back("error no simulated device is open");
            return;
        }
        const StateValues values = StateValuesOf(state);
        if (SameWord(request, "state")) {
            for (size_t i = 0; i < kStateLines; ++i)
                out.push_back(LineOf(i, values[i]));
            out.emplace_back();
            return;
        }
        out.push_back("ok");
        for (size_t i = 0; i < kStateLines; ++i)
            out.push_back("state " + LineOf(i, values[i]));
        heard_ = values;
        watching_ = true;
        return;
    }
    const size_t space = request.find_first_of(" \t");
    const std::string_view head = request.substr(0, space);
    const std::string_view rest = space == std::string_view::npos ? std::string_view() : Trim(request.substr(space));
    // A switch's word and its on or off: the door's reply, or why it takes neither.
    const auto onOff = [&out](std::string_view what, std::string_view arg, const auto &set) {
        if (SameWord(arg, "on") || SameWord(arg, "off"))
            out.push_back(Reply(set(SameWord(arg, "on"))));
        else
            out.push_back("error " + std::string(what) + " takes on or off");
    };
    for (size_t i = 0; i < kSoundSwitches; ++i) {
        const auto which = static_cast<SoundSwitch>(i);
        const std::string_view word = SoundSwitchName(which);
        if (SameWord(head, word)) {
            onOff(word, rest, [&](bool on) { return door.Sound(which, on); });
            return;
        }
    }
    // "line sip on|off"; any other "line ..." is a scenario item (line noise, line play).
    const size_t gap = rest.find_first_of(" \t");
    if (SameWord(head, "line") && SameWord(rest.substr(0, gap), "sip")) {
        onOff("line sip", gap == std::string_view::npos ? std::string_view() : Trim(rest.substr(gap)), [&](bool on) {
            return door.LineSip(on);
        });
        return;
    }
    out.push_back(Reply(door.Apply(request)));
}

void ControlConnection::Changes(const StateValues &now, bool periodic, std::vector<std::string> &out)
{
    if (!watching_)
        return;
    for (size_t i = 0; i < kStateLines; ++i) {
        if (now[i] == heard_[i] || (!periodic && StateLineKindOf(i) == StateLineKind::Periodic))
            continue;
        heard_[i] = now[i];
        out.push_back("state " + LineOf(i, now[i]));
    }
}

}  // namespace tvxsim
