// The simulated adapter on the desktop's sound server. The lanes' rings and
// drift readers are checked against two simulated clocks; the nodes against
// a real, private PipeWire that each test starts for itself
// (tests/support/pipewire-session.sh), with the server's own tools and
// multimon-ng as outside oracles: what pw-record takes from the nodes, what
// pw-play gives them, and the server killed and started again mid-call.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <numbers>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "simulator/audio/AudioBridge.h"
#include "simulator/audio/DriftReader.h"
#include "simulator/audio/SampleRing.h"
#include "simulator/audio/SoundServer.h"
#include "simulator/control/ControlPath.h"
#include "simulator/control/ControlServer.h"
#include "simulator/engine/Sources.h"
#include "simulator/engine/WavWriter.h"
#include "simulator/logic/EventNames.h"
#include "simulator/runner/Runner.h"
#include "tests/simulator/ControlTestSupport.h"
#include "tests/simulator/SignalProbe.h"
#include "tests/simulator/SimTestSupport.h"
#include "tests/support/EngineDoor.h"
#include "tests/support/PipeWireSession.h"

using namespace tvxsim;
using namespace simtest;
using tvxtest::Background;
using tvxtest::CommandOutput;
using tvxtest::HaveTool;
using tvxtest::PipeWireSession;

namespace {

// ---- The lanes, on simulated clocks ----

// A writer and a reader of one ring, each on its own clock: the writer
// gives `writeChunk` samples of a 400 Hz sine at a rate off by writePpm,
// the reader takes `readChunk` at a rate off by readPpm, each late now and
// then by up to jitterMs.
struct ClockCase {
    const char *name;
    size_t writeChunk;
    double writePpm;
    size_t readChunk;
    double readPpm;
    double jitterMs;
};
void PrintTo(const ClockCase &c, std::ostream *os) { *os << c.name; }

constexpr ClockCase kClockCases[] = {
    {"model_to_server_server_fast", 160, 0, 171, 300, 0},
    {"model_to_server_server_slow", 160, 0, 171, -300, 0},
    {"server_to_model_server_fast", 171, 300, 160, 0, 0},
    {"server_to_model_server_slow", 171, -300, 160, 0, 0},
    {"equal_blocks_model_slow", 160, 0, 160, 1000, 0},
    {"equal_blocks_model_fast", 160, 0, 160, -1000, 0},
    {"equal_blocks_one_clock", 160, 0, 160, 0, 0},
    {"server_quantum_1024_at_48k", 160, 50, 171, 0, 0},
    {"small_server_quantum", 64, -100, 160, 0, 0},
    {"jittery_model_timer", 160, 0, 171, 100, 4},
    {"jittery_server", 171, -100, 160, 0, 4},
};

class LanesAbsorbDrift : public ::testing::TestWithParam<ClockCase> {};

TEST_P(LanesAbsorbDrift, NeitherGrowsNorRunsDryNorClicks)
{
    const ClockCase c = GetParam();
    SampleRing ring;
    DriftReader reader(ring);
    constexpr double kAmplitude = 10000;
    constexpr double kStep = 2 * std::numbers::pi * 400 / kSampleRate;
    const double writePeriod = c.writeChunk / (kSampleRate * (1 + c.writePpm * 1e-6));
    const double readPeriod = c.readChunk / (kSampleRate * (1 + c.readPpm * 1e-6));
    uint32_t rng = 12345;
    const auto jitter = [&] {
        rng = rng * 1664525u + 1013904223u;
        return c.jitterMs * 1e-3 * (rng >> 8) / double(1u << 24);
    };
    // Each tick late by its own jitter, the clock itself steady.
    double writeClock = 0, readClock = 0.005, nextWrite = 0, nextRead = 0.005, phase = 0;
    uint64_t written = 0;
    std::vector<int16_t> chunk(std::max(c.writeChunk, c.readChunk));
    std::vector<int16_t> out;
    size_t mostFill = 0;
    DriftStats settled;
    constexpr double kSettle = 3, kEnd = 60;
    while (nextRead < kEnd) {
        if (nextWrite <= nextRead) {
            for (size_t i = 0; i < c.writeChunk; ++i)
                chunk[i] = static_cast<int16_t>(std::lround(kAmplitude * std::sin(phase += kStep)));
            written += ring.Write(std::span<const int16_t>(chunk.data(), c.writeChunk));
            writeClock += writePeriod;
            nextWrite = writeClock + jitter();
            continue;
        }
        if (nextRead > kSettle) {
            mostFill = std::max(mostFill, ring.Fill());
            if (settled.underruns == 0 && out.empty())
                settled = reader.Stats();
        }
        const size_t start = out.size();
        out.resize(start + c.readChunk);
        reader.Read(std::span<int16_t>(out.data() + start, c.readChunk));
        if (nextRead <= kSettle)
            out.clear();
        readClock += readPeriod;
        nextRead = readClock + jitter();
    }
    const DriftStats &end = reader.Stats();
    EXPECT_EQ(end.underruns, settled.underruns) << "ran dry in a steady state";
    EXPECT_EQ(end.skips, settled.skips) << "skipped in a steady state";
    // The fill stays near its target: a read's worth, the slack (the margin
    // and the smaller step of the two), the tolerance, a write that has just
    // come in, and what a late read or an early write adds.
    const size_t slack = DriftReader::kMargin + std::min(c.readChunk, c.writeChunk);
    const auto late = static_cast<size_t>(2 * c.jitterMs * kSamplesPerMs);
    EXPECT_LE(mostFill, c.readChunk + slack + DriftReader::kTolerance + c.writeChunk + late + 16);
    // The drift was absorbed sample by sample, never by gaps: the sine's
    // steepest step is 2 pi 400 / 8000 of its amplitude.
    int largestStep = 0;
    for (size_t i = 1; i < out.size(); ++i)
        largestStep = std::max(largestStep, std::abs(out[i] - out[i - 1]));
    EXPECT_LE(largestStep, static_cast<int>(kAmplitude * kStep * 1.05));
    // ... and so slowly that the tone keeps its pitch (a DTMF receiver's
    // tolerance is 1.5 %): every 50 ms holds 400 Hz, not a neighbour.
    size_t offPitch = 0;
    for (size_t at = 0; at + 400 <= out.size(); at += 400)
        offPitch += ShareAt(std::span<const int16_t>(out.data() + at, 400), {400}) < 0.9 ? 1 : 0;
    EXPECT_EQ(offPitch, 0u);
    const double driftPpm = (1 + c.readPpm * 1e-6) / (1 + c.writePpm * 1e-6) * 1e6 - 1e6;
    if (std::abs(driftPpm) >= 100) {
        // Enough drift to need correcting, and in the right direction.
        EXPECT_GT(driftPpm > 0 ? end.repeated : end.dropped, 0u);
    }
    EXPECT_GT(written, 0u);
}

INSTANTIATE_TEST_SUITE_P(Clocks, LanesAbsorbDrift, ::testing::ValuesIn(kClockCases),
                         [](const auto &info) { return std::string(info.param.name); });

// The writer late now and then beyond the margin (a loaded machine's
// stalls): every `everyMs` until `untilMs` one write comes `lateMs` late,
// and the writes held back follow at once. The reader's slack grows after
// the first underruns until the stalls fit, never beyond its bound, and
// shrinks back once they stop.
enum class Extra : uint8_t {
    None,
    Grown,
    AtBound
};
struct StallCase {
    const char *name;
    size_t writeChunk, readChunk;
    int lateMs, everyMs, untilMs;
    uint64_t underrunsAfter10s;  // at most, in the rest of the minute
    Extra extraAtEnd;            // the slack added after the minute
};
void PrintTo(const StallCase &c, std::ostream *os) { *os << c.name; }

constexpr StallCase kStallCases[] = {
    {"model_20ms_late_every_2s", 160, 80, 20, 2000, 60000, 0, Extra::Grown},
    {"server_25ms_late_every_s_needs_the_bound", 80, 160, 25, 1000, 60000, 0, Extra::AtBound},
    {"model_8ms_late_every_s", 160, 80, 8, 1000, 60000, 0, Extra::None},
    {"model_60ms_late_beyond_the_bound", 160, 80, 60, 1000, 60000, 50, Extra::AtBound},
    {"stalls_stop_then_it_shrinks_back", 160, 80, 30, 1000, 8000, 0, Extra::None},
};

class LanesAfterStalls : public ::testing::TestWithParam<StallCase> {};

TEST_P(LanesAfterStalls, SlackGrowsBoundedAndShrinksBack)
{
    const StallCase c = GetParam();
    SampleRing ring;
    DriftReader reader(ring);
    // When a write due at sample time t comes: at the end of a stall that
    // covers t. Whole samples, so that every stall is as long as it says.
    const int64_t every = c.everyMs * kSamplesPerMs, late = c.lateMs * kSamplesPerMs;
    const int64_t until = c.untilMs * kSamplesPerMs;
    const auto comes = [&](int64_t t) {
        const int64_t start = t / every * every;
        return start > 0 && start < until && t < start + late ? start + late : t;
    };
    std::vector<int16_t> chunk(c.writeChunk, 1000), out(c.readChunk);
    int64_t due = 0, nextRead = 3 * kSamplesPerMs;
    uint64_t underrunsAt10s = 0;
    bool counting = false;
    size_t mostFill = 0;
    while (nextRead < 60 * kSampleRate) {
        if (comes(due) <= nextRead) {
            ring.Write(chunk);
            due += static_cast<int64_t>(c.writeChunk);
            continue;
        }
        if (nextRead >= 10 * kSampleRate) {
            if (!counting)
                underrunsAt10s = reader.Stats().underruns;
            counting = true;
            mostFill = std::max(mostFill, ring.Fill());
        }
        reader.Read(out);
        nextRead += static_cast<int64_t>(c.readChunk);
    }
    EXPECT_LE(reader.Stats().underruns - underrunsAt10s, c.underrunsAfter10s);
    const size_t extra = reader.Extra();
    switch (c.extraAtEnd) {
    case Extra::None:
        EXPECT_EQ(extra, 0u);
        break;
    case Extra::Grown:
        EXPECT_GT(extra, 0u);
        EXPECT_LT(extra, DriftReader::kMaxExtra);
        break;
    case Extra::AtBound:
        EXPECT_EQ(extra, DriftReader::kMaxExtra);
        break;
    }
    // However long the stalls, the latency stays bounded: what the ring holds
    // before a read is at most a read, the largest slack, the tolerance and
    // the writes a stall held back.
    const size_t heldBack = c.writeChunk + static_cast<size_t>(c.lateMs) * kSamplesPerMs;
    EXPECT_LE(mostFill,
              c.readChunk + std::min(c.readChunk, c.writeChunk) + DriftReader::kMargin + DriftReader::kMaxExtra +
                  DriftReader::kTolerance + heldBack);
}

INSTANTIATE_TEST_SUITE_P(Stalls, LanesAfterStalls, ::testing::ValuesIn(kStallCases),
                         [](const auto &info) { return std::string(info.param.name); });

// A reader that was not called for a second (no program recorded from the
// node) starts again on what is written after its return, not on old samples.
TEST(Lanes, AReaderAwayStartsAgainOnFreshSamples)
{
    SampleRing ring;
    DriftReader reader(ring);
    int16_t counter = 0;
    std::array<int16_t, kBlockSamples> block;
    const auto write = [&] {
        for (int16_t &s : block)
            s = static_cast<int16_t>(++counter % 30000);
        ring.Write(block);
    };
    std::array<int16_t, kBlockSamples> out;
    for (int i = 0; i < 10; ++i) {
        write();
        reader.Read(out);
    }
    for (int i = 0; i < 50; ++i)  // a second without a read: the ring fills and drops
        write();
    const int16_t before = counter;
    reader.Read(out);  // too much and too old: emptied, silence
    EXPECT_EQ(reader.Stats().skips, 1u);
    EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](int16_t s) { return s == 0; }));
    for (int i = 0; i < 3; ++i) {
        write();
        reader.Read(out);
    }
    EXPECT_TRUE(reader.Primed());
    EXPECT_GT(out.front(), before) << "old samples were played after the pause";
}

// One writer and one reader on real threads: every sample comes out once,
// in order (under ThreadSanitizer this checks the ring's memory order too).
TEST(Lanes, RingCarriesEverySampleInOrderBetweenThreads)
{
    SampleRing ring;
    constexpr int kTotal = 200000;
    std::thread writer([&] {
        int next = 0;
        std::array<int16_t, 97> chunk;
        while (next < kTotal) {
            size_t n = 0;
            for (; n < chunk.size() && next + static_cast<int>(n) < kTotal; ++n)
                chunk[n] = static_cast<int16_t>((next + static_cast<int>(n)) & 0x7fff);
            const size_t put = ring.Write(std::span<const int16_t>(chunk.data(), n));
            next += static_cast<int>(put);
            if (put < n)
                std::this_thread::yield();
        }
    });
    int expected = 0;
    bool ordered = true;
    std::array<int16_t, 61> out;
    while (expected < kTotal) {
        const size_t got = ring.Read(out);
        for (size_t i = 0; i < got; ++i, ++expected)
            ordered = ordered && out[i] == static_cast<int16_t>(expected & 0x7fff);
        if (got == 0)
            std::this_thread::yield();
    }
    writer.join();
    EXPECT_TRUE(ordered);
    EXPECT_EQ(ring.Fill(), 0u);
    // A write beyond the space is cut to it.
    std::vector<int16_t> big(SampleRing::kCapacity + 100, 1);
    EXPECT_EQ(ring.Write(big), SampleRing::kCapacity);
}

// ---- The nodes on a real server ----

struct NodeRow {
    const char *name;
    const char *mediaClass;
    const char *description;
};
constexpr NodeRow kNodeRows[] = {
    {"parlino-usb-sim.source", "Audio/Source", "Parlino USB (simulated)"},
    {"parlino-usb-sim.sink", "Audio/Sink", "Parlino USB (simulated)"},
    {"parlino-handset-sim.source", "Audio/Source", "Parlino handset (simulated)"},
    {"parlino-handset-sim.sink", "Audio/Sink", "Parlino handset (simulated)"},
};

std::vector<std::string> NodeNames()
{
    std::vector<std::string> names;
    for (const NodeRow &r : kNodeRows)
        names.emplace_back(r.name);
    return names;
}

// The samples of a mono 16-bit WAV file (any header the tools write).
std::vector<int16_t> ReadWav(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<int16_t> samples;
    size_t at = 12;
    while (at + 8 <= bytes.size()) {
        uint32_t size = 0;
        std::memcpy(&size, bytes.data() + at + 4, 4);
        if (std::string(bytes.data() + at, 4) == "data") {
            const size_t n = std::min<size_t>(size, bytes.size() - at - 8) / 2;
            samples.resize(n);
            std::memcpy(samples.data(), bytes.data() + at + 8, n * 2);
            break;
        }
        at += 8 + size + (size & 1);
    }
    return samples;
}

// A mono 8 kHz WAV file: `leadMs` of silence, the digits, and silence up to `totalMs`.
bool WriteDtmfWav(const std::string &path, const char *digits, int onMs, int offMs, int leadMs, int totalMs)
{
    WavWriter wav;
    if (!wav.Open(path))
        return false;
    DtmfSource tones(digits, onMs, offMs);
    std::array<int16_t, kBlockSamples> block{};
    for (int ms = 0; ms < totalMs; ms += kBlockMs) {
        block.fill(0);
        if (ms >= leadMs)
            tones.MixInto(block);
        wav.Write(block);
    }
    return true;
}

// The adapter's DTMF receiver on one side has reported the digit (its key code).
auto DtmfHeard(int32_t side, int32_t key)
{
    return [side, key](const std::vector<Received> &e) {
        return std::any_of(e.begin(), e.end(), [&](const Received &r) {
            return r.code == kEvDtmfDetected && r.side == side && r.param == key;
        });
    };
}

// tvxsim's client commands: one request, or the state lines.
std::string Tvxsim(const std::string &args) { return CommandOutput(std::string(TVXSIM_BINARY) + " " + args); }

class SoundServerTest : public SimulatorTest {
protected:
    PipeWireSession server;
    std::string folder;

    void SetUp() override
    {
        SimulatorTest::SetUp();
        unsetenv("TVXUSB_AUDIO");
        unsetenv("TVXUSB_RECORD");
        if (!HaveTool("pipewire") || !HaveTool("wireplumber") || !HaveTool("dbus-run-session") ||
            !HaveTool("pw-record") || !HaveTool("multimon-ng"))
            GTEST_SKIP() << "the sound server or multimon-ng is not installed (scripts/install-deps.sh installs them)";
        ASSERT_TRUE(server.Start()) << "the private sound server did not start";
        folder = server.Folder() + "/files";
        ASSERT_EQ(std::system(("mkdir -p '" + folder + "'").c_str()), 0);
    }
    void TearDown() override
    {
        SimulatorTest::TearDown();
        unsetenv("TVXUSB_RECORD");
        server.Stop();
    }
    std::string File(const char *name) const { return folder + "/" + name; }
    // multimon-ng's DTMF digits in a WAV file, run together; a digit read
    // again at once counts once (on a heavily loaded machine a gap in the
    // server's stream can split a tone in two).
    static std::string Digits(const std::string &wav)
    {
        std::istringstream lines(CommandOutput("multimon-ng -q -c -a DTMF -t wav '" + wav + "'"));
        std::string line, digits;
        while (std::getline(lines, line))
            if (line.rfind("DTMF: ", 0) == 0 && line.size() > 6 && (digits.empty() || digits.back() != line[6]))
                digits += line[6];
        return digits;
    }
    Background Record(const char *node, const std::string &file)
    {
        return Background(
            {"pw-record", "--target", node, "--rate", "8000", "--channels", "1", "--format", "s16", file});
    }
    // Records what the default speakers (the null sink) play, from its monitor,
    // as the node `tvx-test-speakers`.
    Background RecordSpeakers(const std::string &file)
    {
        return Background({"pw-record",
                           "-P",
                           "{ stream.capture.sink = true, node.name = tvx-test-speakers }",
                           "--target",
                           "tvx-null-sink",
                           "--rate",
                           "8000",
                           "--channels",
                           "1",
                           "--format",
                           "s16",
                           file});
    }
    // Whether the state comes to show this line within a minute.
    static bool StateShows(const std::string &line)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::minutes(1);
        while (Tvxsim("state").find("\n" + line + "\n") == std::string::npos) {
            if (std::chrono::steady_clock::now() > end)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return true;
    }
    // The state lines once the control socket says the nodes are published.
    static std::string StateOncePublished()
    {
        std::string state;
        for (int i = 0; i < 50 && state.find("\naudio published\n") == std::string::npos; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            state = Tvxsim("state");
        }
        return state;
    }
};

TEST_F(SoundServerTest, NodesArePublishedWhileOpenAsOrdinaryDevices)
{
    OpenWith(rec);
    ASSERT_TRUE(PipeWireSession::WaitForNodes(NodeNames(), true));
    const std::vector<tvxtest::NodeProps> nodes = PipeWireSession::Nodes();
    for (const NodeRow &r : kNodeRows) {
        SCOPED_TRACE(r.name);
        const tvxtest::NodeProps *n = PipeWireSession::Find(nodes, r.name);
        ASSERT_NE(n, nullptr);
        EXPECT_EQ(n->at("media.class"), r.mediaClass);
        EXPECT_EQ(n->at("node.description"), r.description);
    }
    // 8 kHz, mono, 16-bit as offered
    const std::string dump = CommandOutput("pw-dump parlino-usb-sim.source", false);
    EXPECT_NE(dump.find("\"format\": \"S16LE\""), std::string::npos) << dump.substr(0, 2000);
    EXPECT_NE(dump.find("\"rate\": 8000"), std::string::npos);
    EXPECT_NE(dump.find("\"channels\": 1"), std::string::npos);
    // The defaults stay the desktop's own.
    EXPECT_NE(CommandOutput("pw-metadata 0 default.audio.sink", false).find("tvx-null-sink"), std::string::npos);
    EXPECT_NE(CommandOutput("pw-metadata 0 default.audio.source", false).find("tvx-null-source"), std::string::npos);

    ASSERT_EQ(ScClose(0), 0);
    EXPECT_TRUE(PipeWireSession::WaitForNodes(NodeNames(), false));
}

TEST_F(SoundServerTest, AudioOffPublishesNothing)
{
    setenv("TVXUSB_AUDIO", "0", 1);
    OpenWith(rec);
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    const std::vector<tvxtest::NodeProps> nodes = PipeWireSession::Nodes();
    ASSERT_NE(PipeWireSession::Find(nodes, "tvx-null-sink"), nullptr);
    for (const NodeRow &r : kNodeRows)
        EXPECT_EQ(PipeWireSession::Find(nodes, r.name), nullptr) << r.name;
    EXPECT_NE(Tvxsim("state").find("\naudio off\n"), std::string::npos);
    EXPECT_EQ(Tvxsim("send 'talk on'"), "error sound-server audio is off\n");
}

// A second device while another holds the control socket (another program,
// the same runtime folder): no socket and no nodes either, said in one line,
// so that a node's name always means the device whose socket answers.
TEST_F(SoundServerTest, ASecondDeviceBesideAnotherPublishesNoNodes)
{
    tvxtest::EngineDoor door;
    ControlServer other(door);
    std::string error;
    ASSERT_TRUE(other.Start(tvxsim::ControlSocketFolder(), error)) << error;
    ::testing::internal::CaptureStderr();
    OpenWith(rec);
    std::this_thread::sleep_for(std::chrono::milliseconds(700));  // as long as the nodes of AudioOffPublishesNothing
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(said.rfind("tvxusb: no control socket and no sound nodes: another simulated device is listening on ", 0),
              0u)
        << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    const std::vector<tvxtest::NodeProps> nodes = PipeWireSession::Nodes();
    ASSERT_NE(PipeWireSession::Find(nodes, "tvx-null-sink"), nullptr);
    for (const NodeRow &r : kNodeRows)
        EXPECT_EQ(PipeWireSession::Find(nodes, r.name), nullptr) << r.name;
    ASSERT_EQ(ScClose(0), 0);
    other.Stop();
}

// The control socket's audio lines and switches reach the nodes.
TEST_F(SoundServerTest, ControlSocketSwitchesListen)
{
    OpenWith(rec);
    ASSERT_TRUE(PipeWireSession::WaitForNodes(NodeNames(), true));
    const std::string state = StateOncePublished();
    ASSERT_NE(state.find("\naudio published\n"), std::string::npos) << state;
    EXPECT_NE(state.find("\nlisten off\n"), std::string::npos);
    EXPECT_EQ(Tvxsim("send 'listen on'"), "ok\n");
    EXPECT_NE(Tvxsim("state").find("\nlisten on\n"), std::string::npos);
    EXPECT_TRUE(PipeWireSession::WaitForNodes({"parlino-handset-sim.listen"}, true));
    EXPECT_EQ(Tvxsim("send 'listen off'"), "ok\n");
    EXPECT_TRUE(PipeWireSession::WaitForNodes({"parlino-handset-sim.listen"}, false));
    EXPECT_NE(Tvxsim("state").find("\nlisten off\n"), std::string::npos);
}

// "Line - Audio Stream": the line reaches the PC. The far party's DTMF,
// recorded from the source, is read by multimon-ng.
TEST_F(SoundServerTest, FarDtmfRecordedFromTheSourceIsRead)
{
    UseScenario("far_dtmf",
                "0 adapter command 90\n"
                "0 far ring\n"
                "400 adapter command 46\n");  // the adapter answers
    OpenWith(rec);
    ASSERT_TRUE(PipeWireSession::WaitForNodes({"parlino-usb-sim.source"}, true));
    Background recorder = Record("parlino-usb-sim.source", File("pc-in.wav"));
    ASSERT_TRUE(recorder.Running());
    ASSERT_TRUE(PipeWireSession::WaitForLink("parlino-usb-sim.source"));
    ASSERT_TRUE(StateShows("call connected"));
    // The far party's digits begin once the recorder is linked, however long
    // a busy machine took to link it.
    const auto lineDigits = [](const std::vector<Received> &e) {
        return std::count_if(
            e.begin(), e.end(), [](const Received &r) { return r.code == kEvDtmfDetected && r.side == TVX_SIDE_LINE; });
    };
    ASSERT_EQ(lineDigits(rec.Snapshot()), 0) << "digits before the recorder was linked";
    ASSERT_EQ(Tvxsim("send 'far dtmf \"159#\" 300 300'"), "ok\n");
    ASSERT_TRUE(rec.WaitFor([&](const std::vector<Received> &e) { return lineDigits(e) >= 4; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    recorder.Stop();
    EXPECT_EQ(Digits(File("pc-in.wav")), "159#");
}

// What pw-play plays into the sink is PC out, which mode 90 sends on the
// line: the exchange takes the digits, routes the number and connects the
// far party, whose DTMF the adapter then hears.
TEST_F(SoundServerTest, DtmfPlayedIntoTheSinkIsDialled)
{
    ASSERT_TRUE(WriteDtmfWav(File("dial.wav"), "42", 120, 120, 0, 800));
    setenv("TVXUSB_RECORD", folder.c_str(), 1);
    UseScenario("dial_from_pc",
                "number \"42\" answer 200\n"
                "0 adapter command 90\n"
                "200 adapter command 46\n"  // dial tone
                "6000 far dtmf \"9\"\n"
                "7000 far dtmf \"9\"\n"
                "8000 far dtmf \"9\"\n"
                "9000 far dtmf \"9\"\n"
                "10000 far dtmf \"9\"\n");
    OpenWith(rec);
    ASSERT_TRUE(PipeWireSession::WaitForNodes({"parlino-usb-sim.sink"}, true));
    ASSERT_TRUE(WaitForModelMs(500));  // dial tone first, in the model's own time
    Background player({"pw-play", "--target", "parlino-usb-sim.sink", File("dial.wav")});
    ASSERT_TRUE(player.Running());
    EXPECT_TRUE(player.Wait(std::chrono::seconds(5)));
    const auto farNine = [](const std::vector<Received> &e) {
        return std::any_of(e.begin(), e.end(), [](const Received &r) {
            return r.code == kEvDtmfDetected && r.side == TVX_SIDE_LINE && r.param == 9;
        });
    };
    EXPECT_TRUE(rec.WaitFor(farNine, std::chrono::seconds(12))) << "the number was not routed";
    ASSERT_EQ(ScClose(0), 0);
    EXPECT_EQ(Digits(File("line-tx.wav")), "42");
}

// Talk: the default microphone is the handset's. DTMF played into it with
// the handset off hook reaches the phone side's DTMF receiver.
TEST_F(SoundServerTest, TalkFeedsTheDefaultMicrophoneToTheHandset)
{
    ASSERT_TRUE(WriteDtmfWav(File("mic.wav"), "5555", 150, 150, 1000, 2400));
    UseScenario("talk", "0 adapter command 58\n200 phone offhook\n");  // the factory mode: settings outlive a test
    OpenWith(rec);
    ASSERT_NE(StateOncePublished().find("\naudio published\n"), std::string::npos);
    EXPECT_EQ(Tvxsim("send 'talk on'"), "ok\n");
    ASSERT_TRUE(PipeWireSession::WaitForLink("parlino-handset-sim.talk")) << "Talk is not linked to the microphone";
    bool linked = false;
    Background player = PipeWireSession::PlayInto(File("mic.wav"), linked);
    ASSERT_TRUE(linked) << "the player was not linked into the microphone";
    EXPECT_TRUE(rec.WaitFor(DtmfHeard(TVX_SIDE_PHONE, 5))) << "the handset's microphone did not hear the digits";
    EXPECT_FALSE(DtmfHeard(TVX_SIDE_LINE, 5)(rec.Snapshot())) << "the microphone reached the far party as well";
}

// Be the far party: during a connected call the default microphone is the
// far party's voice, which the adapter's line receiver hears, and line
// transmit (the handset's keys here) plays on the default speakers.
TEST_F(SoundServerTest, BeFarSpeaksAsTheFarPartyAndHearsTheLine)
{
    ASSERT_TRUE(WriteDtmfWav(File("mic.wav"), "5555", 150, 150, 1000, 2400));
    UseScenario("be_far", "0 adapter command 58\n0 far ring\n300 phone offhook\n");
    OpenWith(rec);
    std::string state = StateOncePublished();
    for (int i = 0; i < 30 && state.find("\ncall connected\n") == std::string::npos; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        state = Tvxsim("state");
    }
    ASSERT_NE(state.find("\ncall connected\n"), std::string::npos) << state;
    EXPECT_EQ(Tvxsim("send 'be-far on'"), "ok\n");
    ASSERT_TRUE(PipeWireSession::WaitForLink("parlino-far-party.voice")) << "not linked to the microphone";
    ASSERT_TRUE(PipeWireSession::WaitForLink("parlino-far-party.hears")) << "not linked to the speakers";
    Background speakers = RecordSpeakers(File("speakers.wav"));
    ASSERT_TRUE(PipeWireSession::WaitForLink("tvx-test-speakers"));

    bool linked = false;
    Background player = PipeWireSession::PlayInto(File("mic.wav"), linked);
    ASSERT_TRUE(linked) << "the player was not linked into the microphone";
    EXPECT_TRUE(rec.WaitFor(DtmfHeard(TVX_SIDE_LINE, 5))) << "the line did not hear the far party's digits";
    EXPECT_FALSE(DtmfHeard(TVX_SIDE_PHONE, 5)(rec.Snapshot())) << "the microphone reached the handset as well";

    EXPECT_EQ(Tvxsim("send 'phone keys \"77\"'"), "ok\n");
    EXPECT_TRUE(rec.WaitFor(DtmfHeard(TVX_SIDE_PHONE, 7)));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    speakers.Stop();
    EXPECT_NE(Digits(File("speakers.wav")).find('7'), std::string::npos)
        << "the handset's keys on the line did not reach the speakers";
}

// Runs the model in real time on this thread, one block every 20 ms, until
// `until` holds or `ms` have passed.
template <typename Until> void RunRealTime(Rig &rig, int ms, Until until)
{
    const auto start = std::chrono::steady_clock::now();
    for (int k = 1; k * kBlockMs <= ms && !until(); ++k) {
        rig.RunMs(kBlockMs);
        std::this_thread::sleep_until(start + std::chrono::milliseconds(k * kBlockMs));
    }
}

// Listen, on the sound-server door itself: with the handset off hook the
// dial tone in its earpiece reaches the default speakers (the null sink,
// recorded from its monitor); off again, the stream goes.
TEST_F(SoundServerTest, ListenPlaysTheEarpieceToTheDefaultSpeakers)
{
    Rig rig;
    rig.Load("0 adapter command 58\n0 phone offhook\n");
    const auto bridge = std::make_shared<AudioBridge>();
    rig.engine.AddTap(bridge.get());
    rig.engine.SetFeed(bridge.get());
    const std::unique_ptr<SoundServer> sound = MakeSoundServer();
    ASSERT_NE(sound, nullptr);
    sound->Publish(bridge);
    RunRealTime(rig, 5000, [&] { return sound->State() == AudioNodes::Published; });
    ASSERT_EQ(sound->State(), AudioNodes::Published);
    EXPECT_EQ(sound->SetSwitch(SoundSwitch::Listen, true), "");
    EXPECT_TRUE(sound->SwitchOn(SoundSwitch::Listen));
    RunRealTime(rig, 3000, [] { return PipeWireSession::WaitForNodes({"parlino-handset-sim.listen"}, true, {}); });
    Background recorder = RecordSpeakers(File("speakers.wav"));
    RunRealTime(rig, 2000, [] { return false; });
    recorder.Stop();
    const std::vector<int16_t> heard = ReadWav(File("speakers.wav"));
    ASSERT_GE(heard.size(), static_cast<size_t>(kSampleRate)) << "nothing recorded from the speakers";
    // The local country's (44) dial tone, 350 + 440 Hz, as in the earpiece,
    // in most 50 ms frames (short frames: a loaded machine's server may
    // stretch the sound a little).
    const double earLevel = LevelAt(Slice(rig.audio.earpiece, 500, 50), 350);
    int frames = 0, toned = 0;
    for (size_t at = kSampleRate / 5; at + 400 <= heard.size(); at += 400, ++frames) {
        const std::span<const int16_t> frame(heard.data() + at, 400);
        if (ShareAt(frame, {350, 440}) > 0.6 && LevelAt(frame, 350) > earLevel - 6)
            ++toned;
    }
    EXPECT_GE(toned, frames * 7 / 10) << toned << " of " << frames << " frames hold the dial tone";

    EXPECT_EQ(sound->SetSwitch(SoundSwitch::Listen, false), "");
    RunRealTime(rig, 3000, [] { return PipeWireSession::WaitForNodes({"parlino-handset-sim.listen"}, false, {}); });
    EXPECT_TRUE(PipeWireSession::WaitForNodes({"parlino-handset-sim.listen"}, false, {}));
    sound->Withdraw();
    EXPECT_TRUE(PipeWireSession::WaitForNodes(NodeNames(), false));
}

// Events and the audio of one scenario as tvxsim gives them offline.
struct OfflineRun {
    std::vector<int32_t> codes;
    std::vector<int16_t> lineRx, lineTx;
};
OfflineRun RunOffline(const std::string &scenario, int64_t untilMs, const std::string &folder)
{
    RunOptions options;
    options.scenario = scenario;
    options.untilMs = untilMs;
    options.recordFolder = folder;
    std::ostringstream out, err;
    EXPECT_EQ(RunScenario(options, out, err), kRunOk) << err.str();
    OfflineRun run;
    std::istringstream lines(out.str());
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        int64_t ms = 0;
        int32_t code = 0;
        if (fields >> ms >> code)
            run.codes.push_back(code);
    }
    run.lineRx = ReadWav(folder + "/line-rx.wav");
    run.lineTx = ReadWav(folder + "/line-tx.wav");
    return run;
}

// The server killed during a call and started again: the library goes on,
// its events and recordings are what they would have been without a server
// at all, and the nodes come back.
TEST_F(SoundServerTest, ServerKilledDuringACallChangesNothingAndNodesReturn)
{
    const std::string scenario = UseScenario("server_killed",
                                             "0 adapter command 58\n"  // an earlier test's mode must not stay
                                             "number \"42\" answer 300\n"
                                             "200 phone offhook\n"
                                             "500 phone keys \"42\"\n"
                                             "4300 far speech 600\n"
                                             "5000 far dtmf \"123\" 150 150\n"
                                             "6200 far hangup\n"
                                             "6600 phone onhook\n");
    setenv("TVXUSB_RECORD", folder.c_str(), 1);
    OpenWith(rec);
    ASSERT_TRUE(PipeWireSession::WaitForNodes(NodeNames(), true));
    Background listener = Record("parlino-handset-sim.source", File("earpiece.wav"));
    // Times in the model's own: on a busy machine it falls behind the wall clock.
    ASSERT_TRUE(WaitForModelMs(1500));
    ::testing::internal::CaptureStderr();
    ASSERT_TRUE(server.StopServer());
    // The switches stay the user's to set while the server is away.
    std::string state;
    for (int i = 0; i < 50 && state.find("\naudio unavailable\n") == std::string::npos; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        state = Tvxsim("state");
    }
    EXPECT_NE(state.find("\naudio unavailable\n"), std::string::npos) << state;
    EXPECT_EQ(Tvxsim("send 'listen on' 'talk on' 'talk off'"), "ok\nok\nok\n");
    state = Tvxsim("state");
    EXPECT_NE(state.find("\nlisten on\ntalk off\n"), std::string::npos) << state;
    ASSERT_TRUE(server.StartServer());
    EXPECT_TRUE(PipeWireSession::WaitForNodes(NodeNames(), true, std::chrono::seconds(6)))
        << "the nodes did not come back";
    EXPECT_TRUE(PipeWireSession::WaitForNodes({"parlino-handset-sim.listen"}, true)) << "Listen did not come with them";
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("tvxusb: sound server back: the nodes are published again; listen on\n"), std::string::npos)
        << said;
    ASSERT_TRUE(WaitForModelMs(7000));
    ASSERT_EQ(ScClose(0), 0);
    unsetenv("TVXUSB_RECORD");

    const std::string offline = server.Folder() + "/offline";
    ASSERT_EQ(std::system(("mkdir -p '" + offline + "'").c_str()), 0);
    const OfflineRun expected = RunOffline(scenario, 6900, offline);
    std::vector<int32_t> codes;
    for (const Received &r : rec.Snapshot())
        if (r.code != kEvToneMonitorArmed)  // the test's own ScMonitorTones
            codes.push_back(r.code);
    EXPECT_EQ(codes, expected.codes);
    const std::vector<int16_t> lineRx = ReadWav(File("line-rx.wav")), lineTx = ReadWav(File("line-tx.wav"));
    const size_t n = expected.lineRx.size();
    ASSERT_GE(lineRx.size(), n);
    ASSERT_GE(lineTx.size(), n);
    EXPECT_TRUE(std::equal(expected.lineRx.begin(), expected.lineRx.end(), lineRx.begin()));
    EXPECT_TRUE(std::equal(expected.lineTx.begin(), expected.lineTx.end(), lineTx.begin()));
}

// No server reachable: the door says so, and keeps the switches as the
// user's choice, to take effect when a server is there.
TEST(NoSoundServer, SwitchesAreKeptAsTheUsersChoice)
{
    char dir[] = "/tmp/tvx-no-server.XXXXXX";
    ASSERT_NE(::mkdtemp(dir), nullptr);
    setenv("XDG_RUNTIME_DIR", dir, 1);
    unsetenv("PIPEWIRE_RUNTIME_DIR");
    unsetenv("PIPEWIRE_REMOTE");
    const std::unique_ptr<SoundServer> sound = MakeSoundServer();
    ASSERT_NE(sound, nullptr);
    EXPECT_EQ(sound->SetSwitch(SoundSwitch::Talk, true), "no device open");
    sound->Publish(std::make_shared<AudioBridge>());
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(sound->State(), AudioNodes::Unavailable);
    for (SoundSwitch which : {SoundSwitch::Listen, SoundSwitch::Talk, SoundSwitch::BeFar}) {
        EXPECT_EQ(sound->SetSwitch(which, true), "");
        EXPECT_TRUE(sound->SwitchOn(which));
        EXPECT_EQ(sound->SetSwitch(which, false), "");
        EXPECT_FALSE(sound->SwitchOn(which));
    }
    sound->Withdraw();
    std::system((std::string("rm -rf '") + dir + "'").c_str());
}

// No server reachable: one line on stderr, and the library as before.
TEST(NoSoundServer, OneLineOnStderrAndEverythingElseAsBefore)
{
    char dir[] = "/tmp/tvx-no-server.XXXXXX";
    ASSERT_NE(::mkdtemp(dir), nullptr);
    setenv("XDG_RUNTIME_DIR", dir, 1);
    unsetenv("PIPEWIRE_RUNTIME_DIR");
    unsetenv("PIPEWIRE_REMOTE");
    unsetenv("TVXUSB_AUDIO");
    const std::string scenario =
        UseScenario("no_server", "0 adapter command 58\n100 phone offhook\n300 phone onhook\n");
    Recorder rec;
    ::testing::internal::CaptureStderr();
    int32_t version = 0;
    ASSERT_EQ(ScInitialize(&Recorder::Callback, &rec, 0, 0, 0, 0, 17, &version, nullptr), 0);
    ASSERT_EQ(ScOpen(0, 0), 0);
    const bool ran = WaitForModelMs(600);  // in the model's own time, which a busy machine holds back
    ScClose(0);
    ScShutdown(0);
    const std::string err = ::testing::internal::GetCapturedStderr();
    ASSERT_TRUE(ran) << "the model did not reach 600 ms";
    std::vector<int32_t> codes;
    for (const Received &r : rec.Snapshot())
        codes.push_back(r.code);
    const OfflineRun expected = RunOffline(scenario, 600, dir);
    EXPECT_EQ(codes, expected.codes);
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_EQ(err.rfind("tvxusb: no sound server: ", 0), 0u) << err;
    for (const std::string &path : WrittenScenarios())
        std::remove(path.c_str());
    std::system((std::string("rm -rf '") + dir + "'").c_str());
}

}  // namespace
