// The exchange's calls over a far line, against a scripted far line in the
// test's hands: what each of its events does to the call, and what the
// exchange asks of it (the commands it records), block by block and exactly.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <deque>
#include <string>
#include <vector>

#include "simulator/engine/FarLine.h"
#include "simulator/logic/EventNames.h"
#include "tests/simulator/SignalProbe.h"

namespace {

using namespace tvxsim;

// A far line whose events the test pushes and whose commands it reads; its
// far party's voice is a 1 kHz tone once `voice` is set.
class ScriptedLine : public FarLine {
public:
    FarLinePlan plan;
    std::deque<FarLineEvent> events;
    std::vector<std::string> commands;  // "Alert 2", "Hold 2 on", "Dial 5551234", ...
    bool voice = false;
    int speaks = 0;
    uint32_t nextDial = 1;

    void Push(FarLineEventKind kind, FarCallId call, char digit = 0)
    {
        FarLineEvent e;
        e.kind = kind;
        e.call = call;
        e.digit = digit;
        if (kind == FarLineEventKind::Incoming) {
            e.caller.name = "Ann Other";
            e.caller.number = "5550123";
            e.caller.date = "12091830";
        }
        events.push_back(e);
    }
    const FarLinePlan &Plan() const override { return plan; }
    bool Next(FarLineEvent &event) override
    {
        if (events.empty())
            return false;
        event = events.front();
        events.pop_front();
        return true;
    }
    FarCallId Dial(std::string_view number) override
    {
        commands.push_back("Dial " + std::string(number));
        const FarCallId id = nextDial;
        nextDial += 2;
        return id;
    }
    void Alert(FarCallId c) override { Say("Alert", c); }
    void Answer(FarCallId c) override { Say("Answer", c); }
    void Refuse(FarCallId c) override { Say("Refuse", c); }
    void HangUp(FarCallId c) override { Say("HangUp", c); }
    void Hold(FarCallId c, bool held) override { Say("Hold", c, held ? " on" : " off"); }
    void Flash(FarCallId c) override { Say("Flash", c); }
    void DigitStart(FarCallId c, char digit) override { Say("DigitStart", c, std::string(" ") + digit); }
    void DigitEnd(FarCallId c) override { Say("DigitEnd", c); }
    void Hear(FarCallId, std::span<int16_t> out) override
    {
        for (size_t i = 0; i < out.size(); ++i)
            out[i] = voice ? static_cast<int16_t>(std::lround(6000.0 * std::sin(2.0 * M_PI * 1000.0 * i / 8000.0))) : 0;
    }
    void Speak(FarCallId, std::span<const int16_t>) override { ++speaks; }

private:
    void Say(const char *what, FarCallId c, const std::string &more = {})
    {
        commands.push_back(std::string(what) + " " + std::to_string(c) + more);
    }
};

struct LineRig : simtest::Rig {
    ScriptedLine line;
    LineRig() { engine.SetFarLine(&line); }
    // Applies a scenario item now ("phone offhook").
    void Do(const std::string &item)
    {
        ScenarioItem parsed;
        ASSERT_EQ(ParseUntimedItem(item, parsed), "") << item;
        ASSERT_EQ(engine.ApplyLive(parsed, [](EngineEvent) { return true; }), "") << item;
    }
    CallState State() { return engine.GetExchange().State(); }
    bool Said(const std::string &command) const
    {
        return std::find(line.commands.begin(), line.commands.end(), command) != line.commands.end();
    }
    // Lifts the handset on a call coming in as `call`, and lets it connect.
    void AnswerIncoming(FarCallId call)
    {
        line.Push(FarLineEventKind::Incoming, call);
        RunMs(100);
        Do("phone offhook");
        RunMs(200);
    }
};

TEST(FarLine, ACallComingInRingsWithCallerIdAndIsAnsweredByLifting)
{
    LineRig rig;
    rig.line.Push(FarLineEventKind::Incoming, 2);
    rig.RunMs(6000);
    EXPECT_TRUE(rig.Said("Alert 2"));
    EXPECT_EQ(rig.State(), CallState::Ringing);
    ASSERT_EQ(rig.EventsOf(kEvCallerId).size(), 1u);  // the country's caller ID, as far call sends it
    EXPECT_FALSE(rig.EventsOf(kEvLineRing).empty());
    EXPECT_FALSE(rig.Said("Answer 2"));
    rig.Do("phone offhook");
    rig.RunMs(200);
    EXPECT_TRUE(rig.Said("Answer 2"));
    EXPECT_EQ(rig.State(), CallState::Connected);
    EXPECT_GT(rig.line.speaks, 0);  // line transmit goes to the call
    rig.line.voice = true;
    rig.RunMs(200);
    EXPECT_GT(simtest::LevelAt(simtest::Slice(rig.audio.lineRx, 6300, 100), 1000), -30.0);  // its far party heard
    rig.Do("phone onhook");
    rig.RunMs(2000);
    EXPECT_TRUE(rig.Said("HangUp 2"));
    EXPECT_EQ(rig.State(), CallState::Idle);
}

// What the far line's events do to a call in each state.
struct EventCase {
    const char *what;
    bool connected;  // the call is answered first
    FarLineEventKind kind;
    CallState after;
};
void PrintTo(const EventCase &c, std::ostream *os) { *os << c.what; }

class FarLineEvents : public ::testing::TestWithParam<EventCase> {};

TEST_P(FarLineEvents, MoveTheCallAsAnExchangeDoes)
{
    const EventCase &c = GetParam();
    LineRig rig;
    rig.line.Push(FarLineEventKind::Incoming, 2);
    rig.RunMs(100);
    if (c.connected) {
        rig.Do("phone offhook");
        rig.RunMs(100);
    }
    rig.line.Push(c.kind, 2);
    rig.RunMs(100);
    EXPECT_EQ(rig.State(), c.after) << CallStateName(rig.State());
    EXPECT_FALSE(rig.Said("HangUp 2"));  // the far end ended it: nothing to send back
    EXPECT_FALSE(rig.engine.GetExchange().Ringing() && c.after != CallState::Ringing);
}

INSTANTIATE_TEST_SUITE_P(
    Events, FarLineEvents,
    ::testing::Values(EventCase{"cancelled while ringing", false, FarLineEventKind::Cancelled, CallState::Idle},
                      EventCase{"hung up while ringing", false, FarLineEventKind::HungUp, CallState::Idle},
                      EventCase{"hung up in the call: busy tone", true, FarLineEventKind::HungUp, CallState::Cleared},
                      EventCase{"a cancel after the answer changes nothing",
                                true,
                                FarLineEventKind::Cancelled,
                                CallState::Connected}),
    [](const auto &info) { return std::to_string(info.index); });

// A second call during a connected one waits with its alert; a flash takes
// it and holds the first, another swaps them back; a third is refused; the
// hook going down with one held rings the line again for it, and lifting
// takes it off hold.
TEST(FarLine, CallWaitingHoldAndTheLineRungAgain)
{
    LineRig rig;
    rig.AnswerIncoming(2);
    ASSERT_EQ(rig.State(), CallState::Connected);
    rig.line.Push(FarLineEventKind::Incoming, 4);
    rig.RunMs(100);
    EXPECT_TRUE(rig.Said("Alert 4"));
    EXPECT_TRUE(rig.engine.GetExchange().SendingCallerId());  // the call-waiting alert
    EXPECT_EQ(rig.engine.GetExchange().FarWaiting(), 4u);
    rig.line.Push(FarLineEventKind::Incoming, 6);
    rig.RunMs(1000);
    EXPECT_TRUE(rig.Said("Refuse 6"));

    rig.Do("phone flash");
    rig.RunMs(1000);
    EXPECT_TRUE(rig.Said("Hold 2 on"));
    EXPECT_TRUE(rig.Said("Answer 4"));
    EXPECT_EQ(rig.engine.GetExchange().FarCall(), 4u);
    EXPECT_EQ(rig.engine.GetExchange().FarHeld(), 2u);
    EXPECT_EQ(rig.State(), CallState::Connected);

    rig.line.commands.clear();
    rig.Do("phone flash");
    rig.RunMs(1000);
    EXPECT_EQ(rig.line.commands, (std::vector<std::string>{"Hold 4 on", "Hold 2 off"}));
    EXPECT_EQ(rig.engine.GetExchange().FarCall(), 2u);

    rig.line.commands.clear();
    rig.Do("phone onhook");
    rig.RunMs(2000);
    EXPECT_EQ(rig.line.commands, (std::vector<std::string>{"HangUp 2"}));
    EXPECT_EQ(rig.State(), CallState::Ringing);  // the held call rings the line again
    EXPECT_EQ(rig.engine.GetExchange().FarCall(), 4u);
    rig.Do("phone offhook");
    rig.RunMs(100);
    EXPECT_EQ(rig.line.commands, (std::vector<std::string>{"HangUp 2", "Hold 4 off"}));
    EXPECT_EQ(rig.State(), CallState::Connected);
}

// With the flash the far end's own (flash = info) a flash goes there and a
// second call is refused: the far end handles its calls itself.
TEST(FarLine, AFlashRelayedGoesToTheFarEnd)
{
    LineRig rig;
    rig.line.plan.relayFlash = true;
    rig.AnswerIncoming(2);
    rig.line.Push(FarLineEventKind::Incoming, 4);
    rig.RunMs(100);
    EXPECT_TRUE(rig.Said("Refuse 4"));
    rig.Do("phone flash");
    rig.RunMs(1000);
    EXPECT_TRUE(rig.Said("Flash 2"));
    EXPECT_FALSE(rig.Said("Hold 2 on"));
    EXPECT_EQ(rig.State(), CallState::Connected);
}

// A call going out: the digits dialled, ended by '#', go to the far line at
// once; its answers move the call; a number of the line's own stays here.
struct OutgoingCase {
    const char *what;
    std::vector<FarLineEventKind> answers;
    CallState after;
};
void PrintTo(const OutgoingCase &c, std::ostream *os) { *os << c.what; }

class FarLineOutgoing : public ::testing::TestWithParam<OutgoingCase> {};

TEST_P(FarLineOutgoing, FollowsTheFarEndsAnswers)
{
    const OutgoingCase &c = GetParam();
    LineRig rig;
    rig.Do("phone offhook");
    rig.RunMs(300);
    rig.Do("phone keys \"5551234#\"");
    rig.RunMs(2000);  // eight keys of 200 ms, then no inter-digit wait
    EXPECT_EQ(rig.line.commands, (std::vector<std::string>{"Dial 5551234"}));
    EXPECT_EQ(rig.State(), CallState::Calling);
    for (FarLineEventKind answer : c.answers)
        rig.line.Push(answer, 1);
    rig.RunMs(100);
    EXPECT_EQ(rig.State(), c.after) << CallStateName(rig.State());
}

INSTANTIATE_TEST_SUITE_P(
    Answers, FarLineOutgoing,
    ::testing::Values(
        OutgoingCase{"no answer yet: silence", {}, CallState::Calling},
        OutgoingCase{"180: ring-back", {FarLineEventKind::Ringing}, CallState::RingBack},
        OutgoingCase{"200", {FarLineEventKind::Ringing, FarLineEventKind::Answered}, CallState::Connected},
        OutgoingCase{"486: busy", {FarLineEventKind::Busy}, CallState::Busy},
        OutgoingCase{"404: reorder", {FarLineEventKind::Ringing, FarLineEventKind::Failed}, CallState::Reorder}),
    [](const auto &info) { return std::to_string(info.index); });

TEST(FarLine, NoAnswerIn32SecondsIsCancelledWithReorder)
{
    LineRig rig;
    rig.Do("phone offhook");
    rig.RunMs(300);
    rig.Do("phone keys \"42#\"");
    rig.RunMs(800);
    rig.line.Push(FarLineEventKind::Ringing, 1);
    rig.RunMs(31000);
    EXPECT_EQ(rig.State(), CallState::RingBack);
    EXPECT_FALSE(rig.Said("HangUp 1"));
    rig.RunMs(1500);
    EXPECT_TRUE(rig.Said("HangUp 1"));
    EXPECT_EQ(rig.State(), CallState::Reorder);
}

TEST(FarLine, ALocalNumberStaysOnTheSimulatedExchange)
{
    LineRig rig;
    rig.line.plan.localNumbers = {"42"};
    rig.Load("number \"42\" busy\n");
    rig.Do("phone offhook");
    rig.RunMs(300);
    rig.Do("phone keys \"42\"");
    rig.RunMs(4000);  // the inter-digit time
    EXPECT_TRUE(rig.line.commands.empty());
    EXPECT_EQ(rig.State(), CallState::Busy);
}

// Digits both ways in a call: the handset's keys go to the far line as they
// start and end; the far end's digits play onto line receive, where the
// adapter hears them.
TEST(FarLine, DigitsBothWays)
{
    LineRig rig;
    rig.AnswerIncoming(2);
    rig.line.commands.clear();
    rig.Do("phone keys \"5\"");
    rig.RunMs(400);
    EXPECT_EQ(rig.line.commands, (std::vector<std::string>{"DigitStart 2 5", "DigitEnd 2"}));

    rig.line.Push(FarLineEventKind::DigitStart, 2, '7');
    rig.RunMs(200);
    rig.line.Push(FarLineEventKind::DigitEnd, 2);
    rig.RunMs(300);
    std::vector<int32_t> heard;  // the keys the adapter heard on the line
    for (const EngineEvent &e : rig.EventsOf(kEvDtmfDetected))
        if (e.side == TVX_SIDE_LINE)
            heard.push_back(e.param);
    EXPECT_EQ(heard, (std::vector<int32_t>{7}));
}

// A key still held when the call stops taking digits (the loop opens for a
// flash, a call-waiting caller ID begins) ends at the far end there and
// then, on the call it began on.
struct HeldKeyCase {
    const char *what;
    void (*interrupt)(LineRig &);
};

class FarLineHeldKey : public ::testing::TestWithParam<HeldKeyCase> {};

TEST_P(FarLineHeldKey, EndsOnTheCallItBeganOn)
{
    LineRig rig;
    rig.AnswerIncoming(2);
    rig.line.commands.clear();
    rig.Do("phone keys \"5\"");
    rig.RunMs(60);  // heard and told; the key stays down for 100 ms
    ASSERT_EQ(rig.line.commands, (std::vector<std::string>{"DigitStart 2 5"}));
    GetParam().interrupt(rig);
    rig.RunMs(20);
    EXPECT_TRUE(rig.Said("DigitEnd 2"));
    rig.RunMs(1500);
    EXPECT_EQ(std::count(rig.line.commands.begin(), rig.line.commands.end(), "DigitEnd 2"), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Interruptions, FarLineHeldKey,
    ::testing::Values(HeldKeyCase{"flash", [](LineRig &rig) { rig.Do("phone flash"); }},
                      HeldKeyCase{"call_waiting", [](LineRig &rig) { rig.line.Push(FarLineEventKind::Incoming, 4); }}),
    [](const auto &info) { return std::string(info.param.what); });

// Early media: the local ring-back plays until the far end's audio arrives,
// then the far end's own is heard instead.
TEST(FarLine, EarlyMediaReplacesTheLocalRingBackOnceItArrives)
{
    LineRig rig;
    rig.Do("phone offhook");
    rig.RunMs(300);
    rig.Do("phone keys \"5551234#\"");
    rig.RunMs(2000);
    rig.line.Push(FarLineEventKind::EarlyMedia, 1);
    rig.RunMs(500);
    EXPECT_EQ(rig.State(), CallState::RingBack);
    const size_t before = rig.audio.lineRx.size();
    const double ringBack = simtest::LevelAt(simtest::Slice(rig.audio.lineRx, SamplesToMs(before) - 300, 200), 400);
    EXPECT_GT(ringBack, -40.0);  // the country's (44) ring-back, 400 + 450 Hz
    rig.line.voice = true;
    rig.line.Push(FarLineEventKind::MediaStarted, 1);
    rig.RunMs(500);
    const int64_t at = SamplesToMs(rig.audio.lineRx.size()) - 300;
    EXPECT_GT(simtest::LevelAt(simtest::Slice(rig.audio.lineRx, at, 200), 1000), -30.0);
    EXPECT_LT(simtest::LevelAt(simtest::Slice(rig.audio.lineRx, at, 200), 400), -60.0);
}

}  // namespace
