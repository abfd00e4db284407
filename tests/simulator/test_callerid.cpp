// Caller ID on the wire, offline: the exchange's messages go out as FSK and
// come back from the adapter's receiver as the same bytes (events 225 and
// 228), which the tool's decoder turns into the expected line; the timing
// around the rings, call waiting with and without CIDCW, damaged messages,
// recordings of real lines played onto the idle line, and the generator
// toward the phone read back by the handset's display.
#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "device/logic/CallerIdDecoder.h"
#include "simulator/engine/FskSource.h"
#include "simulator/logic/CidCheck.h"
#include "simulator/logic/EventNames.h"
#include "simulator/logic/SimErrors.h"
#include "tests/simulator/SignalProbe.h"
#include "tests/simulator/SimTestSupport.h"
#include "tests/simulator/SoundFiles.h"

using namespace tvxsim;
using namespace simtest;

namespace {

std::vector<uint8_t> Bytes(std::string_view text) { return std::vector<uint8_t>(text.begin(), text.end()); }

std::string Decoded(const std::vector<uint8_t> &payload)
{
    char line[tvx::kCallerIdOutputSize];
    tvx::DecodeCallerId(payload.data(), static_cast<int32_t>(payload.size()), line);
    return line;
}

constexpr std::string_view kIvor = "\x80\x1E\x01\x08"
                                   "04292230\x02\x07"
                                   "7964710\x07\x09"
                                   "Ivor Kell";
constexpr const char *kIvorLine = "Ivor Kell at 7964710 - 29/04 22:30";

// Loud 5 ms frames of a sink (above -50 dBm0) as [start, end) stretches in
// ms; gaps shorter than mergeMs (a double ring) do not split a stretch.
std::vector<std::pair<int, int>> Bursts(const std::vector<int16_t> &sink, int mergeMs)
{
    std::vector<std::pair<int, int>> out;
    bool on = false;
    for (size_t i = 0; i + 40 <= sink.size(); i += 40) {
        const bool loud = Dbm0OfMeanSquare(MeanSquare(std::span<const int16_t>(sink).subspan(i, 40))) > -50.0;
        const int ms = static_cast<int>(i / 8);
        if (loud && !on)
            out.emplace_back(ms, ms);
        if (loud)
            out.back().second = ms + 5;
        on = loud;
    }
    for (size_t i = 1; i < out.size();)
        if (out[i].first - out[i - 1].second < mergeMs) {
            out[i - 1].second = out[i].second;
            out.erase(out.begin() + static_cast<ptrdiff_t>(i));
        } else {
            ++i;
        }
    return out;
}

struct IncomingCase {
    const char *what;
    const char *country;
    std::string options;  // after the name and number
    std::string extra;    // more scenario lines
    std::string_view payload;
    const char *line;
};
void PrintTo(const IncomingCase &c, std::ostream *os) { *os << c.what; }

class IncomingCallerId : public ::testing::TestWithParam<IncomingCase> {};

TEST_P(IncomingCallerId, ComesBackAsTheSameBytesAndTheToolsLine)
{
    const IncomingCase &c = GetParam();
    Rig rig;
    rig.engine.SetLocalCountry(c.country);
    rig.Load("0 far call \"Ivor Kell\" \"7964710\" " + c.options + "\n" + c.extra);
    rig.RunMs(6000);
    const auto got = rig.EventsOf(kEvCallerId);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].payload, Bytes(c.payload));
    EXPECT_EQ(got[0].param, static_cast<int32_t>(c.payload.size()));
    EXPECT_EQ(Decoded(got[0].payload), c.line);
    EXPECT_TRUE(rig.EventsOf(kEvCallerIdDamaged).empty());
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, IncomingCallerId,
    ::testing::Values(
        IncomingCase{"MDMF Bell 202", "44", "mdmf bell202 date 04292230", "", kIvor, kIvorLine},
        IncomingCase{"SDMF V.23",
                     "44",
                     "sdmf v23 date 04292230",
                     "",
                     "\x04\x0F"
                     "042922307964710",
                     "7964710 - 29/04 22:30"},
        IncomingCase{"MDMF private",
                     "44",
                     "private date 04292230",
                     "",
                     "\x80\x10\x01\x08"
                     "04292230\x04\x01P\x08\x01P",
                     "(Blocked) at Blocked - 29/04 22:30"},
        IncomingCase{"SDMF out of area Bell 202",
                     "1",
                     "sdmf out-of-area date 04292230",
                     "",
                     "\x04\x09"
                     "04292230O",
                     "Out Of Area - 29/04 22:30"},
        IncomingCase{"North America by default, the exchange's date",
                     "1",
                     "",
                     "",
                     "\x80\x1E\x01\x08"
                     "01010000\x02\x07"
                     "7964710\x07\x09"
                     "Ivor Kell",
                     "Ivor Kell at 7964710 - 01/01 00:00"},
        IncomingCase{"CEPT country, V.23 at -40 dBm0", "33", "date 04292230 level -40", "", kIvor, kIvorLine},
        IncomingCase{"Bell 202 at -44 dBm0", "1", "date 04292230 level -44", "", kIvor, kIvorLine},
        IncomingCase{
            "Bell 202 with noise 18 dB below", "1", "date 04292230", "0 line noise 8000 -31\n", kIvor, kIvorLine},
        IncomingCase{
            "V.23 with noise 18 dB below", "44", "date 04292230", "0 line noise 8000 -31\n", kIvor, kIvorLine}),
    [](const auto &info) { return NameOf(info.param.what); });

struct MessageCase {
    const char *what;
    CidFormat format;
    CidContent content;
    CidModem modem;
    const char *line;
};
void PrintTo(const MessageCase &c, std::ostream *os) { *os << c.what; }

class MessageRoundTrip : public ::testing::TestWithParam<MessageCase> {};

// Every kind of message, modulated on the line and demodulated by the
// adapter: the same bytes (checksum left off), and the tool's line.
TEST_P(MessageRoundTrip, ComesBackAsTheSameBytes)
{
    const MessageCase &c = GetParam();
    const std::vector<uint8_t> sent = BuildCallerIdMessage(c.format, c.content);
    Rig rig;
    rig.engine.GetExchange().LinePlay(std::make_unique<FskSource>(c.modem, kOnHookFraming, sent, -13.0f));
    rig.RunMs(1500);
    const auto got = rig.EventsOf(kEvCallerId);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].payload, std::vector<uint8_t>(sent.begin(), sent.end() - 1));
    EXPECT_EQ(Decoded(got[0].payload), c.line);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, MessageRoundTrip,
    ::testing::Values(
        MessageCase{"MDMF date", CidFormat::Mdmf, {"", "", "04292230"}, CidModem::Bell202, " - 29/04 22:30"},
        MessageCase{"MDMF number", CidFormat::Mdmf, {"", "7964710", ""}, CidModem::V23, "7964710"},
        MessageCase{"MDMF name", CidFormat::Mdmf, {"Ivor Kell", "", ""}, CidModem::Bell202, "Ivor Kell"},
        MessageCase{"MDMF indicator on", CidFormat::Mdmf, {"", "", "", 0, 1}, CidModem::V23, " - VM On"},
        MessageCase{"MDMF indicator off", CidFormat::Mdmf, {"", "", "", 0, 0}, CidModem::Bell202, " - VM Off"},
        MessageCase{"SDMF indicator on", CidFormat::Sdmf, {"", "", "", 0, 1}, CidModem::Bell202, " - VM On"},
        MessageCase{"SDMF indicator off", CidFormat::Sdmf, {"", "", "", 0, 0}, CidModem::V23, " - VM Off"},
        MessageCase{"MDMF out of area",
                    CidFormat::Mdmf,
                    {"Ivor Kell", "7964710", "04292230", 'O'},
                    CidModem::V23,
                    "(Out Of Area) at Out Of Area - 29/04 22:30"},
        MessageCase{
            "MDMF long texts",
            CidFormat::Mdmf,
            {std::string(49, 'n'), std::string(49, '5'), "04292230"},
            CidModem::Bell202,
            "nnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnn at 555555555555555555555555555555555555555 - 29/04 22:30"}),
    [](const auto &info) { return NameOf(info.param.what); });

struct TimingCase {
    const char *country;
    std::string call;
    bool etsi;
};
void PrintTo(const TimingCase &c, std::ostream *os) { *os << c.country << (c.etsi ? " ETSI" : " North American"); }

class CallerIdTiming : public ::testing::TestWithParam<TimingCase> {};

// North American: the message starts at least 500 ms after the first ring
// and ends at least 200 ms before the second, even when it is long. ETSI: a
// line reversal, 100 ms later the 100 ms dual-tone alert, the message, and
// the first ring at least 200 ms after it.
TEST_P(CallerIdTiming, AroundTheRings)
{
    const TimingCase &c = GetParam();
    Rig rig;
    rig.engine.SetLocalCountry(c.country);
    rig.Load("100 far call " + c.call + (c.etsi ? " etsi" : " na") + "\n");
    rig.RunMs(9000);
    ASSERT_EQ(rig.EventsOf(kEvCallerId).size(), 1u);
    const auto rings = Bursts(rig.audio.lineRing, 300);
    const auto signals = Bursts(rig.audio.lineRx, 0);
    ASSERT_GE(rings.size(), 2u);
    ASSERT_EQ(signals.size(), c.etsi ? 2u : 1u);
    const std::pair<int, int> data = signals.back();
    if (!c.etsi) {
        EXPECT_GE(data.first, rings[0].second + 500 - 5);
        EXPECT_LE(data.first, rings[0].second + 500 + 25);
        EXPECT_GE(rings[1].first, data.second + 200 - 5);
        EXPECT_TRUE(rig.EventsOf(kEvLineReversal).empty());
        return;
    }
    const auto reversal = rig.EventsOf(kEvLineReversal);
    ASSERT_EQ(reversal.size(), 1u);
    EXPECT_EQ(reversal[0].param, 1);
    const int reversedMs = static_cast<int>(SamplesToMs(reversal[0].time));
    const std::pair<int, int> alert = signals.front();
    EXPECT_NEAR(alert.first, reversedMs + 100, 25);
    EXPECT_NEAR(alert.second - alert.first, 100, 10);
    EXPECT_GT(ShareAt(Slice(rig.audio.lineRx, alert.first + 10, 80), {2130, 2750}), 0.95);
    EXPECT_GE(data.first - alert.second, 45);
    EXPECT_GE(rings[0].first, data.second + 200 - 5);
    EXPECT_GT(rings[0].first, reversedMs);
}

INSTANTIATE_TEST_SUITE_P(
    Plans, CallerIdTiming,
    ::testing::Values(TimingCase{"1", "\"Ivor Kell\" \"7964710\"", false},
                      TimingCase{"44", "\"Ivor Kell\" \"7964710\"", false},
                      TimingCase{"33", "\"Ivor Kell\" \"7964710\"", false},
                      TimingCase{"44", "\"" + std::string(49, 'n') + "\" \"" + std::string(49, '5') + "\"", false},
                      TimingCase{"44", "\"Ivor Kell\" \"7964710\"", true}),
    [](const auto &info) {
        return "c" + std::string(info.param.country) + (info.param.etsi ? "_etsi" : "_na") + "_" +
               std::to_string(info.index);
    });

struct WaitingCase {
    const char *what;
    bool cidcw;
    std::string options;
    std::string_view payload;  // empty: no message
};
void PrintTo(const WaitingCase &c, std::ostream *os) { *os << c.what; }

class CallWaiting : public ::testing::TestWithParam<WaitingCase> {};

// During a call the CAS brings event 224; only with CIDCW on does the
// adapter answer with a DTMF D on the line, and only then does the message
// follow, as event 228. The phone hears neither the alert's end nor the data.
TEST_P(CallWaiting, AcknowledgedOnlyWithCidcw)
{
    const WaitingCase &c = GetParam();
    Rig rig;
    rig.Load(std::string("0 far ring\n500 phone offhook\n") + (c.cidcw ? "600 adapter command 126 1\n" : "") +
             "1000 far speech 5000\n2000 far call-waiting \"Ann Other\" \"5550123\" " + c.options + "\n");
    rig.RunMs(5000);
    const auto alerts = rig.EventsOf(kEvCallWaitingAlert);
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0].param, c.cidcw ? 1 : 0);
    // The adapter's D alone: the phone's own acknowledgement of the waiting
    // caller passed on to it stays off the line.
    EXPECT_EQ(DecodeDtmf(Slice(rig.audio.lineTx, 2000, 2500)), c.cidcw ? "D" : "");
    const auto got = rig.EventsOf(kEvCallWaitingCallerId);
    EXPECT_TRUE(rig.EventsOf(kEvCallerId).empty());
    EXPECT_TRUE(rig.EventsOf(kEvCallerIdGenerated).empty());  // the adapter's doing, not the tool's
    if (c.payload.empty()) {
        EXPECT_TRUE(got.empty());
        EXPECT_EQ(rig.engine.GetHandset().CallerId().Display(), "");
        return;
    }
    // The handset shows the waiting caller.
    EXPECT_NE(rig.engine.GetHandset().CallerId().Display().find("5550123"), std::string::npos)
        << rig.engine.GetHandset().CallerId().Display();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].payload, Bytes(c.payload));
    // The message took the line's receive audio; the earpiece had none of it.
    const int64_t endMs = SamplesToMs(got[0].time);
    EXPECT_GT(Dbm0OfMeanSquare(MeanSquare(Slice(rig.audio.lineRx, endMs - 150, 100))), -20.0);
    EXPECT_LT(Dbm0OfMeanSquare(MeanSquare(Slice(rig.audio.earpiece, endMs - 150, 100))), -60.0);
}

INSTANTIATE_TEST_SUITE_P(Kinds, CallWaiting,
                         ::testing::Values(WaitingCase{"CIDCW off", false, "mdmf bell202", ""},
                                           WaitingCase{"CIDCW on, MDMF Bell 202",
                                                       true,
                                                       "mdmf bell202 date 05011200",
                                                       "\x80\x1E\x01\x08"
                                                       "05011200\x02\x07"
                                                       "5550123\x07\x09"
                                                       "Ann Other"},
                                           WaitingCase{"CIDCW on, SDMF V.23",
                                                       true,
                                                       "sdmf v23 date 05011200",
                                                       "\x04\x0F"
                                                       "050112005550123"}),
                         [](const auto &info) { return NameOf(info.param.what); });

struct DamagedCase {
    const char *what;
    FskFraming framing;
    std::vector<uint8_t> sent;  // as modulated
    int32_t code;               // 0: nothing reported
    const char *detail;
};
void PrintTo(const DamagedCase &c, std::ostream *os) { *os << c.what; }

class DamagedMessage : public ::testing::TestWithParam<DamagedCase> {};

// A message that does not come whole is reported as damaged, with what
// arrived; a burst without a channel seizure, on hook, is no message.
TEST_P(DamagedMessage, IsReportedApartFromCallerId)
{
    const DamagedCase &c = GetParam();
    Rig rig;
    rig.engine.GetExchange().LinePlay(std::make_unique<FskSource>(CidModem::Bell202, c.framing, c.sent, -13.0f));
    rig.RunMs(2000);
    EXPECT_TRUE(rig.EventsOf(kEvCallerId).empty());
    const auto got = rig.EventsOf(kEvCallerIdDamaged);
    if (c.code == 0) {
        EXPECT_TRUE(got.empty());
        return;
    }
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].payload, c.sent);
    EXPECT_EQ(got[0].detail, c.detail);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, DamagedMessage,
    ::testing::Values(DamagedCase{"bad checksum",
                                  kOnHookFraming,
                                  {0x04, 0x03, '5', '5', '5', 0x00},
                                  kEvCallerIdDamaged,
                                  "Caller ID damaged (bad checksum), 6 bytes"},
                      DamagedCase{"cut short",
                                  kOnHookFraming,
                                  {0x80, 0x1E, 0x01, 0x08, '0'},
                                  kEvCallerIdDamaged,
                                  "Caller ID damaged (cut short), 5 bytes"},
                      DamagedCase{"no channel seizure on hook", kOffHookFraming, {0x04, 0x01, '5', 0xA6}, 0, ""}),
    [](const auto &info) { return NameOf(info.param.what); });

// What a recording of on-hook caller ID from a real line holds, as sound:
// the ring bursts (ringing voltage through the recorder's coupling: a loud
// clipped edge at every half cycle), or for ETSI the click of the line
// reversal and the dual-tone alert; then the FSK, line noise, hum, clipping
// and dropouts.
struct RecordedCase {
    const char *what;
    CidModem modem;
    std::string_view message;  // without its checksum
    bool etsi = false;         // reversal click and DT-AS before, no ring
    float fskDbm0 = -13.0f;
    float gainDb = 0.0f;        // the whole recording louder (clipped)
    float noiseDbm0 = -200.0f;  // white noise all along
    float humDbm0 = -200.0f;    // 50 Hz all along
    int64_t dropoutMs = 0;      // silence inside the channel seizure
};
void PrintTo(const RecordedCase &c, std::ostream *os) { *os << c.what; }

std::vector<int16_t> Made(tvxsim::Source &&source, int64_t ms)
{
    std::vector<int16_t> out(static_cast<size_t>(MsToSamples(ms)), 0);
    source.MixInto(out);
    return out;
}

std::vector<int16_t> Recording(const RecordedCase &c, const std::vector<uint8_t> &sent)
{
    FskSource fsk(c.modem, kOnHookFraming, sent, c.fskDbm0);
    const int64_t fskMs = SamplesToMs(fsk.Length()) + 20;
    std::vector<int16_t> fskAudio = Made(std::move(fsk), fskMs);
    if (c.dropoutMs > 0)
        std::fill_n(fskAudio.begin() + MsToSamples(60), MsToSamples(c.dropoutMs), int16_t{0});
    const std::vector<int16_t> ring = SoxSamples(
        "-n", c.etsi ? "synth 0.8 square 25 highpass 300 gain -n -1" : "synth 1.2 square 20 highpass 300 gain -n -1");
    std::vector<int16_t> out;
    size_t fskAt = 0;
    if (c.etsi) {
        ToneSpec alert;
        alert.f1 = 2130;
        alert.f2 = 2750;
        alert.level1 = alert.level2 = -15.0f;
        alert.cadenceMs = {100, 0, 0, 0};
        MixAt(out, SoxSamples("-n", "synth 0.05 square 5 highpass 300 gain -n -3"), 0);  // the reversal
        MixAt(out, Made(ToneSource(alert, MsToSamples(100)), 100), static_cast<size_t>(MsToSamples(100)));
        fskAt = static_cast<size_t>(MsToSamples(300));
        MixAt(out, fskAudio, fskAt);
        MixAt(out, ring, out.size() + static_cast<size_t>(MsToSamples(250)));
    } else {
        MixAt(out, ring, 0);
        fskAt = ring.size() + static_cast<size_t>(MsToSamples(600));
        MixAt(out, fskAudio, fskAt);
        MixAt(out, ring, out.size() + static_cast<size_t>(MsToSamples(300)));
    }
    const auto ms = static_cast<int64_t>(out.size()) / tvxsim::kSamplesPerMs;
    if (c.noiseDbm0 > -100.0f)
        MixAt(out, Made(NoiseSource(MsToSamples(ms), c.noiseDbm0, 9), ms), 0);
    if (c.humDbm0 > -100.0f)
        for (const std::vector<int16_t> &hum : SoxSines(std::vector<SoxSineSpec>{{50.0, c.humDbm0, ms}}))
            MixAt(out, hum, 0);
    if (c.gainDb != 0.0f)
        ApplyGain(out, DbToGain(c.gainDb));
    return out;
}

class RecordedCallerId : public ::testing::TestWithParam<RecordedCase> {};

// Played onto the idle line, the recording's message comes back exact with
// its checksum, once, and its ring bursts ring nothing: they are sound.
TEST_P(RecordedCallerId, ComesBackExactFromTheIdleLine)
{
    if (!HaveSox())
        GTEST_SKIP() << "sox is not installed (scripts/install-deps.sh installs it)";
    const RecordedCase &c = GetParam();
    std::vector<uint8_t> sent = Bytes(c.message);
    sent.push_back(CidChecksum(sent));
    std::vector<int16_t> recording = Recording(c, sent);
    ASSERT_GT(recording.size(), static_cast<size_t>(MsToSamples(2000))) << "sox made no ring";
    const auto ms = static_cast<int64_t>(recording.size()) / tvxsim::kSamplesPerMs;
    Rig rig;
    rig.engine.GetExchange().LinePlay(std::make_unique<SamplesSource>(std::move(recording)));
    rig.RunMs(ms + 500);
    const auto got = rig.EventsOf(kEvCallerId);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].payload, Bytes(c.message));
    EXPECT_TRUE(rig.EventsOf(kEvCallerIdDamaged).empty());
    EXPECT_TRUE(rig.EventsOf(kEvLineRing).empty());
}

// MDMF with the name before the number, as some exchanges send it.
constexpr std::string_view kNameFirst = "\x80\x1E\x01\x08"
                                        "04292230\x07\x09"
                                        "Ivor Kell\x02\x07"
                                        "7964710";
// Both absence reasons: number out of area, name private.
constexpr std::string_view kAbsent = "\x80\x10\x01\x08"
                                     "04292230\x04\x01"
                                     "O\x08\x01"
                                     "P";
constexpr std::string_view kSdmfPrivate = "\x04\x09"
                                          "04292230P";

INSTANTIATE_TEST_SUITE_P(
    Lines, RecordedCallerId,
    ::testing::Values(
        RecordedCase{"Bell 202 name first between rings", CidModem::Bell202, kNameFirst},
        RecordedCase{"Bell 202 absence reasons", CidModem::Bell202, kAbsent},
        RecordedCase{"V.23 SDMF private", CidModem::V23, kSdmfPrivate},
        RecordedCase{"ETSI V.23 after reversal and DT-AS", CidModem::V23, kNameFirst, true},
        RecordedCase{"Bell 202 clipped", CidModem::Bell202, kNameFirst, false, -13.0f, 18.0f},
        RecordedCase{"Bell 202 in line noise and hum", CidModem::Bell202, kAbsent, false, -13.0f, 0.0f, -35.0f, -30.0f},
        RecordedCase{"V.23 weak in noise", CidModem::V23, kNameFirst, true, -30.0f, 0.0f, -50.0f},
        RecordedCase{"Bell 202 dropout in the seizure",
                     CidModem::Bell202,
                     kNameFirst,
                     false,
                     -13.0f,
                     0.0f,
                     -200.0f,
                     -200.0f,
                     20}),
    [](const auto &info) { return NameOf(info.param.what); });

TEST(LineNoise, OnHookMakesNoCallerId)
{
    Rig rig;
    rig.Load("0 line noise 20000 -20\n");
    rig.RunMs(20000);
    EXPECT_TRUE(rig.EventsOf(kEvCallerId).empty());
    EXPECT_TRUE(rig.EventsOf(kEvCallerIdDamaged).empty());
}

struct GenerateCase {
    const char *what;
    void (*change)(CidGenRecord &);
    bool phoneOffHook;
    const char *reported;  // event 97's text
    const char *country = "44";
};
void PrintTo(const GenerateCase &c, std::ostream *os) { *os << c.what; }

class GeneratedCallerId : public ::testing::TestWithParam<GenerateCase> {};

// ScGenerateETSI_CID's record goes to the phone as a signal; event 97 names
// what the handset's caller-ID display then shows.
TEST_P(GeneratedCallerId, ThePhoneShowsWhatTheRecordSays)
{
    const GenerateCase &c = GetParam();
    Rig rig;
    rig.engine.SetLocalCountry(c.country);
    if (c.phoneOffHook)
        rig.Load("0 phone offhook\n");
    rig.RunMs(100);
    CidGenRecord r = MdmfRecord();
    r.sendFlags = 0x07;
    c.change(r);
    ASSERT_EQ(rig.engine.GenerateCallerId(r), kOk);
    EXPECT_EQ(rig.engine.GenerateCallerId(r), kErrBusy);
    rig.RunMs(6000);
    const auto got = rig.EventsOf(kEvCallerIdGenerated);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].param, r.msgType);
    EXPECT_EQ(got[0].detail, c.reported);
    EXPECT_EQ(rig.EventsOf(kEvRingingStarted).size(), (r.sendFlags & kSendUseRinger) && !r.callFlags ? 1u : 0u);
    EXPECT_EQ(rig.engine.GenerateCallerId(r), kOk);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, GeneratedCallerId,
    ::testing::Values(GenerateCase{"MDMF",
                                   [](CidGenRecord &) {},
                                   false,
                                   "Caller ID generated: MDMF, the phone shows Ivor Kell, 7964710, 29/04 22:30"},
                      GenerateCase{"SDMF after a ring, Bell 202",
                                   [](CidGenRecord &r) {
                                       r.msgType = 0;
                                       r.sendFlags = 0x40;
                                   },
                                   false,
                                   "Caller ID generated: SDMF, the phone shows 7964710, 29/04 22:30",
                                   "1"},
                      GenerateCase{"MDMF private",
                                   [](CidGenRecord &r) { r.sendFlags = 0x27; },
                                   false,
                                   "Caller ID generated: MDMF, the phone shows Private, 29/04 22:30"},
                      GenerateCase{"MDMF out of area",
                                   [](CidGenRecord &r) { r.sendFlags = 0x13; },
                                   false,
                                   "Caller ID generated: MDMF, the phone shows Out of area"},
                      GenerateCase{"visual indicator lit",
                                   [](CidGenRecord &r) {
                                       r.sendFlags = 0x08;
                                       r.indicatorLit = 0xFF;
                                   },
                                   false,
                                   "Caller ID generated: MDMF, the phone shows message waiting"},
                      GenerateCase{"visual indicator dark",
                                   [](CidGenRecord &r) { r.sendFlags = 0x08; },
                                   false,
                                   "Caller ID generated: MDMF, the phone shows no message waiting"},
                      GenerateCase{"DTMF-C",
                                   [](CidGenRecord &r) { r.msgType = 2; },
                                   false,
                                   "Caller ID generated: DTMF-C, the phone shows 7964710"},
                      GenerateCase{"DTMF-# private",
                                   [](CidGenRecord &r) {
                                       r.msgType = 3;
                                       r.sendFlags = 0x20;
                                   },
                                   false,
                                   "Caller ID generated: DTMF-#, the phone shows Private"},
                      GenerateCase{"call waiting acknowledged by the phone",
                                   [](CidGenRecord &r) { r.callFlags = 0x03; },
                                   true,
                                   "Caller ID generated: MDMF, the phone shows Ivor Kell, 7964710, 29/04 22:30"},
                      GenerateCase{"call waiting to a phone on hook",
                                   [](CidGenRecord &r) { r.callFlags = 0x03; },
                                   false,
                                   "Caller ID generated: MDMF, no acknowledgement from the phone, nothing sent"},
                      GenerateCase{"call waiting without waiting",
                                   [](CidGenRecord &r) { r.callFlags = 0x01; },
                                   true,
                                   "Caller ID generated: MDMF, the phone shows Ivor Kell, 7964710, 29/04 22:30"},
                      GenerateCase{"weak: signal level 600 (-40.7 dBm0)",
                                   [](CidGenRecord &r) { r.signalLevel = 600; },
                                   false,
                                   "Caller ID generated: MDMF, the phone shows Ivor Kell, 7964710, 29/04 22:30"},
                      GenerateCase{"too weak: signal level 200 (-50 dBm0)",
                                   [](CidGenRecord &r) { r.signalLevel = 200; },
                                   false,
                                   "Caller ID generated: MDMF, the phone shows nothing"},
                      GenerateCase{"signal level 0",
                                   [](CidGenRecord &r) { r.signalLevel = 0; },
                                   false,
                                   "Caller ID generated: MDMF, the phone shows nothing"}),
    [](const auto &info) { return NameOf(info.param.what); });

}  // namespace
