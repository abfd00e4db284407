// Pure parts of the simulated adapter: event texts, the command and
// parameter tables, caller-ID records and messages, the phone's caller-ID
// display, country texts and the spectrum scale.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <ostream>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "panel/logic/ParameterTable.h"
#include "simulator/logic/AnalysisScale.h"
#include "simulator/logic/CallerIdDisplay.h"
#include "simulator/logic/CidCheck.h"
#include "simulator/logic/Commands.h"
#include "simulator/logic/DeviceState.h"
#include "simulator/logic/EventNames.h"
#include "simulator/logic/Parameters.h"
#include "simulator/logic/SimErrors.h"
#include "tests/simulator/SimTestSupport.h"

using namespace tvxsim;

namespace {

struct TextCase {
    int32_t event;
    int32_t param;
    const char *text;
};
void PrintTo(const TextCase &c, std::ostream *os) { *os << "event " << c.event << " param " << c.param; }

class EventText : public ::testing::TestWithParam<TextCase> {};

TEST_P(EventText, FormatsTheLibraryText)
{
    const TextCase &c = GetParam();
    char out[TVX_TEXT_SIZE];
    EXPECT_TRUE(FormatEventText(out, sizeof out, c.event, c.param));
    EXPECT_STREQ(out, c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Table, EventText,
    ::testing::Values(
        TextCase{1, 0, "Device attached"}, TextCase{2, 0, "Device detached"}, TextCase{16, 0, "Ringing started"},
        TextCase{17, 0, "Ringing stopped"}, TextCase{18, 2, "Line ring detected, ring 2"},
        TextCase{32, 0, "Tone generation started: dial tone"},
        TextCase{32, 7, "Tone generation started: receiver off-hook"},
        TextCase{32, 9, "Tone generation started: tone 9"}, TextCase{33, 0, "Tone generation stopped"},
        TextCase{34, 4, "Tone set generation started, 4 tones"}, TextCase{48, 11, "DTMF digit detected: #"},
        TextCase{48, 16, "DTMF digit detected: key 16"}, TextCase{49, 5, "Dialled digit 5"},
        TextCase{49, 10, "Dialled digit *"}, TextCase{49, 15, "Dialled digit D"},
        TextCase{49, 21, "Dialled pulse digit 5"}, TextCase{49, 26, "Dialled hook flash"},
        TextCase{49, 27, "Dialled pause"}, TextCase{49, 28, "Dialled wait for dial tone"},
        TextCase{49, 29, "Dialled wait for answer"}, TextCase{49, -1, "Dialled code -1"},
        TextCase{50, 0, "Telephony analysis on"}, TextCase{51, 0, "Telephony analysis off"},
        TextCase{64, 0, "Off Hook"}, TextCase{95, 0, "On Hook"},
        TextCase{80, (135 << 16) | 30, "Parameter 135 set to 30"},
        TextCase{81, (1 << 16) | 120, "Threshold 1 set to 120"}, TextCase{82, 44, "Local country set to 44"},
        TextCase{83, 972, "Destination country set to 972"}, TextCase{96, 0xC1, "LEDs: test on, lamps 0x41"},
        TextCase{96, 0x04, "LEDs: test off, lamps 0x04"}, TextCase{98, 3, "Melody loaded, 3 bytes"},
        TextCase{36, 0, "Dial tone detected"}, TextCase{39, 0, "No answer"}, TextCase{40, 0, "Busy detected"},
        TextCase{102, (66 << 8) | 129, "Hardware registers written at 66:129"},
        TextCase{225, 32, "Caller ID received, 32 bytes"}, TextCase{21, 1, "Line polarity reversed"},
        TextCase{21, 0, "Line polarity normal"}, TextCase{224, 1, "Call waiting alert detected, acknowledged"},
        TextCase{224, 0, "Call waiting alert detected, not acknowledged (CIDCW off)"},
        TextCase{226, 33, "Caller ID damaged, 33 bytes"}, TextCase{227, 4, "Call waiting caller ID damaged, 4 bytes"}));

TEST(EventNames, TableHasUniqueCodesAndTextsIncludingTheSidedOnes)
{
    std::set<int32_t> codes;
    std::set<std::string> texts;
    for (const EventName &row : EventNames()) {
        EXPECT_TRUE(codes.insert(row.code).second) << row.code;
        EXPECT_TRUE(texts.insert(row.text).second) << row.text;
    }
    EXPECT_EQ(codes.count(TVX_EVENT_SIDED_64), 1u);
    EXPECT_EQ(codes.count(TVX_EVENT_SIDED_95), 1u);
}

TEST(EventNames, UnknownCodeNamesCodeAndParam)
{
    char out[TVX_TEXT_SIZE];
    EXPECT_FALSE(FormatEventText(out, sizeof out, 123, 4));
    EXPECT_STREQ(out, "Unknown event 123 (param 4)");
    EXPECT_FALSE(FormatEventText(out, sizeof out, -7, -2147483647 - 1));
    EXPECT_STREQ(out, "Unknown event -7 (param -2147483648)");
}

TEST(EventNames, TextIsCutAndTerminatedInASmallBuffer)
{
    std::array<char, 10> out;
    out.fill('x');
    FormatEventText(out.data(), 6, 1, 0);
    EXPECT_STREQ(out.data(), "Devic");
    EXPECT_EQ(out[6], 'x');
}

struct ParameterCase {
    int32_t code;
    int32_t sent;
    int32_t used;
};
void PrintTo(const ParameterCase &c, std::ostream *os) { *os << "code " << c.code << " sent " << c.sent; }

class ParameterValue : public ::testing::TestWithParam<ParameterCase> {};

// A value is used as sent within the row's range and as the nearest end outside it.
TEST_P(ParameterValue, IsUsedWithinItsRange)
{
    const ParameterCase &c = GetParam();
    const ParameterRow *row = ParameterRowForCode(c.code);
    ASSERT_NE(row, nullptr);
    DeviceState st;
    EXPECT_EQ(st.Parameter(row->param), row->factory);
    st.parameters[static_cast<size_t>(row->param)] = c.sent;
    EXPECT_EQ(st.Parameter(row->param), c.used);
}

INSTANTIATE_TEST_SUITE_P(Table, ParameterValue,
                         ::testing::Values(ParameterCase{135, 30, 30}, ParameterCase{135, 0, 1},
                                           ParameterCase{199, 50, 50}, ParameterCase{199, 5, 20},
                                           ParameterCase{237, 32766, 1000}, ParameterCase{237, -5, 0},
                                           ParameterCase{142, 2147483647, 128}, ParameterCase{168, -2147483647 - 1, 0},
                                           ParameterCase{215, 255, 255}));

// The factory values are the defaults the tool shows, so that an adapter
// fresh from the factory behaves as the tool's panel says.
TEST(Parameters, FactoryValuesMatchTheToolsDefaults)
{
    const std::vector<std::pair<int32_t, int32_t>> toolDefaults = {
        {135, 30}, {151, 20}, {167, 4}, {183, 30}, {199, 95}, {215, 2}, {141, 70}, {221, 100}, {237, 100}, {142, 63}};
    for (const auto &[code, value] : toolDefaults) {
        const ParameterRow *row = ParameterRowForCode(code);
        ASSERT_NE(row, nullptr) << code;
        EXPECT_EQ(row->factory, value) << code;
    }
    EXPECT_EQ(ParameterRowForCode(140), nullptr);
    EXPECT_EQ(ParameterRowForCode(-1), nullptr);
}

// The detector's level of a threshold is exactly the dBm the tool shows for it.
TEST(Parameters, ThresholdLevelIsTheToolsScale)
{
    for (uint32_t v : {0u, 9u, 120u, 999u, 16383u, 32766u})
        EXPECT_DOUBLE_EQ(ThresholdToDbm0(v), tvx::ThresholdToDbm(v)) << v;
    EXPECT_DOUBLE_EQ(ThresholdToDbm0(40000), ThresholdToDbm0(32766));
    EXPECT_FLOAT_EQ(VoiceBandLowHz(85), 340.0f);
    EXPECT_FLOAT_EQ(VoiceBandHighHz(112), 3500.0f);
    EXPECT_FLOAT_EQ(VoiceThresholdDbm0(63), -32.5f);
}

struct CommandTableCase {
    int32_t code;
    bool known;
    CommandKind kind;
    int32_t value;
};
void PrintTo(const CommandTableCase &c, std::ostream *os) { *os << "code " << c.code; }

class CommandTable : public ::testing::TestWithParam<CommandTableCase> {};

TEST_P(CommandTable, NamesWhatACodeDoes)
{
    const CommandTableCase &c = GetParam();
    const CommandRow *row = FindCommand(c.code);
    ASSERT_EQ(row != nullptr, c.known);
    if (row) {
        EXPECT_EQ(row->kind, c.kind);
        EXPECT_EQ(row->value, c.value);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, CommandTable,
                         ::testing::Values(CommandTableCase{2, true, CommandKind::PcSilent, 1},
                                           CommandTableCase{68, true, CommandKind::RingerFrequency, 17},
                                           CommandTableCase{116, true, CommandKind::RingerFrequency, 50},
                                           CommandTableCase{122, true, CommandKind::DeviceMode, 7},
                                           CommandTableCase{110, true, CommandKind::AuxContent, 6},
                                           CommandTableCase{61, true, CommandKind::MakeBreak, 3},
                                           CommandTableCase{62, true, CommandKind::UsbHook, 0},
                                           CommandTableCase{237, true, CommandKind::Parameter, 237},
                                           CommandTableCase{0, false, {}, 0}, CommandTableCase{7, false, {}, 0},
                                           CommandTableCase{158, false, {}, 0}, CommandTableCase{-121, false, {}, 0},
                                           CommandTableCase{2147483647, false, {}, 0}));

struct CidCase {
    const char *what;
    void (*change)(CidGenRecord &);
    int32_t result;
};
void PrintTo(const CidCase &c, std::ostream *os) { *os << c.what; }

class CidRecordCheck : public ::testing::TestWithParam<CidCase> {};

TEST_P(CidRecordCheck, AcceptsOnlyConsistentRecords)
{
    CidGenRecord r = simtest::MdmfRecord();
    GetParam().change(r);
    EXPECT_EQ(CheckCidRecord(r), GetParam().result) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Table, CidRecordCheck,
    ::testing::Values(CidCase{"as the dialog fills it", [](CidGenRecord &) {}, kOk},
                      CidCase{"DTMF-#", [](CidGenRecord &r) { r.msgType = 3; }, kOk},
                      CidCase{"type 4", [](CidGenRecord &r) { r.msgType = 4; }, kErrBadRecord},
                      CidCase{"type 255", [](CidGenRecord &r) { r.msgType = 255; }, kErrBadRecord},
                      CidCase{"empty texts", [](CidGenRecord &r) { r = CidGenRecord{}; }, kOk},
                      CidCase{"49-character name",
                              [](CidGenRecord &r) {
                                  std::memset(r.name, 'n', 49);
                                  r.nameLen = 49;
                              },
                              kOk},
                      CidCase{"name without terminator",
                              [](CidGenRecord &r) {
                                  std::memset(r.name, 'n', 50);
                                  r.nameLen = 50;
                              },
                              kErrBadRecord},
                      CidCase{"name length too short", [](CidGenRecord &r) { r.nameLen = 8; }, kErrBadRecord},
                      CidCase{"name length too long", [](CidGenRecord &r) { r.nameLen = 10; }, kErrBadRecord},
                      CidCase{"number length above 49", [](CidGenRecord &r) { r.numberLen = 50; }, kErrBadRecord},
                      CidCase{"number length too short", [](CidGenRecord &r) { r.numberLen = 0; }, kErrBadRecord}));

// Bytes from the text: "\xNN" escapes aside, each character is a byte.
std::vector<uint8_t> Bytes(std::string_view text) { return std::vector<uint8_t>(text.begin(), text.end()); }

struct RecordCase {
    const char *what;
    void (*change)(CidGenRecord &);
    std::string_view message;  // without its checksum byte; DTMF types: the keys
};
void PrintTo(const RecordCase &c, std::ostream *os) { *os << c.what; }

class CidRecordMessage : public ::testing::TestWithParam<RecordCase> {};

// The record of the generator dialog becomes the message its flags ask for,
// with a checksum that makes the sum of all bytes 0.
TEST_P(CidRecordMessage, CarriesWhatTheSendFlagsSelect)
{
    const RecordCase &c = GetParam();
    CidGenRecord r = simtest::MdmfRecord();
    c.change(r);
    if (r.msgType >= kCidDtmfC) {
        EXPECT_EQ(DtmfCallerIdOfRecord(r), c.message);
        return;
    }
    const std::vector<uint8_t> m =
        BuildCallerIdMessage(r.msgType == kCidSdmf ? CidFormat::Sdmf : CidFormat::Mdmf, CidContentOfRecord(r));
    ASSERT_FALSE(m.empty());
    EXPECT_EQ(std::vector<uint8_t>(m.begin(), m.end() - 1), Bytes(c.message));
    unsigned sum = 0;
    for (uint8_t b : m)
        sum += b;
    EXPECT_EQ(sum % 256, 0u);
}

INSTANTIATE_TEST_SUITE_P(Table, CidRecordMessage,
                         ::testing::Values(RecordCase{"MDMF as the dialog sends it",
                                                      [](CidGenRecord &) {},
                                                      "\x80\x1E\x01\x08"
                                                      "04292230\x02\x07"
                                                      "7964710\x07\x09"
                                                      "Ivor Kell"},
                                           RecordCase{"the dialog's defaults: SDMF",
                                                      [](CidGenRecord &r) {
                                                          r.msgType = 0;
                                                          r.sendFlags = 0x40;
                                                      },
                                                      "\x04\x0F"
                                                      "042922307964710"},
                                           RecordCase{"SDMF with a short date keeps its zero bytes",
                                                      [](CidGenRecord &r) {
                                                          r.msgType = 0;
                                                          std::memcpy(r.dateTime, "0429\0\0\0\0", 8);
                                                      },
                                                      std::string_view("\x04\x0F"
                                                                       "0429\0\0\0\0"
                                                                       "7964710",
                                                                       17)},
                                           RecordCase{"SDMF visual indicator lit",
                                                      [](CidGenRecord &r) {
                                                          r.msgType = 0;
                                                          r.sendFlags = 0x08;
                                                          r.indicatorLit = 0xFF;
                                                      },
                                                      "\x06\x03\x42\x42\x42"},
                                           RecordCase{"MDMF number only",
                                                      [](CidGenRecord &r) { r.sendFlags = kSendNumber; },
                                                      "\x80\x09\x02\x07"
                                                      "7964710"},
                                           RecordCase{"MDMF private replaces number and name",
                                                      [](CidGenRecord &r) { r.sendFlags = 0x67; },
                                                      "\x80\x10\x01\x08"
                                                      "04292230\x04\x01P\x08\x01P"},
                                           RecordCase{"MDMF out of area",
                                                      [](CidGenRecord &r) { r.sendFlags = 0x53; },
                                                      "\x80\x06\x04\x01O\x08\x01O"},
                                           RecordCase{"MDMF private wins over out of area",
                                                      [](CidGenRecord &r) { r.sendFlags = 0x30; },
                                                      "\x80\x06\x04\x01P\x08\x01P"},
                                           RecordCase{"MDMF visual indicator lit",
                                                      [](CidGenRecord &r) {
                                                          r.sendFlags = 0x08;
                                                          r.indicatorLit = 0xFF;
                                                      },
                                                      "\x82\x03\x0B\x01\xFF"},
                                           RecordCase{"MDMF visual indicator dark",
                                                      [](CidGenRecord &r) { r.sendFlags = 0x08; },
                                                      std::string_view("\x82\x03\x0B\x01\x00", 5)},
                                           RecordCase{"DTMF-C", [](CidGenRecord &r) { r.msgType = 2; }, "A7964710C"},
                                           RecordCase{"DTMF-# private",
                                                      [](CidGenRecord &r) {
                                                          r.msgType = 3;
                                                          r.sendFlags = 0x60;
                                                      },
                                                      "B10#"},
                                           RecordCase{"DTMF-C out of area",
                                                      [](CidGenRecord &r) {
                                                          r.msgType = 2;
                                                          r.sendFlags = 0x10;
                                                      },
                                                      "B00C"},
                                           RecordCase{"DTMF keeps only the keys of the number",
                                                      [](CidGenRecord &r) {
                                                          r.msgType = 3;
                                                          std::memcpy(r.number, "+44 (20) 7x", 12);
                                                          r.numberLen = 11;
                                                      },
                                                      "A44207#"}),
                         [](const auto &info) { return simtest::NameOf(info.param.what); });

struct DisplayCase {
    std::string_view message;
    const char *shown;
};

TEST(PhoneDisplay, ShowsWhatTheMessageHoldsAndNeverReadsPastIt)
{
    const std::vector<DisplayCase> cases = {
        {"\x80\x1E\x01\x08"
         "04292230\x02\x07"
         "7964710\x07\x09"
         "Ivor Kell",
         "Ivor Kell, 7964710, 29/04 22:30"},
        {"\x04\x0F"
         "042922317964711",
         "7964711, 29/04 22:31"},
        {"\x04\x09"
         "04292230P",
         "Private, 29/04 22:30"},
        {"\x80\x06\x04\x01O\x08\x01O", "Out of area"},
        {"\x80\x09\x04\x01P\x07\x02Jo", "Jo, Private"},
        {"\x82\x03\x0B\x01\xFF", "message waiting"},
        {"\x06\x03\x6F\x6F\x6F", "no message waiting"},
        {"\x80\x20\x02\x09"
         "555",
         "555"},                   // lengths cut to the bytes there are
        {"\x80\x04\x07\x7F", ""},  // a name with no bytes
        {"\x84\x02\x07\x01", ""},  // not a caller-ID message type
        {"\x04\x05"
         "0429",
         ""},
        {"\x80", ""},
    };
    for (const DisplayCase &c : cases) {
        const std::vector<uint8_t> bytes = Bytes(c.message);
        EXPECT_EQ(PhoneDisplay(bytes), c.shown) << ::testing::PrintToString(c.message);
    }
    EXPECT_EQ(PhoneDisplayOfDtmf("7964710"), "7964710");
    EXPECT_EQ(PhoneDisplayOfDtmf("B10"), "Private");
    EXPECT_EQ(PhoneDisplayOfDtmf("B00"), "Out of area");
}

TEST(CidRecord, LevelScaleDateClockAndOutcomeText)
{
    EXPECT_FLOAT_EQ(CidSignalDbm0(32766), -6.0f);
    EXPECT_NEAR(CidSignalDbm0(16000), -12.225f, 0.01f);
    EXPECT_NEAR(CidSignalDbm0(8191), -18.04f, 0.01f);
    EXPECT_NEAR(CidSignalDbm0(8191) - CidSignalDbm0(16382), -6.02f, 0.01f);
    EXPECT_EQ(CidSignalDbm0(0), kCidSilentDbm0);

    EXPECT_EQ(CidDateAfterMinutes(0), "01010000");
    EXPECT_EQ(CidDateAfterMinutes(61), "01010101");
    EXPECT_EQ(CidDateAfterMinutes(31 * 24 * 60 + 28 * 24 * 60 + 23 * 60 + 59), "03012359");
    EXPECT_EQ(CidDateAfterMinutes(365 * 24 * 60 + 5), "01010005");

    EXPECT_EQ(DescribeCidOutcome(1, true, "Ivor Kell, 7964710"),
              "Caller ID generated: MDMF, the phone shows Ivor Kell, 7964710");
    EXPECT_EQ(DescribeCidOutcome(3, true, ""), "Caller ID generated: DTMF-#, the phone shows nothing");
    EXPECT_EQ(DescribeCidOutcome(0, false, "x"),
              "Caller ID generated: SDMF, no acknowledgement from the phone, nothing sent");
}

struct CountryCase {
    const char *text;
    bool valid;
};
void PrintTo(const CountryCase &c, std::ostream *os) { *os << '\'' << (c.text ? c.text : "(null)") << '\''; }

class CountryText : public ::testing::TestWithParam<CountryCase> {};

TEST_P(CountryText, OneToNineDigits) { EXPECT_EQ(IsCountryText(GetParam().text), GetParam().valid); }

INSTANTIATE_TEST_SUITE_P(Table, CountryText,
                         ::testing::Values(CountryCase{"44", true}, CountryCase{"1", true}, CountryCase{"0", true},
                                           CountryCase{"123456789", true}, CountryCase{"1234567890", false},
                                           CountryCase{"", false}, CountryCase{"+44", false}, CountryCase{"44 ", false},
                                           CountryCase{"4a", false}, CountryCase{nullptr, false}));

struct ColumnCase {
    uint32_t column;
    int width;
    bool ok;
    float hz;
};
void PrintTo(const ColumnCase &c, std::ostream *os) { *os << "column " << c.column << " width " << c.width; }

class ColumnFrequency : public ::testing::TestWithParam<ColumnCase> {};

TEST_P(ColumnFrequency, ZeroAtTheLeftEdgeTo4000AtTheRight)
{
    const ColumnCase &c = GetParam();
    float hz = -1.0f;
    EXPECT_EQ(ColumnToHz(c.column, c.width, hz), c.ok);
    EXPECT_FLOAT_EQ(hz, c.hz);
}

INSTANTIATE_TEST_SUITE_P(Table, ColumnFrequency,
                         ::testing::Values(ColumnCase{0, 400, true, 0.0f}, ColumnCase{100, 400, true, 1000.0f},
                                           ColumnCase{399, 400, true, 3990.0f}, ColumnCase{400, 400, false, -1.0f},
                                           ColumnCase{65535, 400, false, -1.0f}, ColumnCase{1, 3, true, 4000.0f / 3},
                                           ColumnCase{0, 0, false, -1.0f}, ColumnCase{0, -5, false, -1.0f},
                                           ColumnCase{65534, 65535, true, 4000.0f * 65534 / 65535}));

// A spectrum with one peak on a bin between two neighbours 6 dB down, over a
// floor: at any width the strongest column is the one whose frequency lies
// nearest the peak, and a narrow area still shows the peak's level.
TEST(Spectrum, ColumnsShowThePeakWhereTheirFrequencyIs)
{
    std::array<float, kSpectrumBins> bins;
    bins.fill(-70.0f);
    const int peakBin = 64;  // 1000 Hz
    bins[peakBin] = -10.0f;
    bins[peakBin - 1] = bins[peakBin + 1] = -16.0f;
    for (int width : {40, 100, 173, 260, 400, 1000}) {
        std::vector<float> columns(static_cast<size_t>(width));
        ColumnLevels(bins, columns);
        const auto peak = static_cast<uint32_t>(std::max_element(columns.begin(), columns.end()) - columns.begin());
        float hz = 0.0f;
        ASSERT_TRUE(ColumnToHz(peak, width, hz));
        EXPECT_LE(std::abs(hz - 1000.0f), 2000.0f / static_cast<float>(width)) << width;
        EXPECT_FLOAT_EQ(columns[peak], -10.0f) << width;
        EXPECT_FLOAT_EQ(columns[0], -70.0f) << width;
    }
    EXPECT_DOUBLE_EQ(LevelHeight(kSpectrumTopDbm0 + 3, 90), 90.0);
    EXPECT_DOUBLE_EQ(LevelHeight(-40.0f, 90), 45.0);
    EXPECT_DOUBLE_EQ(LevelHeight(-200.0f, 90), 0.0);
}

TEST(DeviceState, FactoryResetRestoresSettingsButNotTheDeviceType)
{
    DeviceState st;
    st.serial = "XXXXXXXXXXXXXXXXXXXXXX";
    st.thresholds[0] = 5;
    st.localCountry = "972";
    st.parameters[0] = 1;
    st.registers[66 * 256 + 129] = 7;
    st.deviceMode = 0;
    st.echoSuppression = false;
    st.melody = {1, 2};
    st.devType = 11;
    st.FactoryReset();
    EXPECT_EQ(st.serial, kFactorySerial);
    EXPECT_EQ(st.thresholds[0], 999u);
    EXPECT_EQ(st.thresholds[1], 120u);
    EXPECT_EQ(st.localCountry, "44");
    EXPECT_EQ(st.destinationCountry, "1");
    EXPECT_EQ(st.Parameter(Param::RingerOff), 30);
    EXPECT_EQ(st.RegisterValue(66, 129), -1);
    EXPECT_EQ(st.deviceMode, kFactoryDeviceMode);
    EXPECT_TRUE(st.echoSuppression);
    EXPECT_TRUE(st.melody.empty());
    EXPECT_EQ(st.devType, 11);
}

}  // namespace
