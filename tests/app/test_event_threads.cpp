// Device events from the library's own thread: order, trimming, and closing,
// reopening or destroying the dialog while events stream in.
#include "device/EventRelay.h"
#include "tests/support/MainDialogFixture.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace tvx::test {
namespace {

class EventThreadTest : public MainDialogTest {};

stub::Event Numbered(uint64_t n) { return {100, static_cast<int32_t>(n), {}, 0}; }

TEST_F(EventThreadTest, LinesArriveInTheOrderTheLibrarySentThem)
{
    Create();
    const int identity = Lines().size();
    constexpr int kEvents = 3000;
    stub::StartEventStream(Numbered, kEvents, false);
    ASSERT_TRUE(
        PumpUntil([&] { return stub::EventsFired() == kEvents && Dialog().Log().Line(0) == "Event 100 (2999)"; }));
    stub::StopEventStream();
    Pump();

    // Settled at 1001 lines; the newest 1001 - identity events stand in order
    // above... every line below the top is the event before it.
    ASSERT_EQ(Dialog().Log().Count(), 1001);
    for (int i = 0; i < 1001 - identity; ++i)
        ASSERT_EQ(Dialog().Log().Line(i), QStringLiteral("Event 100 (%1)").arg(kEvents - 1 - i)) << i;
}

TEST_F(EventThreadTest, DriverSwitchedOffAndOnWhileEventsStreamThenClosed)
{
    Create();
    stub::StartEventStream(Numbered, 0, false);
    PumpUntil([] { return stub::EventsFired() > 100; });
    for (int i = 0; i < 40; ++i) {
        Choose(32826);
        Pump();
        std::this_thread::sleep_for(std::chrono::microseconds(200));
        Choose(32826);
        Pump();
    }
    Destroy();  // closes and shuts down while the stream still runs
    stub::StopEventStream();
    EXPECT_EQ(stub::CountOf("ScClose"), 41);
    EXPECT_EQ(stub::CountOf("ScShutdown"), 41);
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

TEST_F(EventThreadTest, EventsForADestroyedDialogAreDropped)
{
    Create();
    void *context = stub::Context();
    ScEventCallback callback = stub::Callback();
    Destroy();
    // A library that ignores ScShutdown and calls once more: nothing may
    // reach the destroyed dialog, nor the next one.
    EXPECT_EQ(callback(100, 1, context, nullptr, 0, 0), 0);
    Pump();
    Create();
    EXPECT_EQ(callback(100, 2, &context, nullptr, 0, 0), 0);  // an unknown context
    Pump();
    EXPECT_FALSE(Lines().contains("Event 100 (1)"));
    EXPECT_FALSE(Lines().contains("Event 100 (2)"));
    EXPECT_EQ(Lines().size(), 4);
}

}  // namespace
}  // namespace tvx::test
