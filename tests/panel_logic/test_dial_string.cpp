#include "panel/logic/DialString.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

using namespace std::string_literals;

namespace tvx {
namespace {

DialStep S(int32_t code) { return {DialStep::Kind::Send, code, 0xFFFF}; }
DialStep WaitTone() { return {DialStep::Kind::Send, 28, 0}; }  // "W": fourth argument 0
DialStep Pause() { return {DialStep::Kind::Wait, 1000, 0}; }

std::string Describe(const std::vector<DialStep> &steps)
{
    std::string out;
    for (const DialStep &s : steps) {
        if (s.kind == DialStep::Kind::Wait)
            out += "wait" + std::to_string(s.value) + " ";
        else
            out += std::to_string(s.value) + "/" + std::to_string(s.arg4) + " ";
    }
    return out;
}

struct Case {
    std::string text;
    bool pulse;
    std::vector<DialStep> steps;
};

TEST(DialString, CharacterTableInBothModes)
{
    const Case cases[] = {
        {"", false, {}},
        {"", true, {}},
        {"0123456789", false, {S(0), S(1), S(2), S(3), S(4), S(5), S(6), S(7), S(8), S(9)}},
        {"0123456789", true, {S(16), S(17), S(18), S(19), S(20), S(21), S(22), S(23), S(24), S(25)}},
        {"*#ABCDabcd", false, {S(10), S(11), S(12), S(13), S(14), S(15), S(12), S(13), S(14), S(15)}},
        {"*#ABCDabcd", true, {}},
        {"#ABCD", true, {}},
        {"#ABCD!@", true, {S(26), S(29)}},
        {"!@", false, {S(26), S(29)}},
        {"w", false, {WaitTone()}},
        {"w", true, {WaitTone()}},
        {"W", true, {WaitTone()}},
        {",-", false, {Pause(), Pause()}},
        {",-", true, {Pause(), Pause()}},
        {"1,,2", false, {S(1), Pause(), Pause(), S(2)}},
        {"123", false, {S(1), S(2), S(3)}},
        {"123", true, {S(17), S(18), S(19)}},
        {"P123", false, {S(17), S(18), S(19)}},
        {"p1", false, {S(17)}},
        {"P1", true, {S(17)}},
        {"T#", true, {S(11)}},
        {"t1", true, {S(1)}},
        {"T1", false, {S(1)}},
        {"1P2T3p4t5", false, {S(1), S(18), S(3), S(20), S(5)}},
        {"P#T#", false, {S(11)}},
        // Everything not in the table does nothing.
        {" ()+./:;<=>?[]{}|~\"'_$%&^`\\", false, {}},
        {"EFGHIJKLMNOQRSUVXYZefghijklmnoqrsuvxyz", false, {}},
        {"EFGHIJKLMNOQRSUVXYZefghijklmnoqrsuvxyz", true, {}},
        {"\t\n\r\x01\x1F\x7F"s + '\0' + "5", false, {S(5)}},
        // Characters above 127, including 0x80 plus a dial character, do nothing.
        {"\x80\xB1\xC1\xD7\xAC\xAD\xD0\xD4\xA1\xC0\xFF"
         "7",
         false,
         {S(7)}},
        {"\x80\xB1\xC1\xD7\xAC\xAD\xD0\xD4\xA1\xC0\xFF"
         "7",
         true,
         {S(23)}},
        {"\xD0"
         "1",
         false,
         {S(1)}},  // 0xD0 is not "P"
    };
    for (const Case &c : cases) {
        const std::vector<DialStep> got = InterpretDialString(c.text, c.pulse);
        EXPECT_EQ(got, c.steps) << "text \"" << c.text << "\" pulse " << c.pulse << "\n got:      " << Describe(got)
                                << "\n expected: " << Describe(c.steps);
    }
}

TEST(DialString, WorkedExample)
{
    const std::string text = "9,W(03) 555-12#";
    EXPECT_EQ(
        InterpretDialString(text, false),
        (std::vector<DialStep>{S(9), Pause(), WaitTone(), S(0), S(3), S(5), S(5), S(5), Pause(), S(1), S(2), S(11)}));
    EXPECT_EQ(
        InterpretDialString(text, true),
        (std::vector<DialStep>{S(25), Pause(), WaitTone(), S(16), S(19), S(21), S(21), S(21), Pause(), S(17), S(18)}));
}

TEST(DialString, EveryByteInEachMode)
{
    // Over all 256 single characters: tone mode acts on the ten digits, "*",
    // "#", A-D either case, "!", "@", "W"/"w", "," and "-" (26 characters);
    // pulse mode on the digits, "!", "@", "W"/"w", "," and "-" (16).
    int toneActing = 0;
    int pulseActing = 0;
    for (int b = 0; b < 256; ++b) {
        const std::string one(1, static_cast<char>(b));
        const auto tone = InterpretDialString(one, false);
        const auto pulse = InterpretDialString(one, true);
        EXPECT_LE(tone.size(), 1u) << b;
        EXPECT_LE(pulse.size(), 1u) << b;
        toneActing += tone.empty() ? 0 : 1;
        pulseActing += pulse.empty() ? 0 : 1;
        if (b >= 128) {
            EXPECT_TRUE(tone.empty() && pulse.empty()) << b;
            EXPECT_EQ(DialActionFor(static_cast<unsigned char>(b), false).op, DialOp::None);
        }
    }
    EXPECT_EQ(toneActing, 26);
    EXPECT_EQ(pulseActing, 16);
}

TEST(DialString, LongStringsAreDialledInFull)
{
    std::string digits;
    while (digits.size() < 255)
        digits += static_cast<char>('0' + digits.size() % 10);
    ASSERT_EQ(digits.size(), 255u);
    const auto tone = InterpretDialString(digits, false);
    ASSERT_EQ(tone.size(), 255u);
    for (std::size_t i = 0; i < tone.size(); ++i)
        EXPECT_EQ(tone[i], S(static_cast<int>(i % 10)));

    // A mode switch half way lasts to the end of the string.
    std::string mixed = digits;
    mixed[127] = 'P';
    const auto steps = InterpretDialString(mixed, false);
    ASSERT_EQ(steps.size(), 254u);
    EXPECT_EQ(steps[126], S(6));
    EXPECT_EQ(steps[127], S(16 + 8));
    EXPECT_EQ(steps.back(), S(16 + 4));

    // Longer than the edit allows still runs to the end.
    const std::string huge(10000, '#');
    EXPECT_EQ(InterpretDialString(huge, false).size(), 10000u);
    EXPECT_TRUE(InterpretDialString(huge, true).empty());
}

// The sink sees every call, in string order, with the fourth argument of each.
TEST(DialString, SinkReceivesCallsInOrder)
{
    struct Sink : DialSink {
        std::string log;
        void Send(int32_t code, int32_t arg4) override
        {
            log += "send " + std::to_string(code) + " " + std::to_string(arg4) + ";";
        }
        void Wait(int ms) override { log += "wait " + std::to_string(ms) + ";"; }
    } sink;
    RunDialString("1w,@", false, sink);
    EXPECT_EQ(sink.log, "send 1 65535;send 28 0;wait 1000;send 29 65535;");
    EXPECT_EQ(kDialCommandCode, 140);
}

// One entry of the manual page's list of dial-string characters: the
// characters of its tag and the text that says what they do.
struct ManualEntry {
    std::vector<char> characters;
    std::string text;
};

// The entries of the manual page's DIAL STRING section (".TP", then ".B"
// with the characters separated by blanks, then the paragraph).
std::vector<ManualEntry> DialStringEntries(const std::string &page)
{
    std::vector<ManualEntry> entries;
    std::istringstream lines(page);
    std::string line;
    bool inSection = false;
    bool tagNext = false;
    while (std::getline(lines, line)) {
        if (line.rfind(".SH", 0) == 0) {
            inSection = line == ".SH DIAL STRING";
            continue;
        }
        if (!inSection)
            continue;
        if (line == ".TP") {
            tagNext = true;
            continue;
        }
        if (tagNext) {
            tagNext = false;
            ManualEntry entry;
            if (line.rfind(".B ", 0) != 0)
                entry.characters.push_back('\0');  // a tag of another form
            std::istringstream tag(line.substr(std::min<std::size_t>(line.size(), 3)));
            for (std::string word; tag >> word;)
                entry.characters.push_back(word == "\\-" ? '-' : word.size() == 1 ? word[0] : '\0');
            entries.push_back(entry);
            continue;
        }
        if (!entries.empty())
            entries.back().text += line + "\n";
    }
    return entries;
}

// The numbers a text names, a range "N to M" naming every number in it.
std::set<int> NumbersNamed(const std::string &text)
{
    std::set<int> named;
    const std::regex number(R"((\d+)(?: to (\d+))?)");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), number); it != std::sregex_iterator(); ++it) {
        const int first = std::stoi((*it)[1]);
        const int last = (*it)[2].matched ? std::stoi((*it)[2]) : first;
        for (int n = first; n <= last; ++n)
            named.insert(n);
    }
    return named;
}

// The manual page lists every character the interpreter acts on, and no
// other, and says for each what it does in both modes: its dial codes, the
// pause's length, the mode it switches to, and "nothing" where it does nothing.
TEST(DialString, TheManualPageSaysWhatEveryCharacterDoes)
{
    std::ifstream file(TVX_MANUAL_PAGE);
    ASSERT_TRUE(file) << TVX_MANUAL_PAGE;
    const std::string page((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const std::vector<ManualEntry> entries = DialStringEntries(page);
    ASSERT_FALSE(entries.empty()) << "no DIAL STRING section";

    std::set<char> listed;
    for (const ManualEntry &entry : entries) {
        const std::set<int> numbers = NumbersNamed(entry.text);
        std::string lower = entry.text;
        std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
        for (const char c : entry.characters) {
            SCOPED_TRACE(testing::Message() << "'" << c << "': " << entry.text);
            ASSERT_NE(c, '\0') << "a tag word that is not one character";
            EXPECT_TRUE(listed.insert(c).second) << "listed twice";
            for (const bool pulse : {false, true}) {
                const DialAction action = DialActionFor(static_cast<unsigned char>(c), pulse);
                switch (action.op) {
                case DialOp::None:
                    EXPECT_NE(lower.find("nothing"), std::string::npos) << "pulse " << pulse;
                    break;
                case DialOp::Send:
                case DialOp::SendWait:
                    EXPECT_TRUE(numbers.count(action.code)) << "dial code " << int{action.code};
                    break;
                case DialOp::Pause:
                    EXPECT_TRUE(numbers.count(kDialPauseMs)) << "the pause's milliseconds";
                    break;
                case DialOp::ToPulse:
                    EXPECT_NE(lower.find("pulse dialling"), std::string::npos);
                    break;
                case DialOp::ToTone:
                    EXPECT_NE(lower.find("tone dialling"), std::string::npos);
                    break;
                }
            }
        }
    }
    std::set<char> acting;
    for (const DialCharRow &row : kDialCharRows)
        acting.insert(row.ch);
    EXPECT_EQ(listed, acting) << "the page lists exactly the characters the interpreter acts on";
}

}  // namespace
}  // namespace tvx
