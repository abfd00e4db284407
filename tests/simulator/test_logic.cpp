// Pure parts of the simulated adapter: event texts, command confirmations,
// caller-ID record checks, country texts and the spectrum scale.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <ostream>
#include <set>
#include <string>

#include "simulator/logic/AnalysisLevels.h"
#include "simulator/logic/CidCheck.h"
#include "simulator/logic/CommandEvents.h"
#include "simulator/logic/DeviceState.h"
#include "simulator/logic/EventNames.h"
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
    EXPECT_TRUE(formatEventText(out, sizeof out, c.event, c.param));
    EXPECT_STREQ(out, c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Table, EventText,
    ::testing::Values(TextCase{1, 0, "Device attached"}, TextCase{2, 0, "Device detached"},
                      TextCase{16, 0, "Ringing started"}, TextCase{17, 0, "Ringing stopped"},
                      TextCase{18, 2, "Line ring detected, ring 2"},
                      TextCase{32, 0, "Tone generation started: dial tone"},
                      TextCase{32, 7, "Tone generation started: receiver off-hook"},
                      TextCase{32, 9, "Tone generation started: tone 9"}, TextCase{33, 0, "Tone generation stopped"},
                      TextCase{34, 4, "Tone set generation started, 4 tones"},
                      TextCase{48, 11, "DTMF digit detected: #"}, TextCase{48, 16, "DTMF digit detected: key 16"},
                      TextCase{49, 5, "Dialled digit 5"}, TextCase{49, 10, "Dialled digit *"},
                      TextCase{49, 15, "Dialled digit D"}, TextCase{49, 21, "Dialled pulse digit 5"},
                      TextCase{49, 26, "Dialled hook flash"}, TextCase{49, 27, "Dialled code 27"},
                      TextCase{49, 28, "Dialled wait for dial tone"}, TextCase{49, 29, "Dialled wait for answer"},
                      TextCase{49, -1, "Dialled code -1"}, TextCase{50, 0, "Telephony analysis on"},
                      TextCase{51, 0, "Telephony analysis off"}, TextCase{64, 0, "Off Hook"},
                      TextCase{95, 0, "On Hook"}, TextCase{80, (135 << 16) | 30, "Parameter 135 set to 30"},
                      TextCase{81, (1 << 16) | 120, "Threshold 1 set to 120"},
                      TextCase{82, 44, "Local country set to 44"}, TextCase{83, 972, "Destination country set to 972"},
                      TextCase{96, 0xC1, "LEDs: test on, lamps 0x41"}, TextCase{96, 0x04, "LEDs: test off, lamps 0x04"},
                      TextCase{98, 3, "Melody loaded, 3 bytes"},
                      TextCase{102, (66 << 8) | 129, "Hardware registers written at 66:129"},
                      TextCase{225, 32, "Caller ID received, 32 bytes"}));

TEST(EventNames, TableHasUniqueCodesAndTextsIncludingTheSidedOnes)
{
    std::set<int32_t> codes;
    std::set<std::string> texts;
    for (const EventName &row : eventNames()) {
        EXPECT_TRUE(codes.insert(row.code).second) << row.code;
        EXPECT_TRUE(texts.insert(row.text).second) << row.text;
    }
    EXPECT_EQ(codes.count(TVX_EVENT_SIDED_64), 1u);
    EXPECT_EQ(codes.count(TVX_EVENT_SIDED_95), 1u);
}

TEST(EventNames, UnknownCodeNamesCodeAndParam)
{
    char out[TVX_TEXT_SIZE];
    EXPECT_FALSE(formatEventText(out, sizeof out, 123, 4));
    EXPECT_STREQ(out, "Unknown event 123 (param 4)");
    EXPECT_FALSE(formatEventText(out, sizeof out, -7, -2147483647 - 1));
    EXPECT_STREQ(out, "Unknown event -7 (param -2147483648)");
}

TEST(EventNames, TextIsCutAndTerminatedInASmallBuffer)
{
    std::array<char, 10> out;
    out.fill('x');
    formatEventText(out.data(), 6, 1, 0);
    EXPECT_STREQ(out.data(), "Devic");
    EXPECT_EQ(out[6], 'x');
}

struct CommandCase {
    int32_t code;
    int32_t param;
    int count;
    Confirmation first;
    Confirmation second;
};
void PrintTo(const CommandCase &c, std::ostream *os) { *os << "code " << c.code << " param " << c.param; }

class CommandConfirmation : public ::testing::TestWithParam<CommandCase> {};

TEST_P(CommandConfirmation, ReportsTheEventsOfTheCode)
{
    const CommandCase &c = GetParam();
    const CommandConfirmations got = confirmCommand(c.code, c.param);
    ASSERT_EQ(got.count, c.count);
    const std::array<Confirmation, 2> expected = {c.first, c.second};
    for (int i = 0; i < c.count; ++i) {
        const Confirmation &g = got.events[static_cast<size_t>(i)];
        const Confirmation &e = expected[static_cast<size_t>(i)];
        EXPECT_EQ(g.event, e.event) << i;
        EXPECT_EQ(g.param, e.param) << i;
        EXPECT_EQ(g.side, e.side) << i;
        EXPECT_EQ(g.delayMs, e.delayMs) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, CommandConfirmation,
    ::testing::Values(
        CommandCase{20, 0, 1, {kEvRingingStarted, 0, 0, 0}, {}}, CommandCase{4, 0, 1, {kEvRingingStopped, 0, 0, 0}, {}},
        CommandCase{46, 0, 1, {kEvOffHook, 0, TVX_SIDE_PHONE, 0}, {}},
        CommandCase{62, 0, 1, {kEvOnHook, 0, TVX_SIDE_PHONE, 0}, {}},
        CommandCase{12, 0, 1, {kEvToneStarted, 0, 0, 0}, {}}, CommandCase{28, 0, 1, {kEvToneStarted, 1, 0, 0}, {}},
        CommandCase{44, 0, 1, {kEvToneStarted, 2, 0, 0}, {}}, CommandCase{60, 0, 1, {kEvToneStarted, 3, 0, 0}, {}},
        CommandCase{76, 0, 1, {kEvToneStarted, 4, 0, 0}, {}}, CommandCase{108, 0, 1, {kEvToneStarted, 5, 0, 0}, {}},
        CommandCase{108, 1, 2, {kEvToneStarted, 6, 0, 0}, {kEvToneStopped, 0, 0, kBeepEndsAfterMs}},
        CommandCase{108, 2, 1, {kEvToneStarted, 7, 0, 0}, {}}, CommandCase{124, 0, 1, {kEvToneStopped, 0, 0, 0}, {}},
        CommandCase{140, 31, 1, {kEvAnalysisOn, 0, 0, 0}, {}}, CommandCase{140, 30, 1, {kEvAnalysisOff, 0, 0, 0}, {}},
        CommandCase{140, 0, 1, {kEvDialled, 0, 0, 0}, {}}, CommandCase{140, 29, 1, {kEvDialled, 29, 0, 0}, {}},
        CommandCase{140, 32, 0, {}, {}}, CommandCase{140, -1, 0, {}, {}},
        CommandCase{135, 30, 1, {kEvParameterChanged, (135 << 16) | 30, 0, 0}, {}},
        CommandCase{215, 255, 1, {kEvParameterChanged, (215 << 16) | 255, 0, 0}, {}},
        CommandCase{136, 7, 1, {kEvParameterChanged, (136 << 16) | 7, 0, 0}, {}},
        CommandCase{237, 100, 1, {kEvParameterChanged, (237 << 16) | 100, 0, 0}, {}},
        CommandCase{142, 63, 1, {kEvParameterChanged, (142 << 16) | 63, 0, 0}, {}},
        CommandCase{141, 70000, 1, {kEvParameterChanged, (141 << 16) | 0xFFFF, 0, 0}, {}},
        CommandCase{58, 0, 0, {}, {}},   // device mode: no echo
        CommandCase{126, 1, 0, {}, {}},  // group 14 item 7 is a switch
        CommandCase{13, 0, 0, {}, {}},   // group 13 item 0 is make/break
        CommandCase{-5, 0, 0, {}, {}}));

struct ParameterCodeCase {
    int32_t code;
    bool parameter;
};
void PrintTo(const ParameterCodeCase &c, std::ostream *os) { *os << "code " << c.code; }

class ParameterCode : public ::testing::TestWithParam<ParameterCodeCase> {};

TEST_P(ParameterCode, GroupsSevenEightThirteenAndFourteenItemEight)
{
    EXPECT_EQ(isParameterCode(GetParam().code), GetParam().parameter) << GetParam().code;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ParameterCode,
    ::testing::Values(ParameterCodeCase{135, true}, ParameterCodeCase{151, true}, ParameterCodeCase{167, true},
                      ParameterCodeCase{183, true}, ParameterCodeCase{199, true}, ParameterCodeCase{215, true},
                      ParameterCodeCase{136, true}, ParameterCodeCase{152, true}, ParameterCodeCase{168, true},
                      ParameterCodeCase{141, true}, ParameterCodeCase{221, true}, ParameterCodeCase{237, true},
                      ParameterCodeCase{142, true}, ParameterCodeCase{7, false}, ParameterCodeCase{13, false},
                      ParameterCodeCase{158, false}, ParameterCodeCase{126, false}, ParameterCodeCase{140, false},
                      ParameterCodeCase{-121, false}));

struct CidCase {
    const char *what;
    void (*change)(CidGenRecord &);
    int32_t result;
};
void PrintTo(const CidCase &c, std::ostream *os) { *os << c.what; }

class CidRecordCheck : public ::testing::TestWithParam<CidCase> {};

TEST_P(CidRecordCheck, AcceptsOnlyConsistentRecords)
{
    CidGenRecord r = simtest::mdmfRecord();
    GetParam().change(r);
    EXPECT_EQ(checkCidRecord(r), GetParam().result) << GetParam().what;
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

TEST(CidRecord, DescriptionNamesTypeNumberAndName)
{
    char out[TVX_TEXT_SIZE];
    CidGenRecord r = simtest::mdmfRecord();
    describeCidRecord(r, out, sizeof out);
    EXPECT_STREQ(out, "Caller ID generated: MDMF, 7964710, Ivor Kell");
    r = CidGenRecord{};
    r.callFlags = 0x03;
    describeCidRecord(r, out, sizeof out);
    EXPECT_STREQ(out, "Caller ID generated: SDMF, -, -, call waiting");
}

struct CountryCase {
    const char *text;
    bool valid;
};
void PrintTo(const CountryCase &c, std::ostream *os) { *os << '\'' << (c.text ? c.text : "(null)") << '\''; }

class CountryText : public ::testing::TestWithParam<CountryCase> {};

TEST_P(CountryText, OneToNineDigits) { EXPECT_EQ(isCountryText(GetParam().text), GetParam().valid); }

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
    EXPECT_EQ(columnToHz(c.column, c.width, hz), c.ok);
    EXPECT_FLOAT_EQ(hz, c.hz);
}

INSTANTIATE_TEST_SUITE_P(Table, ColumnFrequency,
                         ::testing::Values(ColumnCase{0, 400, true, 0.0f}, ColumnCase{100, 400, true, 1000.0f},
                                           ColumnCase{399, 400, true, 3990.0f}, ColumnCase{400, 400, false, -1.0f},
                                           ColumnCase{65535, 400, false, -1.0f}, ColumnCase{1, 3, true, 4000.0f / 3},
                                           ColumnCase{0, 0, false, -1.0f}, ColumnCase{0, -5, false, -1.0f},
                                           ColumnCase{65534, 65535, true, 4000.0f * 65534 / 65535}));

TEST(Spectrum, LevelsStayInRangeAndMoveBetweenFrames)
{
    std::array<float, 64> a{};
    std::array<float, 64> b{};
    spectrumLevels(0, a);
    spectrumLevels(5, b);
    for (size_t i = 0; i < a.size(); ++i) {
        EXPECT_GE(a[i], 0.0f);
        EXPECT_LE(a[i], 1.0f);
    }
    EXPECT_NE(a, b);
    // The dial-tone pair stands out of the noise floor (350 and 440 Hz fall in
    // bars 5 and 7); 2.5 kHz, bar 40, is noise only at frame 0.
    EXPECT_GT(a[5], 0.5f);
    EXPECT_GT(a[7], 0.5f);
    EXPECT_LT(a[40], 0.2f);
}

TEST(DeviceState, FactoryResetRestoresSettingsButNotTheDeviceType)
{
    DeviceState st;
    st.serial = "XXXXXXXXXXXXXXXXXXXXXX";
    st.thresholds[0] = 5;
    st.localCountry = "972";
    st.parameters[135] = 1;
    st.melody = {1, 2};
    st.devType = 11;
    st.factoryReset();
    EXPECT_EQ(st.serial, kFactorySerial);
    EXPECT_EQ(st.thresholds[0], 999u);
    EXPECT_EQ(st.thresholds[1], 120u);
    EXPECT_EQ(st.localCountry, "44");
    EXPECT_EQ(st.destinationCountry, "1");
    EXPECT_TRUE(st.parameters.empty());
    EXPECT_TRUE(st.melody.empty());
    EXPECT_EQ(st.devType, 11);
}

}  // namespace
