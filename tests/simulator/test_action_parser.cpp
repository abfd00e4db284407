// One item without its time (a live command, the runner) against the same
// text in a scenario file: the same item, or the same error word for word;
// and the edges of the play actions.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <type_traits>
#include <variant>

#include "simulator/logic/ActionParser.h"
#include "simulator/logic/Scenario.h"

using namespace tvxsim;

namespace {

constexpr int64_t kFileTimeMs = 1234;

// `count` more fields after `text`.
std::string WithFields(std::string text, size_t count, const char *field)
{
    for (size_t i = 0; i < count; ++i)
        (text += ' ') += field;
    return text;
}

struct ItemCase {
    std::string text;
    const char *error;  // nullptr: parses; else how both error messages start
};
void PrintTo(const ItemCase &c, std::ostream *os) { *os << c.text.substr(0, 60); }

// The line a scenario file would hold for the item: a number route as it
// is, an action or an event after its time.
std::string FileLine(const std::string &text, const ScenarioItem &parsed, bool ok)
{
    const bool number = ok ? std::holds_alternative<NumberRule>(parsed) : text.rfind("number", 0) == 0;
    return number ? text : std::to_string(kFileTimeMs) + " " + text;
}

// The file's one item, with the time and line the file gave it taken off.
template <class Item> bool OnlyItem(const std::vector<Item> &items, const Scenario &sc, Item &out)
{
    if (items.size() != 1 || sc.events.size() + sc.actions.size() + sc.numbers.size() != 1)
        return false;
    out = items[0];
    out.line = 0;
    if constexpr (!std::is_same_v<Item, NumberRule>)
        out.timeMs -= kFileTimeMs;
    return true;
}

class UntimedItem : public ::testing::TestWithParam<ItemCase> {};

TEST_P(UntimedItem, MatchesTheSameTextInAFile)
{
    const ItemCase &c = GetParam();
    ScenarioItem item;
    const std::string error = ParseUntimedItem(c.text, item);
    const Scenario sc = ParseScenario(FileLine(c.text, item, error.empty()));
    if (c.error != nullptr) {
        EXPECT_EQ(error.rfind(c.error, 0), 0u) << error;
        ASSERT_EQ(sc.errors.size(), 1u);
        EXPECT_EQ(sc.errors[0].message, error);
        EXPECT_EQ(sc.events.size() + sc.actions.size() + sc.numbers.size(), 0u);
        return;
    }
    ASSERT_EQ(error, "");
    ASSERT_TRUE(sc.errors.empty()) << sc.errors.front().message;
    ScenarioItem fromFile;
    if (!sc.actions.empty()) {
        ScenarioAction a;
        ASSERT_TRUE(OnlyItem(sc.actions, sc, a));
        fromFile = a;
    } else if (!sc.events.empty()) {
        ScenarioEvent e;
        ASSERT_TRUE(OnlyItem(sc.events, sc, e));
        fromFile = e;
    } else {
        NumberRule n;
        ASSERT_TRUE(OnlyItem(sc.numbers, sc, n));
        fromFile = n;
    }
    EXPECT_EQ(item, fromFile);
}

INSTANTIATE_TEST_SUITE_P(
    Items, UntimedItem,
    ::testing::Values(
        // Actions.
        ItemCase{"far ring", nullptr}, ItemCase{"far ring 3", nullptr}, ItemCase{"far answer", nullptr},
        ItemCase{"far hangup", nullptr}, ItemCase{"far dtmf \"12#d\"", nullptr},
        ItemCase{"pc dtmf \"*\" 80 40", nullptr}, ItemCase{"far tone 425 0 -13 1000 4000 60000", nullptr},
        ItemCase{"phone tone 350 440 -20 100 0 200", nullptr}, ItemCase{"far speech 2500", nullptr},
        ItemCase{"pc speech 100 -30", nullptr}, ItemCase{"phone offhook", nullptr}, ItemCase{"phone onhook", nullptr},
        ItemCase{"phone flash", nullptr}, ItemCase{"phone keys \"5551234\"  # the number", nullptr},
        ItemCase{"far call \"A\" \"1\" mdmf", nullptr},
        ItemCase{"far call-waiting \"\" \"+1 555\" private date 12312359 v23 sdmf na level -60", nullptr},
        ItemCase{"line noise 800 -50", nullptr}, ItemCase{"adapter command 126 1", nullptr},
        ItemCase{"far play \"hello.wav\" -6", nullptr}, ItemCase{"pc play \"a b.flac\"", nullptr},
        // Raw events.
        ItemCase{"112", nullptr}, ItemCase{"64 - 1", nullptr}, ItemCase{"0x40 0x1 3", nullptr},
        ItemCase{"225 - - 80 1E 01", nullptr}, ItemCase{"228 2 0 801E01", nullptr},
        ItemCase{"225 - 0 07 03 \"A #b\" 0x0A", nullptr}, ItemCase{"229 - - 13", nullptr},
        ItemCase{WithFields("112 0 0", 1096, "\"\""), nullptr},  // 1100 fields with the file's time
        // Number routes.
        ItemCase{"number \"5551234\" answer 4000", nullptr}, ItemCase{"number \"1#\" busy", nullptr},
        ItemCase{"number \"9\" no-answer", nullptr},
        // Refused, with the file's words.
        ItemCase{"", "missing event code"}, ItemCase{"   # nothing", "missing event code"},
        ItemCase{"abc", "unknown action target 'abc'"}, ItemCase{"\"16\"", "bad event code '16'"},
        ItemCase{"-1", "bad event code '-1'"}, ItemCase{"16 zz", "bad parameter 'zz'"},
        ItemCase{"64 0 left", "bad side 'left'"}, ItemCase{"225 - 0 801", "bad payload byte '801'"},
        ItemCase{"225 5 0 80 1E", "byte count exceeds the payload length '5'"},
        ItemCase{"225 -1 0 80", "negative byte count '-1'"}, ItemCase{"229 0 0", "event 229 needs one tone row"},
        ItemCase{WithFields("225 - 0", 1025, "00"), "payload longer than 1024 bytes"},
        ItemCase{"225 - 0 \"Ivor", "unterminated quoted text"},
        ItemCase{WithFields("112 0 0", 1097, "\"\""), "more than 1100 fields on the line"},
        ItemCase{WithFields("112 0 0", 1096, "\"\"") + " \"open", "more than 1100 fields on the line"},
        ItemCase{"far", "missing action"}, ItemCase{"far jump", "unknown action 'jump'"},
        ItemCase{"repeat 2 0 0 16", "unknown action target 'repeat'"},
        ItemCase{"devtype 3", "unknown action target 'devtype'"}, ItemCase{"far ring 0", "far ring takes"},
        ItemCase{"far answer now", "the action takes no arguments"},
        ItemCase{"phone keys 123", "keys needs quoted digits"}, ItemCase{"far dtmf \"1\" 0 10", "dtmf on time"},
        ItemCase{"far tone 400 0 -10 1 1", "tone needs"}, ItemCase{"far speech 10 5", "speech needs"},
        ItemCase{"phone dtmf \"1\"", "unknown action 'dtmf'"}, ItemCase{"line noise 10 -81", "noise needs"},
        ItemCase{"adapter command 65536", "command needs"}, ItemCase{"far call \"Ivor\"", "call needs"},
        ItemCase{"far call \"a\" \"1\" sdmf mdmf", "option given twice 'mdmf'"},
        ItemCase{"far call \"a\" \"1\" date 13011200", "bad date '13011200' (MMDDhhmm)"},
        ItemCase{"far call \"a\" \"1\" level 4", "bad level '4' (-80 to +3 dBm0)"},
        ItemCase{"far play \"x\" 21", "bad gain '21' (-60 to +20 dB)"}, ItemCase{"far play", "play needs"},
        ItemCase{"number", "number needs quoted digits"}, ItemCase{"number 555 busy", "number needs"},
        ItemCase{"number \"555\" answer", "number ... answer needs"},
        ItemCase{"number \"555\" rings", "bad route 'rings'"},
        ItemCase{WithFields("number \"1\" busy", 1097, "x"), "bad route 'busy'"},  // 1100 fields
        ItemCase{WithFields("number \"1\" busy", 1098, "x"), "more than 1100 fields on the line"}));

struct PlayCase {
    std::string text;
    ActionTarget target;
    std::string file;
    int32_t gainDb;
    const char *error;  // nullptr: parses
};
void PrintTo(const PlayCase &c, std::ostream *os) { *os << c.text.substr(0, 60); }

class PlayGrammar : public ::testing::TestWithParam<PlayCase> {};

TEST_P(PlayGrammar, TakesAQuotedFileAndAnOptionalGain)
{
    const PlayCase &c = GetParam();
    ScenarioItem item;
    const std::string error = ParseUntimedItem(c.text, item);
    if (c.error != nullptr) {
        EXPECT_EQ(error.rfind(c.error, 0), 0u) << error;
        return;
    }
    ASSERT_EQ(error, "");
    const auto *a = std::get_if<ScenarioAction>(&item);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->verb, ActionVerb::Play);
    EXPECT_EQ(a->target, c.target);
    EXPECT_EQ(a->file, c.file);
    EXPECT_EQ(a->gainDb, c.gainDb);
}

const std::string kLongest(kScenarioMaxPlayFile, 'f');
constexpr const char *kPlayNeeds = "play needs a quoted file name";

INSTANTIATE_TEST_SUITE_P(
    Lines, PlayGrammar,
    ::testing::Values(PlayCase{"far play \"a.wav\"", ActionTarget::Far, "a.wav", 0, nullptr},
                      PlayCase{"line play \"x\" -60", ActionTarget::Line, "x", -60, nullptr},
                      PlayCase{"phone play \"x\" 20", ActionTarget::Phone, "x", 20, nullptr},
                      PlayCase{"pc play \"/tmp/a b/c.flac\" 0", ActionTarget::Pc, "/tmp/a b/c.flac", 0, nullptr},
                      PlayCase{"far play \"caf\xc3\xa9.ogg\" -0x3", ActionTarget::Far, "caf\xc3\xa9.ogg", -3, nullptr},
                      PlayCase{"far play \"" + kLongest + "\"", ActionTarget::Far, kLongest, 0, nullptr},
                      PlayCase{"far play \"" + kLongest + "f\"", ActionTarget::Far, "", 0, kPlayNeeds},
                      PlayCase{"far play \"x\" 21", ActionTarget::Far, "", 0, "bad gain '21'"},
                      PlayCase{"far play \"x\" -61", ActionTarget::Far, "", 0, "bad gain '-61'"},
                      PlayCase{"far play \"x\" 1.5", ActionTarget::Far, "", 0, "bad gain '1.5'"},
                      PlayCase{"far play \"x\" \"3\"", ActionTarget::Far, "", 0, "bad gain '3'"},
                      PlayCase{"far play \"x\" 1 2", ActionTarget::Far, "", 0, kPlayNeeds},
                      PlayCase{"far play", ActionTarget::Far, "", 0, kPlayNeeds},
                      PlayCase{"far play \"\"", ActionTarget::Far, "", 0, kPlayNeeds},
                      PlayCase{"far play a.wav", ActionTarget::Far, "", 0, kPlayNeeds},
                      PlayCase{"far play \"a\tb\"", ActionTarget::Far, "", 0, kPlayNeeds},
                      PlayCase{"far play \"a\x7f\"", ActionTarget::Far, "", 0, kPlayNeeds},
                      PlayCase{"far play \"a\x01\"", ActionTarget::Far, "", 0, kPlayNeeds},
                      PlayCase{"adapter play \"x\"", ActionTarget::Far, "", 0, "unknown action 'play'"}));

// A play action's length is the file's, which the parser does not know: the
// end of a run counts only its start.
TEST(PlayGrammar, CountsOnlyItsStartTowardTheScenariosEnd)
{
    const Scenario sc = ParseScenario("100 far play \"a.wav\"\n40 far speech 50\n");
    ASSERT_TRUE(sc.errors.empty()) << sc.errors.front().message;
    EXPECT_EQ(sc.LastTimeMs(), 100);
}

}  // namespace
