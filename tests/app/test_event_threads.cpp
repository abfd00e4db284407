// Device events from the library's own thread and from inside its calls:
// order, a stalled UI thread under a flood, closing, reopening or destroying
// the dialog while events stream in, and sessions that never mix.
#include "device/EventRelay.h"
#include "tests/support/MainDialogFixture.h"

#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <new>
#include <thread>

namespace tvx::test {
namespace {

class EventThreadTest : public MainDialogTest {};

stub::Event Numbered(uint64_t n) { return {100, static_cast<int32_t>(n), {}, 0}; }

QString NumberedLine(uint64_t n) { return QStringLiteral("Event 100 (%1)").arg(n); }

// Two countries, so that each of many opens fills its lists quickly.
struct TwoCountries final : CountrySource {
    std::optional<std::vector<CountryEntry>> Countries() override
    {
        return std::vector<CountryEntry>{{"44", "United Kingdom"}, {"1", "Canada"}};
    }
};

TEST_F(EventThreadTest, LinesArriveInTheOrderTheLibrarySentThem)
{
    Create();
    const int identity = Lines().size();
    constexpr int kEvents = 3000;
    stub::StartEventStream(Numbered, kEvents, false);
    ASSERT_TRUE(
        PumpUntil([&] { return stub::EventsFired() == kEvents && Dialog().Log().Line(0) == NumberedLine(2999); }));
    stub::StopEventStream();
    Pump();

    // Settled at 1001 lines; every line below the top is the event before it.
    ASSERT_EQ(Dialog().Log().Count(), 1001);
    for (int i = 0; i < 1001 - identity; ++i)
        ASSERT_EQ(Dialog().Log().Line(i), NumberedLine(kEvents - 1 - i)) << i;
}

TEST_F(EventThreadTest, AFloodWhileADialStringBlocksTheUIThreadLeavesTheNewestLinesInBoundedMemory)
{
    constexpr uint64_t kEvents = 400000;
    size_t mostPending = 0;
    // The pause of the dial string holds the UI thread until the flood is
    // over, as a long library call would, watching what the relay holds
    // meanwhile.
    seams_.dialPause = [&](int, const std::function<void()> &resume) {
        while (stub::EventsFired() < kEvents) {
            mostPending = std::max(mostPending, EventRelay::Instance().PendingSize());
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        mostPending = std::max(mostPending, EventRelay::Instance().PendingSize());
        resume();
    };
    Create();
    Control<QLineEdit>(1047)->setText("1,");
    stub::StartEventStream(Numbered, kEvents, false);
    Control<QPushButton>(1067)->click();
    ASSERT_TRUE(PumpUntil([&] { return Dialog().Log().Line(0) == NumberedLine(kEvents - 1); }));

    EXPECT_LE(mostPending, 2 * (LogDelta::kTrimLimit + 1)) << "a bounded hold, however long the stall";
    ASSERT_EQ(Dialog().Log().Count(), 1001);
    for (int i = 0; i < 1001; ++i)
        ASSERT_EQ(Dialog().Log().Line(i), NumberedLine(kEvents - 1 - i)) << "no line dropped or invented at " << i;
}

TEST_F(EventThreadTest, AnEventInsideALibraryCallLandsBelowTheLineTheHandlerWritesAfterIt)
{
    Create();
    // Queued from the library's thread, not yet taken by the UI thread.
    std::thread([] {
        stub::FireEvent(100, 1, nullptr, 0);
        stub::FireEvent(100, 2, nullptr, 0);
    }).join();
    stub::Configure().eventInside["ScE2Rom"] = Numbered(3);
    Choose(32836);  // "ReConnect": ScE2Rom, then its line
    EXPECT_EQ(Lines().mid(0, 4),
              QStringList({"Device reconnecting ...", NumberedLine(3), NumberedLine(2), NumberedLine(1)}));
    Pump();
    EXPECT_EQ(Lines().at(0), "Device reconnecting ...") << "nothing left queued to come above it";
}

// The soak: CI runs it under ThreadSanitizer.
TEST_F(EventThreadTest, DriverSwitchedOffAndOnAThousandTimesWhileEventsFloodThenClosed)
{
    seams_.countries = std::make_shared<TwoCountries>();
    Create();
    stub::StartEventStream(
        [](uint64_t n) {
            return n % 7 == 0 ? stub::Event{225, 2, {0x07, 0x00}, 0} : stub::Event{64, 1, {}, int32_t(n % 3)};
        },
        0,
        false);
    PumpUntil([] { return stub::EventsFired() > 100; });
    for (int i = 0; i < 1000; ++i) {
        Choose(32826);
        Pump();
        Choose(32826);
        Pump();
    }
    Destroy();  // closes and shuts down while the stream still runs
    stub::StopEventStream();
    EXPECT_EQ(stub::CountOf("ScClose"), 1001);
    EXPECT_EQ(stub::CountOf("ScShutdown"), 1001);
    EXPECT_GT(stub::EventsFired(), 0u);
}

TEST_F(EventThreadTest, ClosingWhileALibraryJoinsItsFloodingThreadFinishes)
{
    for (int round = 0; round < 5; ++round) {
        stub::Reset();
        Create().show();
        stub::StartEventStream(
            [](uint64_t n) {
                return n % 7 == 0 ? stub::Event{225, 2, {0x07, 0x00}, 0} : stub::Event{64, 1, {}, int32_t(n % 3)};
            },
            0,
            true);
        PumpUntil([] { return stub::EventsFired() > 2000; });
        Destroy();  // ScClose joins the event thread, which is inside the callback
        EXPECT_EQ(stub::CountOf("ScClose"), 1);
    }
}

TEST_F(EventThreadTest, ACallbackOfAClosedSessionReachesNoLaterOneEvenAtTheSameAddress)
{
    // A library that ignores ScShutdown and calls once more with the context
    // it was given: nothing may reach the log, whether the driver was
    // switched off and on again or a new dialog stands where the old one did.
    alignas(CControlMonitorDlg) unsigned char storage[sizeof(CControlMonitorDlg)];
    auto *dialog = new (storage) CControlMonitorDlg;
    void *closedContext = stub::Context();
    const ScEventCallback callback = stub::Callback();
    dialog->Menu().Item(32826)->trigger();
    dialog->Menu().Item(32826)->trigger();
    EXPECT_EQ(callback(100, 1, closedContext, nullptr, 0, 0), 0);
    Pump();
    EXPECT_FALSE(dialog->Log().Count() > 0 && dialog->Log().Line(0) == NumberedLine(1));
    void *secondContext = stub::Context();
    dialog->~CControlMonitorDlg();

    dialog = new (storage) CControlMonitorDlg;
    EXPECT_NE(stub::Context(), closedContext);
    EXPECT_NE(stub::Context(), secondContext);
    for (void *stale : {closedContext, secondContext})
        EXPECT_EQ(callback(100, 2, stale, nullptr, 0, 0), 0);
    std::thread([&] { callback(100, 3, secondContext, nullptr, 0, 0); }).join();
    Pump();
    EXPECT_EQ(dialog->Log().Count(), 4) << "the identity lines only";
    dialog->~CControlMonitorDlg();
}

}  // namespace
}  // namespace tvx::test
