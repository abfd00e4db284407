// The event log's trim rule and the lines the callback forms for each event.
#include "device/DeviceEventCallback.h"
#include "device/EventLog.h"
#include "device/EventRelay.h"
#include "tests/stub/StubLibrary.h"

#include <QCoreApplication>
#include <QObject>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace tvx {
namespace {

std::vector<DeviceEventText> Events(int count)
{
    std::vector<DeviceEventText> events;
    for (int i = 0; i < count; ++i)
        events.push_back({{}, QStringLiteral("event %1").arg(i)});
    return events;
}

void Fill(EventLog &log, int lines)
{
    for (int i = lines - 1; i >= 0; --i)
        log.Insert(QStringLiteral("line %1").arg(i));  // "line 0" ends on top
}

TEST(EventLogTest, TrimRuleDeletesOneLineAtIndex1000PerDeviceEvent)
{
    struct Row {
        int before;
        int events;
        bool callerId;
        int after;
        const char *firstGone;  // the line no longer in the log, or nullptr
    };
    const Row rows[] = {
        {1000, 1, false, 1001, nullptr},
        {1001, 1, false, 1001, "line 1000"},
        {1001, 1, true, 1002, "line 1000"},
        {1005, 1, false, 1005, "line 1000"},
        {0, 1, true, 2, nullptr},
        {990, 20, false, 1001, "line 989"},   // settles at 1001 lines
        {900, 300, false, 1001, "line 800"},  // a batch large enough for a model reset
    };
    for (const Row &row : rows) {
        EventLog log;
        Fill(log, row.before);
        std::vector<DeviceEventText> events = Events(row.events);
        if (row.callerId)
            events.back().heading = "Caller ID";
        log.ApplyDeviceEvents(events);
        EXPECT_EQ(log.Count(), row.after) << row.before << "+" << row.events;
        QStringList all;
        for (int i = 0; i < log.Count(); ++i)
            all << log.Line(i);
        if (row.firstGone) {
            EXPECT_FALSE(all.contains(row.firstGone)) << row.before;
        }
        EXPECT_EQ(log.Line(0), QStringLiteral("event %1").arg(row.events - 1)) << "newest on top";
    }
}

TEST(EventLogTest, With1005LinesTheFourBelowTheTrimmedLineStay)
{
    EventLog log;
    Fill(log, 1005);
    std::vector<DeviceEventText> one = Events(1);
    log.ApplyDeviceEvents(one);
    EXPECT_EQ(log.Line(1000), "line 999");  // shifted down by the new line
    EXPECT_EQ(log.Line(1001), "line 1001");
    EXPECT_EQ(log.Line(1004), "line 1004");
}

TEST(EventLogTest, OwnLinesAreNeverTrimmed)
{
    EventLog log;
    Fill(log, 1500);
    log.Insert("mine");
    EXPECT_EQ(log.Count(), 1501);
    EXPECT_EQ(log.rowCount(), 1501);
    EXPECT_EQ(log.data(log.index(0), Qt::DisplayRole).toString(), "mine");
}

class FormatTest : public ::testing::Test {
protected:
    void SetUp() override { stub::Reset(); }
};

TEST_F(FormatTest, SidedEventsGetTheirSuffix)
{
    struct Row {
        int32_t event;
        int32_t side;
        const char *line;
    };
    const Row rows[] = {
        {64, 1, "Event 64 (7) [Phone]"},
        {64, 2, "Event 64 (7) [Line ]"},
        {95, 0, "Event 95 (7) [Common]"},
        {95, 3, "Event 95 (7) [Common]"},
        {95, -1, "Event 95 (7) [Common]"},
        {63, 1, "Event 63 (7)"},
        {96, 2, "Event 96 (7)"},
        {0, 1, "Event 0 (7)"},
    };
    for (const Row &row : rows)
        EXPECT_EQ(FormatDeviceEvent(row.event, 7, nullptr, row.side).line, row.line) << row.event << "/" << row.side;
}

TEST_F(FormatTest, ToneMonitoredShowsTheRecordsNameWithATrailingSpace)
{
    const ToneMonitorEntry silent{0, "Silent", 10000, 0, 0, 0};
    EXPECT_EQ(FormatDeviceEvent(229, 13, &silent, 0).line, "Tone Monitored: Silent ");
    const ToneMonitorEntry unnamed{0, nullptr, 0, 0, 0, 0};
    EXPECT_EQ(FormatDeviceEvent(229, 0, &unnamed, 0).line, "Tone Monitored:  ");
    EXPECT_EQ(FormatDeviceEvent(229, 0, nullptr, 0).line, "Tone Monitored:  ");
}

TEST_F(FormatTest, CallerIdEventsGetAHeadingBelowTheDecodedLine)
{
    const uint8_t mdmf[] = {0x80, 0x1E, 0x01, 0x08, '0', '4',  '2',  '9', '2', '2', '3', '0', 0x02, 0x07, '7', '9',
                            '6',  '4',  '7',  '1',  '0', 0x07, 0x09, 'I', 'v', 'o', 'r', ' ', 'K',  'e',  'l', 'l'};
    const DeviceEventText callerId = FormatDeviceEvent(225, sizeof mdmf, mdmf, 0);
    EXPECT_EQ(callerId.heading, "Caller ID");
    EXPECT_EQ(callerId.line, "Ivor Kell at 7964710 - 29/04 22:30");
    const DeviceEventText waiting = FormatDeviceEvent(228, 0, nullptr, 0);
    EXPECT_EQ(waiting.heading, "Call Waiting Caller ID");
    EXPECT_EQ(waiting.line, "Unknown");

    EventLog log;
    std::vector<DeviceEventText> events{waiting};
    log.ApplyDeviceEvents(events);
    EXPECT_EQ(log.Line(0), "Unknown");
    EXPECT_EQ(log.Line(1), "Call Waiting Caller ID");
}

TEST(EventRelayTest, DeliversInOrderOnlyToTheAttachedContext)
{
    QObject receiver;
    int context = 0, other = 0;
    std::vector<QString> seen;
    EventRelay &relay = EventRelay::Instance();
    relay.Attach(&context, &receiver, [&](std::vector<DeviceEventText> &batch) {
        for (const DeviceEventText &event : batch)
            seen.push_back(event.line);
    });
    relay.Post(&context, {{}, "a"});
    relay.Post(&other, {{}, "stale"});
    relay.Post(&context, {{}, "b"});
    EXPECT_TRUE(seen.empty()) << "delivery happens on the receiver's thread, later";
    QCoreApplication::processEvents();
    EXPECT_EQ(seen, std::vector<QString>({"a", "b"}));

    relay.Post(&context, {{}, "after detach"});
    relay.Detach(&context);
    QCoreApplication::processEvents();
    EXPECT_EQ(seen.size(), 2u);
}

TEST(EventRelayTest, AStalledReceiverCountsTheEventsPastTheCapInOneLine)
{
    QObject receiver;
    int context = 0;
    size_t delivered = 0;
    QString last;
    EventRelay &relay = EventRelay::Instance();
    relay.Attach(&context, &receiver, [&](std::vector<DeviceEventText> &batch) {
        delivered += batch.size();
        last = batch.back().line;
    });
    for (size_t i = 0; i < EventRelay::kMaxPending + 3; ++i)
        relay.Post(&context, {{}, QStringLiteral("e")});
    EXPECT_EQ(relay.DroppedSinceLastDelivery(), 3u);
    QCoreApplication::processEvents();
    EXPECT_EQ(delivered, EventRelay::kMaxPending + 1);
    EXPECT_EQ(last, "3 device events were not shown: the log could not keep up.");
    EXPECT_EQ(relay.DroppedSinceLastDelivery(), 0u);
    relay.Detach(&context);
}

}  // namespace
}  // namespace tvx
