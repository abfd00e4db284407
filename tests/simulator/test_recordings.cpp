// Recordings that nobody here wrote, played through the tvxsim program: the
// recorded speech and music of Debian's sound packages, caller ID
// modulated by minimodem and spoiled as a real line spoils it, keyed digits
// and call-progress tones from sox's synthesiser. The adapter must read the
// caller ID byte for byte with its checksum and the digits exactly as
// keyed, and hear no digit and no caller ID in anything else. minimodem
// reading the same file is the oracle that the recording holds the message.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include <sys/wait.h>

#include "simulator/logic/CallerIdMessage.h"
#include "simulator/logic/EventNames.h"
#include "tests/simulator/LineRecordings.h"
#include "tests/simulator/SignalProbe.h"
#include "tests/simulator/SoundFiles.h"

using namespace simtest;
using tvxsim::CidContent;
using tvxsim::CidFormat;

namespace {

struct PrintedEvent {
    int64_t ms;
    int32_t code;
    std::string line;  // as printed, time included
};

struct ToolRun {
    int rc = -1;
    std::vector<PrintedEvent> events;
    std::string out;
    std::string err;
};

// Runs the tvxsim program on `scenario` and reads the events it prints.
ToolRun RunTvxsim(const std::string &scenario, const std::string &arguments = "")
{
    ToolRun run;
    const std::string errFile = scenario + ".err";
    const std::string command =
        std::string("'") + TVXSIM_PROGRAM + "' " + Quoted(scenario) + " " + arguments + " 2>" + Quoted(errFile);
    if (FILE *p = ::popen(command.c_str(), "r")) {
        std::array<char, 4096> buf;
        size_t n = 0;
        while ((n = std::fread(buf.data(), 1, buf.size(), p)) > 0)
            run.out.append(buf.data(), n);
        const int status = ::pclose(p);
        run.rc = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::ifstream err(errFile);
    run.err.assign(std::istreambuf_iterator<char>(err), std::istreambuf_iterator<char>());
    std::remove(errFile.c_str());
    std::istringstream lines(run.out);
    for (std::string line; std::getline(lines, line);) {
        PrintedEvent e{-1, -1, line};
        std::istringstream(line) >> e.ms >> e.code;
        run.events.push_back(e);
    }
    return run;
}

bool IsCallerIdEvent(int32_t code) { return code >= tvxsim::kEvCallerId && code <= tvxsim::kEvCallWaitingCallerId; }

// The lines of the events that must not come from a recording of the kind played.
std::string Unwanted(const ToolRun &run)
{
    std::string lines;
    for (const PrintedEvent &e : run.events)
        if (e.code == tvxsim::kEvDtmfDetected || IsCallerIdEvent(e.code))
            lines += e.line + "\n";
    return lines;
}

std::string DigitsOf(const ToolRun &run)
{
    static const std::string kMark = " 48 DTMF digit detected: ";
    std::string digits;
    for (const PrintedEvent &e : run.events)
        if (const size_t at = e.line.find(kMark);
            e.code == tvxsim::kEvDtmfDetected && at != std::string::npos && e.line.size() > at + kMark.size())
            digits += e.line[at + kMark.size()];  // the key; the side follows
    return digits;
}

// A call answered by the handset, in which the far party plays the file
// from 2 s on; or the idle line, on hook, onto which the exchange plays it
// from 0.5 s on.
enum class PlayPath {
    FarInACall,
    LineOnHook
};

std::string PlayScenario(PlayPath path, const std::string &file, int gainDb)
{
    const std::string play = "\"" + file + "\" " + std::to_string(gainDb) + "\n";
    return path == PlayPath::FarInACall ? "0 far ring\n1000 phone offhook\n2000 far play " + play
                                        : "500 line play " + play;
}

// ---- speech, music and tones: no digit and no caller ID --------------------

enum class Sound {
    Speech,
    Music,
    CallProgress
};

// Call-progress and modem tones at the levels exchanges send them, one row
// each: its one or two frequencies, level, cadence (on, off, ...) and repeats.
struct ToneRow {
    double lowHz;
    double highHz;
    double dbm0;
    std::array<int, 4> cadenceMs;  // 0: no more stretches
    int times;
};
constexpr std::array<ToneRow, 16> kCallProgressTones = {{
    {350, 440, -13, {2000, 500, 0, 0}, 1},      // North American dial tone
    {440, 480, -19, {2000, 4000, 0, 0}, 2},     // ring-back
    {480, 620, -24, {500, 500, 0, 0}, 4},       // busy
    {480, 620, -24, {250, 250, 0, 0}, 4},       // reorder
    {350, 450, -13, {2000, 500, 0, 0}, 1},      // British dial tone
    {400, 450, -19, {400, 200, 400, 2000}, 2},  // British ring-back
    {400, 0, -19, {375, 375, 0, 0}, 4},         // British busy
    {425, 0, -10, {2000, 500, 0, 0}, 1},        // European dial tone
    {425, 0, -10, {500, 500, 0, 0}, 3},         // European busy
    {425, 0, -10, {1000, 4000, 0, 0}, 1},       // European ring-back
    {950, 0, -20, {330, 30, 0, 0}, 1},          // special information tones
    {1400, 0, -20, {330, 30, 0, 0}, 1},
    {1800, 0, -20, {330, 1000, 0, 0}, 1},
    {2100, 0, -12, {3000, 500, 0, 0}, 1},  // a modem's answer tone (V.23's space)
    {1300, 0, -12, {500, 2000, 0, 0}, 2},  // a modem's calling tone (V.23's mark)
    {1100, 0, -12, {500, 3000, 0, 0}, 2},  // a fax machine's calling tone
}};

std::vector<ToneSegment> CallProgressTones()
{
    std::vector<ToneSegment> s;
    for (const ToneRow &row : kCallProgressTones)
        for (int i = 0; i < row.times; ++i)
            for (size_t k = 0; k < row.cadenceMs.size() && row.cadenceMs[k] > 0; ++k)
                s.push_back(k % 2 == 0 ? ToneSegment{row.lowHz, row.highHz, row.dbm0, row.dbm0, row.cadenceMs[k]}
                                       : ToneSegment{0, 0, 0, 0, row.cadenceMs[k]});
    return s;
}

// The recording of `sound` at `path`, 8 kHz.
bool MakeSound(Sound sound, const std::string &path)
{
    switch (sound) {
    case Sound::Speech:
        return JoinRecordings(kSpeechFolder, path);
    case Sound::Music:
        return JoinRecordings(kMusicFolder, path);
    case Sound::CallProgress:
        return MakeToneRecording(path, 8000, {CallProgressTones()});
    }
    return false;
}

struct QuietCase {
    const char *name;
    Sound sound;
    PlayPath path;
    int gainDb;
};
void PrintTo(const QuietCase &c, std::ostream *os) { *os << c.name; }

class NotDigitsNorCallerId : public ::testing::TestWithParam<QuietCase> {};

TEST_P(NotDigitsNorCallerId, GiveNoDigitAndNoCallerId)
{
    const QuietCase &c = GetParam();
    if (!HaveTool("sox"))
        GTEST_SKIP() << "sox is not installed (scripts/install-deps.sh)";
    if (c.sound != Sound::CallProgress && !Succeeds(std::string("test -d ") + kSpeechFolder + " -a -d " + kMusicFolder))
        GTEST_SKIP() << "the speech and music packages are not installed (scripts/install-deps.sh)";
    const TempFolder folder(c.name);
    const std::string file = folder.File("sound.wav");
    ASSERT_TRUE(MakeSound(c.sound, file));
    const std::string scenario = folder.File("play.scn");
    std::ofstream(scenario) << PlayScenario(c.path, "sound.wav", c.gainDb);
    // To the recording's end, and a second after it.
    const std::string seconds = Output("soxi -D " + Quoted(file));
    const auto untilMs = static_cast<int64_t>(std::strtod(seconds.c_str(), nullptr) * 1000.0) + 3000;
    ASSERT_GT(untilMs, 3000) << seconds;
    const ToolRun run = RunTvxsim(scenario, "--until " + std::to_string(untilMs));
    ASSERT_EQ(run.rc, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(Unwanted(run), "");
}

INSTANTIATE_TEST_SUITE_P(Recordings, NotDigitsNorCallerId,
                         ::testing::Values(QuietCase{"speech_far", Sound::Speech, PlayPath::FarInACall, 0},
                                           QuietCase{"speech_line", Sound::Speech, PlayPath::LineOnHook, 0},
                                           QuietCase{"music_far", Sound::Music, PlayPath::FarInACall, 6},
                                           QuietCase{"music_line", Sound::Music, PlayPath::LineOnHook, 6},
                                           QuietCase{"tones_far", Sound::CallProgress, PlayPath::FarInACall, 0},
                                           QuietCase{"tones_line", Sound::CallProgress, PlayPath::LineOnHook, 0}),
                         [](const auto &info) { return std::string(info.param.name); });

// ---- caller ID from minimodem, on a spoilt line ------------------------------

// An MDMF call set-up message of these parameters in this order, its length and checksum added.
std::vector<uint8_t> Mdmf(const std::vector<std::pair<uint8_t, std::string>> &parameters)
{
    std::vector<uint8_t> m = {0x80, 0};
    for (const auto &[type, value] : parameters) {
        m.push_back(type);
        m.push_back(static_cast<uint8_t>(value.size()));
        m.insert(m.end(), value.begin(), value.end());
    }
    m[1] = static_cast<uint8_t>(m.size() - 2);
    m.push_back(tvxsim::CidChecksum(m));
    return m;
}

// How tvxsim prints the caller ID event of a message: its bytes without the checksum.
std::string CallerIdLine(const std::vector<uint8_t> &message)
{
    std::string line =
        std::to_string(tvxsim::kEvCallerId) + " Caller ID received, " + std::to_string(message.size() - 1) + " bytes:";
    for (size_t i = 0; i + 1 < message.size(); ++i) {
        std::array<char, 4> hex{};
        std::snprintf(hex.data(), hex.size(), " %02X", message[i]);
        line += hex.data();
    }
    return line;
}

bool Contains(const std::vector<uint8_t> &haystack, const std::vector<uint8_t> &needle)
{
    return std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end()) != haystack.end();
}

constexpr FskLine kBell202At48k{1200, 2200, 48000, 20, 25.0, 3.0};
constexpr FskLine kBell202At44k{1200, 2200, 44100, 25, 20.0, 6.0};
constexpr FskLine kV23At44k{1300, 2100, 44100, 25, 25.0, 3.0};
constexpr FskLine kV23At48k{1300, 2100, 48000, 20, 20.0, 6.0};

struct CallerIdCase {
    const char *name;
    FskLine line;
    std::vector<uint8_t> message;
    const char *file;        // the played file: its name gives its type
    const char *soxOptions;  // how sox writes it from the line's WAV (ignored for MP3)
    bool stereo;             // another caller's message on the second channel
    int gainDb;
};
void PrintTo(const CallerIdCase &c, std::ostream *os) { *os << c.name; }

class CallerIdRecording : public ::testing::TestWithParam<CallerIdCase> {};

// Played onto the idle line, on hook, without ringing voltage (the
// recording's ring burst is sound): received as event 225, the message's
// bytes exactly, once, and nothing damaged.
TEST_P(CallerIdRecording, OnTheIdleLineIsReceivedByteForByte)
{
    const CallerIdCase &c = GetParam();
    if (!HaveTool("sox") || !HaveTool("minimodem") || (std::string(c.file).ends_with(".mp3") && !HaveTool("lame")))
        GTEST_SKIP() << "sox, minimodem or lame is not installed (scripts/install-deps.sh)";
    const TempFolder folder(c.name);
    const std::string wav = folder.File("line.wav");
    ASSERT_TRUE(MakeFskRecording(wav, c.line, c.message));
    const std::string file = folder.File(c.file);
    if (std::string(c.file).ends_with(".mp3")) {
        ASSERT_TRUE(Succeeds("lame --quiet " + Quoted(wav) + " " + Quoted(file)));
    } else if (c.stereo) {
        const std::vector<uint8_t> other = Mdmf({{0x01, "12312359"}, {0x02, "0123456789"}, {0x07, "Other Caller"}});
        const std::string second = folder.File("other.wav");
        ASSERT_TRUE(MakeFskRecording(second, c.line, other));
        ASSERT_TRUE(
            Succeeds("sox -V1 -M " + Quoted(wav) + " " + Quoted(second) + " " + c.soxOptions + " " + Quoted(file)));
    } else {
        ASSERT_TRUE(Succeeds("sox -V1 " + Quoted(wav) + " " + c.soxOptions + " " + Quoted(file)));
    }
    // The oracle: minimodem reads the whole message, checksum included, from
    // what is played (of a stereo file, its first channel: minimodem takes one).
    ASSERT_TRUE(Contains(MinimodemBytes(c.stereo ? wav : file, c.line.markHz, c.line.spaceHz), c.message))
        << "minimodem does not read the message from " << c.file;
    std::ofstream(folder.File("play.scn")) << PlayScenario(PlayPath::LineOnHook, c.file, c.gainDb);
    const ToolRun run = RunTvxsim(folder.File("play.scn"));
    ASSERT_EQ(run.rc, 0) << run.err;
    EXPECT_EQ(run.err, "");
    std::string callerIds;
    for (const PrintedEvent &e : run.events)
        if (IsCallerIdEvent(e.code))
            callerIds += e.line.substr(e.line.find(' ') + 1) + "\n";
    EXPECT_EQ(callerIds, CallerIdLine(c.message) + "\n") << run.out;
    EXPECT_EQ(DigitsOf(run), "");
}

const std::vector<uint8_t> kSdmf =
    tvxsim::BuildCallerIdMessage(CidFormat::Sdmf, CidContent{"", "5551234567", "04292230", 0, -1});
const std::vector<uint8_t> kNameFirst = Mdmf({{0x01, "04292230"}, {0x07, "Ivor Kell"}, {0x02, "7964710"}});
const std::vector<uint8_t> kPrivate =
    tvxsim::BuildCallerIdMessage(CidFormat::Mdmf, CidContent{"", "", "11051745", tvxsim::kAbsencePrivate, -1});
const std::vector<uint8_t> kNumberOutOfAreaNamePrivate = Mdmf({{0x01, "02140900"}, {0x04, "O"}, {0x08, "P"}});
const std::vector<uint8_t> kNumberThenName =
    tvxsim::BuildCallerIdMessage(CidFormat::Mdmf, CidContent{"Ann Other", "01632960123", "07010815", 0, -1});
const std::vector<uint8_t> kSdmfOutOfArea =
    tvxsim::BuildCallerIdMessage(CidFormat::Sdmf, CidContent{"", "", "12251200", tvxsim::kAbsenceOutOfArea, -1});

INSTANTIATE_TEST_SUITE_P(
    Lines, CallerIdRecording,
    ::testing::Values(
        CallerIdCase{"sdmf_bell202_wav48", kBell202At48k, kSdmf, "cid.wav", "-b 16", false, -16},
        CallerIdCase{"mdmf_name_first_bell202_flac44", kBell202At44k, kNameFirst, "cid.flac", "-b 16", false, -20},
        CallerIdCase{"mdmf_private_bell202_mp3", kBell202At44k, kPrivate, "cid.mp3", "", false, -16},
        CallerIdCase{"mdmf_stereo_bell202_float48",
                     kBell202At48k,
                     kNumberThenName,
                     "cid.wav",
                     "-e floating-point -b 32",
                     true,
                     -10},
        CallerIdCase{"mdmf_absent_v23_wav44", kV23At44k, kNumberOutOfAreaNamePrivate, "cid.wav", "-b 24", false, -16},
        CallerIdCase{"mdmf_name_first_v23_flac48", kV23At48k, kNameFirst, "cid.flac", "-b 16", false, -20},
        CallerIdCase{"sdmf_out_of_area_v23_mp3", kV23At48k, kSdmfOutOfArea, "cid.mp3", "", false, -13}),
    [](const auto &info) { return std::string(info.param.name); });

// ---- keyed digits from sox ----------------------------------------------------

struct DigitsCase {
    const char *name;
    const char *keys;
    int rate;
    int onMs;
    int offMs;
    double lowDbm0;  // the low group's level; the high group's is lowDbm0 + twistDb
    double twistDb;
    double offsetPercent;  // each key's low tone this far off, its high tone as far the other way, by turns
    ToneSegment dialTone;  // on the line when the first key begins, for dialTone.ms more (0 Hz: none)
    const char *file;
};
void PrintTo(const DigitsCase &c, std::ostream *os) { *os << c.name << " " << c.keys; }

// The keys' tone pairs after a quarter of a second of quiet, with the dial
// tone from the start to its given time into the first key.
std::vector<std::vector<ToneSegment>> KeyTracks(const DigitsCase &c)
{
    constexpr int kLeadMs = 250;
    std::vector<ToneSegment> keys = {{0, 0, 0, 0, kLeadMs}};
    for (size_t i = 0; c.keys[i] != '\0'; ++i) {
        const DtmfKeyRow *row = nullptr;
        for (const DtmfKeyRow &r : kDtmfKeyRows)
            if (r.key == c.keys[i])
                row = &r;
        if (row == nullptr)
            return {};
        const double off = (i % 2 == 0 ? 1.0 : -1.0) * c.offsetPercent / 100.0;
        keys.push_back({row->low * (1.0 + off), row->high * (1.0 - off), c.lowDbm0, c.lowDbm0 + c.twistDb, c.onMs});
        keys.push_back({0, 0, 0, 0, c.offMs});
    }
    if (c.dialTone.lowHz <= 0)
        return {keys};
    ToneSegment dial = c.dialTone;
    dial.ms += kLeadMs;
    return {keys, {dial}};
}

class KeyedDigitsRecording : public ::testing::TestWithParam<DigitsCase> {};

// Played by the far party during a call: read as exactly the keys.
TEST_P(KeyedDigitsRecording, FarPlayIsReadAsExactlyTheKeys)
{
    const DigitsCase &c = GetParam();
    if (!HaveTool("sox") || (std::string(c.file).ends_with(".mp3") && !HaveTool("lame")))
        GTEST_SKIP() << "sox or lame is not installed (scripts/install-deps.sh)";
    const TempFolder folder(c.name);
    const std::string wav = folder.File("keys.wav");
    ASSERT_TRUE(MakeToneRecording(wav, c.rate, KeyTracks(c)));
    const std::string file = folder.File(c.file);
    if (std::string(c.file).ends_with(".mp3")) {
        ASSERT_TRUE(Succeeds("lame --quiet " + Quoted(wav) + " " + Quoted(file)));
    } else if (file != wav) {
        ASSERT_TRUE(Succeeds("sox -V1 " + Quoted(wav) + " " + Quoted(file)));
    }
    // The oracle: the signal library's receiver, its twist widened to the
    // case's, reads exactly the keys from their track without the dial tone.
    const std::string keysOnly = folder.File("keys-only.wav");
    ASSERT_TRUE(MakeToneRecording(keysOnly, 8000, {KeyTracks(c).front()}));
    EXPECT_EQ(DecodeDtmf(SamplesAt8k(keysOnly), 8), c.keys) << "the signal library does not read the keys";
    std::ofstream(folder.File("play.scn")) << PlayScenario(PlayPath::FarInACall, c.file, 0);
    const ToolRun run = RunTvxsim(folder.File("play.scn"));
    ASSERT_EQ(run.rc, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(DigitsOf(run), c.keys) << run.out;
}

INSTANTIATE_TEST_SUITE_P(
    Keys, KeyedDigitsRecording,
    ::testing::Values(
        DigitsCase{"all_keys_dial_tone_wav44",
                   "0123456789*#ABCD",
                   44100,
                   70,
                   70,
                   -11,
                   3,
                   1.0,
                   ToneSegment{350, 440, -13, -13, 40},
                   "keys.wav"},
        DigitsCase{"number_british_dial_tone_flac48",
                   "01632960123",
                   48000,
                   70,
                   70,
                   -7,
                   -6,
                   1.0,
                   ToneSegment{350, 450, -13, -13, 40},
                   "keys.flac"},
        DigitsCase{
            "european_dial_tone_mp3", "#9*05", 44100, 70, 70, -12, 2, 1.0, ToneSegment{425, 0, -10, 0, 40}, "keys.mp3"},
        DigitsCase{
            "no_dial_tone_wav48", "7410852963", 48000, 70, 70, -10, -3, 1.0, ToneSegment{0, 0, 0, 0, 0}, "keys.wav"}),
    [](const auto &info) { return std::string(info.param.name); });

}  // namespace
