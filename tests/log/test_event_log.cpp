// The event log's trim rule, the lines the callback forms for each event in
// its own buffer, and the relay that carries them to the UI thread: checked
// against a plain model of the log that applies every event in turn.
#include "device/DeviceEventCallback.h"
#include "device/EventRelay.h"
#include "log/EventLog.h"
#include "tests/stub/StubLibrary.h"

#include <QCoreApplication>
#include <QObject>

#include <gtest/gtest.h>

#include <deque>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace tvx {
namespace {

// The log as the trim rule describes it, one event at a time.
struct PlainLog {
    std::deque<std::string> lines;  // top first

    void Own(const std::string &line) { lines.push_front(line); }
    void Event(const DeviceEventText &event)
    {
        if (lines.size() > 1000)
            lines.erase(lines.begin() + 1000);
        if (!event.heading.empty())
            lines.emplace_front(event.heading);
        lines.push_front(event.line);
    }
};

std::vector<std::string> LinesOf(const EventLog &log)
{
    std::vector<std::string> lines;
    for (int i = 0; i < log.Count(); ++i)
        lines.push_back(log.Line(i).toStdString());
    return lines;
}

std::vector<std::string> LinesOf(const PlainLog &model) { return {model.lines.begin(), model.lines.end()}; }

void Fill(EventLog &log, PlainLog &model, int lines)
{
    for (int i = lines - 1; i >= 0; --i) {  // "line 0" ends on top
        log.Insert(QStringLiteral("line %1").arg(i));
        model.Own("line " + std::to_string(i));
    }
}

DeviceEventText Numbered(int n, bool callerId) { return {callerId ? "Caller ID" : "", "event " + std::to_string(n)}; }

TEST(EventLogTest, ARunOfEventsAppliedAtOnceGivesTheLogOfEachInTurn)
{
    struct Row {
        int before;      // lines already in the log
        int events;      // device events in the run
        int callerIdOf;  // every n-th event has two lines (0: none, -1: at random)
        int deliverEvery;
    };
    const Row rows[] = {
        {1000, 1, 0, 1},
        {1001, 1, 0, 1},
        {1001, 1, 1, 1},
        {1005, 1, 0, 1},
        {0, 1, 1, 1},
        {990, 20, 0, 20},
        {900, 300, 0, 300},
        {0, 999, 0, 999},
        {0, 1001, 0, 1001},
        {0, 2500, 3, 2500},
        {500, 1500, 1, 1500},
        {1500, 600, 0, 600},
        {3000, 2200, 7, 64},
        {999, 4000, -1, 4000},
        {1, 5000, -1, 333},
        {1200, 3000, 2, 1},
    };
    std::mt19937 random(8);
    for (const Row &row : rows) {
        SCOPED_TRACE(testing::Message() << row.before << " lines, " << row.events << " events, caller ID "
                                        << row.callerIdOf << ", delivered every " << row.deliverEvery);
        EventLog log;
        PlainLog model;
        Fill(log, model, row.before);
        LogDelta delta;
        for (int n = 0; n < row.events; ++n) {
            const bool callerId =
                row.callerIdOf < 0 ? random() % 4 == 0 : row.callerIdOf > 0 && n % row.callerIdOf == 0;
            const DeviceEventText event = Numbered(n, callerId);
            model.Event(event);
            delta.Add(event.line, event.heading);
            if (delta.Events() == static_cast<uint64_t>(row.deliverEvery) || n + 1 == row.events) {
                // Never more held than the log keeps of the run.
                EXPECT_LE(delta.HeldDeletions(), LogDelta::kTrimLimit + 1);
                EXPECT_LE(delta.HeldLines(), std::min<size_t>(model.lines.size(), delta.Events() * 2));
                log.ApplyDeviceEvents(delta);
                delta = {};
                // A line of the tool's own between two deliveries.
                log.Insert(QStringLiteral("own %1").arg(n));
                model.Own("own " + std::to_string(n));
            }
        }
        ASSERT_EQ(LinesOf(log), LinesOf(model));
        EXPECT_EQ(log.rowCount(), log.Count());
    }
}

TEST(EventLogTest, ASingleLineFloodHoldsAThousandAndOneLinesWhateverItsLength)
{
    LogDelta delta;
    for (int n = 0; n < 200000; ++n)
        delta.Add("event " + std::to_string(n));
    EXPECT_EQ(delta.HeldLines(), LogDelta::kTrimLimit + 1);
    EXPECT_EQ(delta.HeldDeletions(), LogDelta::kTrimLimit + 1);
    EventLog log;
    log.ApplyDeviceEvents(delta);
    ASSERT_EQ(log.Count(), 1001);
    EXPECT_EQ(log.Line(0), "event 199999");
    EXPECT_EQ(log.Line(1000), "event 198999");
}

class FormatTest : public ::testing::Test {
protected:
    void SetUp() override { stub::Reset(); }
    void TearDown() override { stub::Reset(); }
};

const uint8_t kMdmf[] = {0x80, 0x1E, 0x01, 0x08, '0', '4',  '2',  '9', '2', '2', '3', '0', 0x02, 0x07, '7', '9',
                         '6',  '4',  '7',  '1',  '0', 0x07, 0x09, 'I', 'v', 'o', 'r', ' ', 'K',  'e',  'l', 'l'};
const ToneMonitorEntry kSilent{0, "Silent", 10000, 0, 0, 0};

TEST_F(FormatTest, EachEventFormsItsLinesAndAnUnnamedOneRepeatsTheBuffer)
{
    // An unnamed event is one the library writes no text for: the callback's
    // buffer keeps the last line formatted there, whatever formed it.
    struct Row {
        int32_t event;
        int32_t param;
        const void *payload;
        int32_t side;
        bool unnamed;
        const char *heading;
        const char *line;
    };
    const Row rows[] = {
        {64, 7, nullptr, 1, false, "", "Event 64 (7) [Phone]"},
        {300, 0, nullptr, 0, true, "", "Event 64 (7) [Phone]"},
        {64, 7, nullptr, 2, false, "", "Event 64 (7) [Line ]"},
        {95, 7, nullptr, 0, false, "", "Event 95 (7) [Common]"},
        {95, 7, nullptr, 3, false, "", "Event 95 (7) [Common]"},
        {95, 7, nullptr, -1, false, "", "Event 95 (7) [Common]"},
        {63, 7, nullptr, 1, false, "", "Event 63 (7)"},
        {96, 7, nullptr, 2, false, "", "Event 96 (7)"},
        {0, 7, nullptr, 1, false, "", "Event 0 (7)"},
        {229, 13, &kSilent, 0, false, "", "Tone Monitored: Silent "},
        {300, 0, nullptr, 1, true, "", "Tone Monitored: Silent "},
        {229, 0, nullptr, 0, false, "", "Tone Monitored:  "},
        {225, sizeof kMdmf, kMdmf, 0, false, "Caller ID", "Ivor Kell at 7964710 - 29/04 22:30"},
        {300, 0, nullptr, 0, true, "", "Ivor Kell at 7964710 - 29/04 22:30"},
        {228, 0, nullptr, 0, false, "Call Waiting Caller ID", "Unknown"},
        // The library's text is what stands in the buffer; the suffix goes on it.
        {64, 0, nullptr, 2, true, "", "Unknown [Line ]"},
        {95, 0, nullptr, 1, true, "", "Unknown [Line ] [Phone]"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(testing::Message() << "event " << row.event << ", side " << row.side);
        stub::Configure().unnamedEvents.clear();
        if (row.unnamed)
            stub::Configure().unnamedEvents.insert(row.event);
        const DeviceEventText text = FormatDeviceEvent(row.event, row.param, row.payload, row.side);
        EXPECT_EQ(text.heading, row.heading);
        EXPECT_EQ(text.line, row.line);
    }
}

TEST_F(FormatTest, TheBufferIsOneWhateverThreadTheLibraryCallsFrom)
{
    stub::Configure().unnamedEvents = {300};
    std::thread([] { FormatDeviceEvent(229, 13, &kSilent, 0); }).join();
    EXPECT_EQ(FormatDeviceEvent(300, 0, nullptr, 0).line, "Tone Monitored: Silent ");
}

TEST_F(FormatTest, ALibraryTextThatFillsTheBufferKeepsItsSuffixInsideIt)
{
    stub::Configure().eventText = std::string(300, 'x');  // the library writes 255 and the terminator
    const std::string line = FormatDeviceEvent(64, 0, nullptr, 2).line;
    EXPECT_EQ(line, std::string(255, 'x')) << "the suffix does not fit";
    stub::Configure().eventText = std::string(240, 'y');
    EXPECT_EQ(FormatDeviceEvent(95, 0, nullptr, 1).line, std::string(240, 'y') + " [Phone]");
    stub::Configure().eventText = std::string(250, 'z');
    EXPECT_EQ(FormatDeviceEvent(64, 0, nullptr, 0).line, std::string(250, 'z') + " [Com");
}

// A receiver for the relay, with the lines it received.
struct Receiver {
    QObject object;
    EventLog log;
    int deliveries = 0;
    void *Open()
    {
        return EventRelay::Instance().Open(&object, [this](const LogDelta &delta) {
            ++deliveries;
            log.ApplyDeviceEvents(delta);
        });
    }
};

// Posts from a thread of the library's own, as it streams events.
void PostFromLibraryThread(const void *context, const std::vector<std::string> &lines)
{
    std::thread([&] {
        for (const std::string &line : lines)
            EventRelay::Instance().Post(context, {"", line});
    }).join();
}

TEST(EventRelayTest, DeliversInOrderOnlyToTheOpenSession)
{
    EventRelay &relay = EventRelay::Instance();
    Receiver receiver;
    void *first = receiver.Open();
    PostFromLibraryThread(first, {"a"});
    PostFromLibraryThread(nullptr, {"no context"});
    PostFromLibraryThread(&receiver, {"another context"});
    PostFromLibraryThread(first, {"b"});
    EXPECT_EQ(receiver.log.Count(), 0) << "delivery happens on the receiver's thread, later";
    QCoreApplication::processEvents();
    EXPECT_EQ(LinesOf(receiver.log), std::vector<std::string>({"b", "a"}));

    // Closing hands over what is queued; later posts for it go nowhere,
    // also once a session opens again for the same receiver.
    PostFromLibraryThread(first, {"queued at close"});
    relay.Close(first);
    EXPECT_EQ(receiver.log.Line(0), "queued at close");
    PostFromLibraryThread(first, {"after close"});
    void *second = receiver.Open();
    EXPECT_NE(second, first);
    PostFromLibraryThread(first, {"closed session"});
    PostFromLibraryThread(second, {"c"});
    QCoreApplication::processEvents();
    EXPECT_EQ(LinesOf(receiver.log), std::vector<std::string>({"c", "queued at close", "b", "a"}));
    relay.Close(second);
}

TEST(EventRelayTest, AStalledReceiverGetsTheLogOfEveryEventInBoundedMemory)
{
    EventRelay &relay = EventRelay::Instance();
    Receiver receiver;
    PlainLog model;
    Fill(receiver.log, model, 1500);
    void *context = receiver.Open();
    constexpr int kEvents = 50000;
    // Early caller-ID events push lines of the log past index 1000 for good.
    const auto event = [](int n) { return Numbered(n, n < 500 && n % 5 == 0); };
    std::thread library([&] {
        for (int n = 0; n < kEvents; ++n)
            relay.Post(context, event(n));
    });
    library.join();  // the UI thread took no event meanwhile
    for (int n = 0; n < kEvents; ++n)
        model.Event(event(n));
    EXPECT_LE(relay.PendingSize(), 2 * (LogDelta::kTrimLimit + 1));
    QCoreApplication::processEvents();
    EXPECT_EQ(receiver.deliveries, 1);
    EXPECT_EQ(receiver.log.Line(0), QStringLiteral("event %1").arg(kEvents - 1));
    EXPECT_EQ(LinesOf(receiver.log), LinesOf(model));
    relay.Close(context);
}

TEST(EventRelayTest, AnEventOnTheReceiversThreadGoesInAtOnceAfterTheQueuedOnes)
{
    EventRelay &relay = EventRelay::Instance();
    Receiver receiver;
    void *context = receiver.Open();
    PostFromLibraryThread(context, {"queued 1", "queued 2"});
    relay.Post(context, {"", "inside a library call"});
    EXPECT_EQ(LinesOf(receiver.log), std::vector<std::string>({"inside a library call", "queued 2", "queued 1"}));
    receiver.log.Insert("the handler's line after the call");
    QCoreApplication::processEvents();
    EXPECT_EQ(receiver.log.Line(0), "the handler's line after the call") << "nothing queued is left to come";
    relay.Close(context);
}

}  // namespace
}  // namespace tvx
