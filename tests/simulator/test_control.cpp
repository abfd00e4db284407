// The control socket's pure parts: request framing and answers, the state
// lines and their changes, live items, the event line, the level tap and
// the folder checks.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "simulator/control/ControlConnection.h"
#include "simulator/control/ControlPath.h"
#include "simulator/control/LiveRequest.h"
#include "simulator/engine/LevelTap.h"
#include "simulator/logic/AdapterState.h"
#include "simulator/logic/EventLine.h"
#include "tests/simulator/SimTestSupport.h"

namespace {

using namespace tvxsim;

// Answers items starting with "bad" with an error that quotes them.
class FakeDoor : public ControlDoor {
public:
    std::vector<std::string> applied;
    std::vector<std::string> sounds;
    AdapterState state;
    bool open = true;

    std::string Apply(std::string_view item) override
    {
        applied.emplace_back(item);
        return item.rfind("bad", 0) == 0 ? "refused '" + std::string(item) + "'" : std::string();
    }
    bool Snapshot(AdapterState &s) override
    {
        s = state;
        return open;
    }
    std::string Sound(SoundSwitch which, bool on) override
    {
        sounds.push_back(std::to_string(static_cast<int>(which)) + (on ? " on" : " off"));
        return "no sound server";
    }
    std::string LineSip(bool on) override
    {
        sounds.push_back(on ? "line sip on" : "line sip off");
        return on ? "no line configuration" : "";
    }
};

struct FramingCase {
    std::string name;
    std::vector<std::string> chunks;
    std::vector<std::string> applied;  // what reached the door
    std::vector<std::string> replies;  // the first replies, in order
    bool closing = false;
};

// Feeds the chunks as a socket would, answering whatever is whole.
std::vector<std::string> Drive(ControlConnection &c, FakeDoor &door, const std::vector<std::string> &chunks)
{
    std::vector<std::string> out;
    for (const std::string &chunk : chunks) {
        std::string_view rest = chunk;
        while (!rest.empty() && c.Room() > 0) {
            const size_t n = std::min(rest.size(), c.Room());
            c.Receive(rest.substr(0, n));
            rest.remove_prefix(n);
            while (c.HandleNext(door, out)) {
            }
        }
    }
    return out;
}

class Framing : public ::testing::TestWithParam<FramingCase> {};

TEST_P(Framing, SplitsAnswersAndBoundsRequests)
{
    const FramingCase &t = GetParam();
    FakeDoor door;
    ControlConnection c;
    const std::vector<std::string> out = Drive(c, door, t.chunks);
    EXPECT_EQ(door.applied, t.applied);
    ASSERT_GE(out.size(), t.replies.size());
    EXPECT_EQ(std::vector<std::string>(out.begin(), out.begin() + static_cast<long>(t.replies.size())), t.replies);
    EXPECT_EQ(c.Closing(), t.closing);
}

const std::string k4095(4095, 'x');

INSTANTIATE_TEST_SUITE_P(
    Table, Framing,
    ::testing::Values(
        FramingCase{"one", {"far answer\n"}, {"far answer"}, {"ok"}},
        FramingCase{"cr_dropped", {"far answer\r\n"}, {"far answer"}, {"ok"}},
        FramingCase{"blanks_trimmed", {"  phone offhook \t\n"}, {"phone offhook"}, {"ok"}},
        FramingCase{"many_in_one_batch", {"a\nbad b\nc\n"}, {"a", "bad b", "c"}, {"ok", "error refused 'bad b'", "ok"}},
        FramingCase{
            "split_over_reads", {"far ri", "ng 2\nfar", " hangup\n"}, {"far ring 2", "far hangup"}, {"ok", "ok"}},
        FramingCase{"no_newline_yet", {"far ring"}, {}, {}},
        FramingCase{"longest_line", {k4095 + "\n"}, {k4095}, {"ok"}},
        FramingCase{
            "one_byte_too_long", {k4095 + "x\n", "far answer\n"}, {}, {"error request longer than 4096 bytes"}, true},
        FramingCase{"too_long_in_pieces",
                    {std::string(3000, 'y'), std::string(3000, 'y'), "\n"},
                    {},
                    {"error request longer than 4096 bytes"},
                    true},
        FramingCase{"bad_bytes_stay_on_their_line",
                    {std::string("bad \x01\x7f\xff\r\x00z\n", 11)},
                    {std::string("bad \x01\x7f\xff\r\x00z", 10)},
                    {"error refused 'bad ??\xff??z'"}},
        FramingCase{"sound_switches",
                    {"listen on\ntalk off\nbe-far maybe\n"},
                    {},
                    {"error no sound server", "error no sound server", "error be-far takes on or off"}},
        FramingCase{"line_sip",
                    {"line sip off\nLINE SIP ON\nline sip maybe\nline noise 100\n"},
                    {"line noise 100"},
                    {"ok", "error no line configuration", "error line sip takes on or off", "ok"}},
        FramingCase{"watch_ignores_what_follows", {"watch\nfar answer\n", "phone offhook\n"}, {}, {"ok"}}),
    [](const auto &info) { return info.param.name; });

TEST(ControlConnection, StateAndWatchGiveEveryLineInOrder)
{
    FakeDoor door;
    door.state.leds = 0x2A;
    ControlConnection c;
    const std::vector<std::string> state = Drive(c, door, {"state\n"});
    ASSERT_EQ(state.size(), kStateLines + 1);
    EXPECT_EQ(state.front(), "time 0");
    EXPECT_EQ(state[static_cast<size_t>(StateItem::Leds)], "leds 0x2A");
    EXPECT_EQ(state.back(), "");

    const std::vector<std::string> watch = Drive(c, door, {"watch\n"});
    ASSERT_EQ(watch.size(), kStateLines + 1);
    EXPECT_EQ(watch.front(), "ok");
    for (size_t i = 0; i < kStateLines; ++i)
        EXPECT_EQ(watch[i + 1], "state " + state[i]);
    EXPECT_TRUE(c.Watching());

    door.open = false;
    ControlConnection closed;
    EXPECT_EQ(Drive(closed, door, {"state\n"}), std::vector<std::string>{"error no simulated device is open"});
}

TEST(ControlConnection, AWatcherHearsOnlyWhatChangedAndThePeriodicLinesOnlyWhenDue)
{
    FakeDoor door;
    ControlConnection c;
    Drive(c, door, {"watch\n"});
    AdapterState s = door.state;
    s.timeMs = 40;
    s.levels[1] = -20.0f;
    s.leds = 0x01;
    std::vector<std::string> out;
    c.Changes(StateValuesOf(s), false, out);
    EXPECT_EQ(out, std::vector<std::string>{"state leds 0x01"});
    out.clear();
    c.Changes(StateValuesOf(s), true, out);
    EXPECT_EQ(out, (std::vector<std::string>{"state time 40", "state level-line-rx -20.0"}));
    out.clear();
    c.Changes(StateValuesOf(s), true, out);
    EXPECT_TRUE(out.empty());
}

TEST(AdapterState, LinesAreTheAgreedNamesAndValues)
{
    AdapterState s;
    s.timeMs = 1234;
    s.phoneOffHook = true;
    s.call = LineCall::Ringback;
    s.ringing = true;
    s.ringerHz = 17;
    s.melody = true;
    s.leds = 0x0F;
    s.display = "Ivor Kell\n7964710";
    s.modeCode = 106;
    s.mutePhone = true;
    s.echoSuppression = false;
    s.cidcw = true;
    s.auxCode = 110;
    s.levels = {-13.04f, -99.96f, -200.0f, NAN, 3.14f, -0.04f};
    s.audio = AudioNodes::Published;
    s.sound[static_cast<size_t>(SoundSwitch::BeFar)] = true;
    s.scenario = "2 lines skipped; the first: /a.scn:3: bad\tthing";
    s.farEnd = "sip:line@pbx.example";
    s.registration = "failed";
    s.lineReason = "403 Forbidden";
    s.peer = "sip:7964710@pbx.example";
    s.codec = "PCMA";
    s.packetsLost = 12;
    s.jitterMs = 123.46;
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"time", "1234"},
        {"phone", "offhook"},
        {"line", "onhook"},
        {"call", "ringback"},
        {"ringing", "on"},
        {"bell", "off"},
        {"ringer-hz", "17"},
        {"melody", "on"},
        {"leds", "0x0F"},
        {"display", "Ivor Kell?7964710"},
        {"mode", "106"},
        {"mute-phone", "on"},
        {"mute-line", "off"},
        {"pc-silent", "off"},
        {"echo-suppression", "off"},
        {"daa-boost", "off"},
        {"keypad-beep", "on"},
        {"wiretap", "off"},
        {"headset", "off"},
        {"cidcw", "on"},
        {"aux", "110"},
        {"analysis", "off"},
        {"level-line-tx", "-13.0"},
        {"level-line-rx", "-99.9"},
        {"level-earpiece", "-99.9"},
        {"level-mic", "-99.9"},
        {"level-pc-in", "3.1"},
        {"level-pc-out", "0.0"},
        {"audio", "published"},
        {"listen", "off"},
        {"talk", "off"},
        {"be-far", "on"},
        {"scenario", "2 lines skipped; the first: /a.scn:3: bad?thing"},
        {"far-end", "sip:line@pbx.example"},
        {"registration", "failed"},
        {"line-reason", "403 Forbidden"},
        {"peer", "sip:7964710@pbx.example"},
        {"codec", "PCMA"},
        {"packets-lost", "12"},
        {"jitter", "123.5"},
    };
    ASSERT_EQ(expected.size(), kStateLines);
    const StateValues values = StateValuesOf(s);
    for (size_t i = 0; i < kStateLines; ++i) {
        EXPECT_EQ(StateLineName(i), expected[i].first) << i;
        EXPECT_EQ(values[i], expected[i].second) << expected[i].first;
        const bool periodic = expected[i].first == "time" || expected[i].first.rfind("level-", 0) == 0 ||
                              expected[i].first == "packets-lost" || expected[i].first == "jitter";
        EXPECT_EQ(StateLineKindOf(i) == StateLineKind::Periodic, periodic) << expected[i].first;
    }
}

struct LiveCase {
    std::string name;
    std::string line;
    int kind;           // 0 action, 1 raw event, 2 number route, -1 refused
    std::string error;  // the start of the reason when refused
};

class LiveItems : public ::testing::TestWithParam<LiveCase> {};

TEST_P(LiveItems, AreTheScenarioLanguageWithoutTime)
{
    const LiveCase &t = GetParam();
    LiveItem item;
    const std::string error = ParseLiveItem(t.line, item);
    if (t.kind < 0) {
        EXPECT_EQ(error.rfind(t.error, 0), 0u) << error;
        return;
    }
    ASSERT_EQ(error, "");
    EXPECT_EQ(static_cast<int>(item.index()), t.kind);
}

INSTANTIATE_TEST_SUITE_P(
    Table, LiveItems,
    ::testing::Values(
        LiveCase{"far_call", R"(far call "Ivor Kell" "7964710" mdmf bell202)", 0, ""},
        LiveCase{"far_ring", "far ring 2", 0, ""}, LiveCase{"adapter_command", "adapter command 58", 0, ""},
        LiveCase{"raw", "112", 1, ""}, LiveCase{"raw_side", "64 - 1", 1, ""},
        LiveCase{"raw_payload", "225 - - 80 1E", 1, ""}, LiveCase{"number", R"(number "5551234" busy)", 2, ""},
        LiveCase{"unknown_target", "x y", -1, "unknown action target 'x'"},
        LiveCase{"bad_ring", "far ring 0", -1, "far ring takes"},
        LiveCase{"timed", "0 far ring", -1, "a live request takes no time, it applies now: leave out the '0'"},
        LiveCase{"timed_phone", "500 phone offhook", -1, "a live request takes no time"},
        LiveCase{"raw_with_param", "112 5", 1, ""}, LiveCase{"timed_bad_event", "500 16 zz", -1, "bad side 'zz'"},
        LiveCase{"repeat", "repeat 2 0 0 112", -1, "repeat belongs in a scenario file"},
        LiveCase{"devtype", "devtype 4", -1, "devtype belongs"}, LiveCase{"play", R"(far play "a.wav" -6)", 0, ""},
        LiveCase{"bad_play", R"(far play)", -1, ""}, LiveCase{"empty", "", -1, "empty request"},
        LiveCase{"comment", "# nothing", -1, "empty request"},
        LiveCase{"two_lines", "far answer\nfar hangup", -1, "a request is one line"}),
    [](const auto &info) { return info.param.name; });

TEST(LiveItems, ApplyReachesTheModelOrChangesNothing)
{
    DeviceState state;
    Engine engine(state);
    engine.RunUntil(MsToSamples(100));
    std::vector<EngineEvent> raw;
    bool full = false;
    const RawSink sink = [&](EngineEvent e) {
        if (full)
            return false;
        raw.push_back(std::move(e));
        return true;
    };
    LiveItem item;
    ASSERT_EQ(ParseLiveItem("phone offhook", item), "");
    EXPECT_EQ(engine.ApplyLive(item, sink), "");
    EXPECT_TRUE(engine.GetHandset().OffHook());

    ASSERT_EQ(ParseLiveItem("225 - - 80 1E", item), "");
    EXPECT_EQ(engine.ApplyLive(item, sink), "");
    ASSERT_EQ(raw.size(), 1u);
    EXPECT_EQ(raw[0].time, engine.Now());
    EXPECT_EQ(raw[0].param, 2);
    EXPECT_EQ(raw[0].payload, (std::vector<uint8_t>{0x80, 0x1E}));
    full = true;
    EXPECT_NE(engine.ApplyLive(item, sink), "");
    EXPECT_EQ(raw.size(), 1u);
}

// An adapter command the adapter refuses is an error with ScDoCommand's own
// answer, and nothing changes; one it takes is ok.
TEST(LiveItems, AnAdapterCommandTheAdapterRefusesIsAnError)
{
    struct Row {
        const char *item;
        const char *reply;  // "" for ok
    };
    const Row rows[] = {
        {"adapter command 140 99",
         "the adapter refuses command 140 99: ScDoCommand returns 6 (an argument outside its range)"},
        {"adapter command 140 -1",
         "the adapter refuses command 140 -1: ScDoCommand returns 6 (an argument outside its range)"},
        {"adapter command 108 7",
         "the adapter refuses command 108 7: ScDoCommand returns 6 (an argument outside its range)"},
        {"adapter command 65535",
         "the adapter refuses command 65535 0: ScDoCommand returns 6 (an argument outside its range)"},
        {"adapter command 108 2", ""},
        {"adapter command 10", ""},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.item);
        DeviceState state;
        Engine engine(state);
        LiveItem item;
        ASSERT_EQ(ParseLiveItem(row.item, item), "");
        const int32_t mode = state.deviceMode;
        EXPECT_EQ(engine.ApplyLive(item, {}), row.reply);
        EXPECT_EQ(engine.ToneGenerating(), *row.reply == 0 && std::string(row.item).find("108") != std::string::npos);
        EXPECT_EQ(state.deviceMode == mode, std::string(row.item) != "adapter command 10");
    }
}

// A caller's call the exchange would drop is refused with the reason, and a
// call on an idle line rings it: on hook a moment after the handset was
// lifted, the exchange holds the call until the break is longer than a flash.
TEST(LiveItems, ACallTheExchangeWouldDropIsRefused)
{
    struct Row {
        const char *name;
        std::vector<std::string> before;  // "wait <ms>" or a live item
        const char *item;
        const char *refusal;  // "" when the call is taken
    };
    const Row rows[] = {
        {"idle", {}, R"(far call "A" "1")", ""},
        {"off_hook", {"phone offhook", "wait 100"}, R"(far call "A" "1")", "the call is dial-tone"},
        {"just_on_hook",
         {"phone offhook", "wait 100", "phone onhook", "wait 300"},
         R"(far call "A" "1")",
         "cleared 1.5 s after"},
        {"on_hook_long", {"phone offhook", "wait 100", "phone onhook", "wait 1700"}, R"(far call "A" "1")", ""},
        {"ringing", {R"(far call "A" "1")", "wait 100"}, R"(far call "B" "2")", "the call is ringing"},
        {"waiting_idle", {}, R"(far call-waiting "A" "1")", "during a connected call, and the call is idle"},
        {"waiting_connected",
         {R"(far call "A" "1")", "wait 4000", "phone offhook", "wait 100"},
         R"(far call-waiting "B" "2")",
         ""},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        DeviceState state;
        Engine engine(state);
        engine.RunUntil(MsToSamples(100));
        const RawSink sink = [](EngineEvent) { return true; };
        LiveItem item;
        for (const std::string &step : row.before) {
            if (step.starts_with("wait ")) {
                engine.RunUntil(engine.Now() + MsToSamples(std::stoi(step.substr(5))));
                continue;
            }
            ASSERT_EQ(ParseLiveItem(step, item), "");
            ASSERT_EQ(engine.ApplyLive(item, sink), "") << step;
        }
        const CallState before = engine.GetExchange().State();
        const bool sending = engine.GetExchange().SendingCallerId();
        ASSERT_EQ(ParseLiveItem(row.item, item), "");
        const std::string error = engine.ApplyLive(item, sink);
        if (*row.refusal == 0) {
            EXPECT_EQ(error, "");
            // Taken: the line rings, or the call-waiting alert starts.
            EXPECT_TRUE(engine.GetExchange().State() == CallState::Ringing || engine.GetExchange().SendingCallerId());
        } else {
            EXPECT_NE(error.find(row.refusal), std::string::npos) << error;
            EXPECT_EQ(engine.GetExchange().State(), before);
            EXPECT_EQ(engine.GetExchange().SendingCallerId(), sending);
        }
    }
}

TEST(Exchange, ALiveRouteReplacesTheOneForItsNumber)
{
    Exchange ex;
    ex.SetNumbers({{"555", RouteKind::Answer, 100, 1}, {"555", RouteKind::NoAnswer, 0, 2}});
    ASSERT_TRUE(ex.AddNumber({"555", RouteKind::Busy, 0, 0}));
    // Dial 555 on the exchange: off hook, DTMF digits on line transmit, then wait.
    std::vector<int16_t> tx(kBlockSamples), rx(kBlockSamples), ring(kBlockSamples);
    DtmfSource keys("555", 100, 100);
    ex.Loop(true, 0);
    SampleTime t = 0;
    for (; t < MsToSamples(5000); t += kBlockSamples) {
        std::fill(tx.begin(), tx.end(), 0);
        keys.MixInto(tx);
        ex.Process(tx, rx, ring, t);
    }
    EXPECT_EQ(ex.LastRouted(), "555");
    EXPECT_EQ(ex.State(), CallState::Busy);
}

struct EventLineCase {
    std::string name;
    EventLineFields fields;
    std::string expected;
};

const std::vector<uint8_t> kCidBytes = {0x80, 0x1E};

class EventLines : public ::testing::TestWithParam<EventLineCase> {};

TEST_P(EventLines, AreAsTvxsimPrintsThem) { EXPECT_EQ(FormatEventLine(GetParam().fields), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Table, EventLines,
    ::testing::Values(
        EventLineCase{"phone_off_hook", {120, 64, 0, TVX_SIDE_PHONE, {}, {}}, "120 64 Off Hook [Phone]"},
        EventLineCase{"line_on_hook", {5, 95, 0, TVX_SIDE_LINE, {}, {}}, "5 95 On Hook [Line ]"},
        EventLineCase{"digit_on_the_line", {7, 48, 5, TVX_SIDE_LINE, {}, {}}, "7 48 DTMF digit detected: 5 [Line ]"},
        EventLineCase{
            "digit_from_the_phone", {7, 48, 11, TVX_SIDE_PHONE, {}, {}}, "7 48 DTMF digit detected: # [Phone]"},
        EventLineCase{"raw_digit_without_a_side", {7, 48, 5, 0, {}, {}}, "7 48 DTMF digit detected: 5"},
        EventLineCase{
            "detail_first", {7, 80, 1, 0, "Parameter 135 set to 30000", {}}, "7 80 Parameter 135 set to 30000"},
        EventLineCase{"caller_id_bytes", {9, 225, 2, 0, {}, kCidBytes}, "9 225 Caller ID received, 2 bytes: 80 1E"},
        EventLineCase{"one_line", {1, 229, 0, 0, "Tone monitored: a\nb", {}}, "1 229 Tone monitored: a b"}),
    [](const auto &info) { return info.param.name; });

TEST(LevelTap, KeepsEachPointsLevelOverTheLast100Ms)
{
    LevelTap tap;
    std::array<int16_t, kBlockSamples> tone{}, silence{};
    const float peak = Dbm0ToPeak(-10.0f);
    for (size_t i = 0; i < tone.size(); ++i)
        tone[i] = static_cast<int16_t>(
            std::lround(peak * std::sin(2.0 * M_PI * 1000.0 * static_cast<double>(i) / kSampleRate)));
    const auto block = [&](bool lineRxTone) {
        BlockAudio b;
        b.lineTx = silence;
        b.lineRx = lineRxTone ? std::span<const int16_t>(tone) : std::span<const int16_t>(silence);
        b.earpiece = b.mic = b.pcIn = b.pcOut = silence;
        b.pcIn = tone;
        tap.OnBlock(b);
    };
    EXPECT_FLOAT_EQ(tap.Levels()[1], kLevelFloorDbm0);  // nothing heard yet
    for (int i = 0; i < 5; ++i)
        block(true);
    auto levels = tap.Levels();
    EXPECT_NEAR(levels[static_cast<size_t>(AudioPoint::LineRx)], -10.0f, 0.2f);
    EXPECT_NEAR(levels[static_cast<size_t>(AudioPoint::PcIn)], -10.0f, 0.2f);
    EXPECT_FLOAT_EQ(levels[static_cast<size_t>(AudioPoint::LineTx)], kLevelFloorDbm0);
    block(false);  // one block of five silent: a fifth of the power, 7 dB down
    EXPECT_NEAR(tap.Levels()[1], -10.0f + 10.0f * std::log10(0.8f), 0.2f);
    for (int i = 0; i < 4; ++i)
        block(false);
    EXPECT_FLOAT_EQ(tap.Levels()[1], kLevelFloorDbm0);
}

// The earpiece's level is what it sounds: the busy tone toward a phone whose
// handset is on hook is silence there.
TEST(LevelTap, TheEarpieceIsSilentOnHook)
{
    std::array<int16_t, kBlockSamples> tone{}, silence{};
    for (size_t i = 0; i < tone.size(); ++i)
        tone[i] = static_cast<int16_t>(std::lround(Dbm0ToPeak(-10.0f) * std::sin(2.0 * M_PI * i / 8.0)));
    for (const bool offHook : {false, true}) {
        LevelTap tap;
        BlockAudio b;
        b.lineTx = b.lineRx = b.mic = b.pcIn = b.pcOut = silence;
        b.earpiece = tone;
        b.phoneOffHook = offHook;
        for (int i = 0; i < 5; ++i)
            tap.OnBlock(b);
        const float level = tap.Levels()[static_cast<size_t>(AudioPoint::Earpiece)];
        if (offHook)
            EXPECT_NEAR(level, -10.0f, 0.2f);
        else
            EXPECT_FLOAT_EQ(level, kLevelFloorDbm0);
    }
}

struct FolderCase {
    std::string name;
    mode_t mode;
    bool otherOwner;
    bool symlink;
    bool file;
    std::string error;  // "" when accepted
};

class ControlFolder : public ::testing::TestWithParam<FolderCase> {};

TEST_P(ControlFolder, IsTheUsersAloneOrRefused)
{
    const FolderCase &t = GetParam();
    const std::string base = ::testing::TempDir() + "tvxctl_" + std::to_string(getpid()) + "_" + t.name;
    const std::string target = base + "_target";
    std::string error;
    if (t.file) {
        std::fclose(std::fopen(target.c_str(), "w"));
    } else {
        ASSERT_EQ(mkdir(target.c_str(), 0700), 0);
        ASSERT_EQ(chmod(target.c_str(), t.mode), 0);
    }
    std::string folder = target;
    if (t.symlink) {
        ASSERT_EQ(symlink(target.c_str(), base.c_str()), 0);
        folder = base;
    }
    const uid_t uid = t.otherOwner ? geteuid() + 1 : geteuid();
    const bool ok = CheckControlFolder(folder, uid, error);
    EXPECT_EQ(ok, t.error.empty()) << error;
    if (!t.error.empty()) {
        EXPECT_NE(error.find(t.error), std::string::npos) << error;
    }
    std::remove(base.c_str());
    rmdir(target.c_str());
    std::remove(target.c_str());
}

INSTANTIATE_TEST_SUITE_P(
    Table, ControlFolder,
    ::testing::Values(FolderCase{"private", 0700, false, false, false, ""},
                      FolderCase{"group_readable", 0750, false, false, false, "open to other users"},
                      FolderCase{"other_searchable", 0701, false, false, false, "open to other users"},
                      FolderCase{"other_owner", 0700, true, false, false, "another user"},
                      FolderCase{"symlink", 0700, false, true, false, "symbolic link"},
                      FolderCase{"plain_file", 0600, false, false, true, "not a directory"}),
    [](const auto &info) { return info.param.name; });

// XDG_RUNTIME_DIR and TMPDIR as set (null: unset); the path has "<uid>"
// replaced by the effective user's id.
struct PathCase {
    const char *name;
    const char *runtimeDir;
    const char *tmpDir;
    const char *path;
};

class ControlPathRule : public ::testing::TestWithParam<PathCase> {};

TEST_P(ControlPathRule, FollowsTheRuntimeFolderElseThePerUserTemporaryOne)
{
    const PathCase &c = GetParam();
    const char *saved = std::getenv("XDG_RUNTIME_DIR");
    const std::string keep = saved ? saved : "";
    const char *savedTmp = std::getenv("TMPDIR");
    const std::string keepTmp = savedTmp ? savedTmp : "";
    const auto set = [](const char *name, const char *value) {
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    };
    set("XDG_RUNTIME_DIR", c.runtimeDir);
    set("TMPDIR", c.tmpDir);
    std::string expected = c.path;
    if (const auto at = expected.find("<uid>"); at != std::string::npos)
        expected.replace(at, 5, std::to_string(geteuid()));
    EXPECT_EQ(ControlSocketPath(), expected);
    EXPECT_EQ(ControlSocketFolder() + "/control", expected);
    set("XDG_RUNTIME_DIR", saved ? keep.c_str() : nullptr);
    set("TMPDIR", savedTmp ? keepTmp.c_str() : nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ControlPathRule,
    ::testing::Values(PathCase{"runtime", "/run/user/77", "/var/tmp", "/run/user/77/tvxusb/control"},
                      PathCase{"runtime_slashes", "/run/user/77//", nullptr, "/run/user/77/tvxusb/control"},
                      PathCase{"runtime_empty", "", "/var/tmp", "/var/tmp/tvxusb-<uid>/control"},
                      PathCase{"tmpdir", nullptr, "/var/tmp", "/var/tmp/tvxusb-<uid>/control"},
                      PathCase{"tmpdir_slash", nullptr, "/var/tmp/", "/var/tmp/tvxusb-<uid>/control"},
                      PathCase{"tmpdir_empty", nullptr, "", "/tmp/tvxusb-<uid>/control"},
                      PathCase{"neither", nullptr, nullptr, "/tmp/tvxusb-<uid>/control"}),
    [](const auto &info) { return info.param.name; });

}  // namespace
