#include "device/logic/CommandCodes.h"

#include <gtest/gtest.h>

#include <set>

namespace tvx {
namespace {

struct ExpectedCode {
    Command command;
    int group;
    int item;
    int32_t code;  // as the adapter documents it
    ParamRule param;
};

// Every code the tool sends, listed by group.
constexpr ExpectedCode kExpected[] = {
    {Command::PcAudioSilent, 2, 0, 2, ParamRule::Zero},
    {Command::PcAudioNormal, 2, 1, 18, ParamRule::Zero},
    {Command::DaaNormal, 3, 0, 3, ParamRule::Zero},
    {Command::DaaComplex, 3, 1, 19, ParamRule::Zero},
    {Command::DaaSpecialPulse, 3, 2, 35, ParamRule::Zero},
    {Command::DaaSpecialPulseComplex, 3, 3, 51, ParamRule::Zero},
    {Command::DaaCtr21, 3, 4, 67, ParamRule::Zero},
    {Command::DaaCtr21Complex, 3, 5, 83, ParamRule::Zero},
    {Command::RingingOff, 4, 0, 4, ParamRule::Zero},
    {Command::RingingOn, 4, 1, 20, ParamRule::Zero},
    {Command::Ringer17Hz, 4, 4, 68, ParamRule::Zero},
    {Command::Ringer20Hz, 4, 5, 84, ParamRule::Zero},
    {Command::Ringer25Hz, 4, 6, 100, ParamRule::Zero},
    {Command::Ringer50Hz, 4, 7, 116, ParamRule::Zero},
    {Command::KeypadBeepOff, 5, 0, 5, ParamRule::Zero},
    {Command::KeypadBeepOn, 5, 1, 21, ParamRule::Zero},
    {Command::DaaBoostOff, 6, 2, 38, ParamRule::Zero},
    {Command::DaaBoostOn, 6, 3, 54, ParamRule::Zero},
    {Command::RingerOffPeriod, 7, 8, 135, ParamRule::Value},
    {Command::RingerOnPeriod, 7, 9, 151, ParamRule::Value},
    {Command::WaitForDialToneTime, 7, 10, 167, ParamRule::Value},
    {Command::WaitForAnswerTime, 7, 11, 183, ParamRule::Value},
    {Command::DtmfDialTime, 7, 12, 199, ParamRule::Value},
    {Command::PauseTime, 7, 13, 215, ParamRule::Value},
    {Command::LiteDtmfDaaOnHook, 8, 8, 136, ParamRule::Value},
    {Command::LiteDtmfDaaOffHook, 8, 9, 152, ParamRule::Value},
    {Command::LiteDtmfCodec, 8, 10, 168, ParamRule::Value},
    {Command::ModePhoneAudioStream, 10, 0, 10, ParamRule::Zero},
    {Command::ModePhoneAudioStreamLineDirect, 10, 1, 26, ParamRule::Zero},
    {Command::ModeNone, 10, 2, 42, ParamRule::Zero},
    {Command::ModePhoneLine, 10, 3, 58, ParamRule::Zero},
    {Command::ModePhoneAudioStreamLineHold, 10, 4, 74, ParamRule::Zero},
    {Command::ModeLineAudioStream, 10, 5, 90, ParamRule::Zero},
    {Command::ModePhoneAudioStreamLine, 10, 6, 106, ParamRule::Zero},
    {Command::ModeLineAudioStreamPhoneMonitor, 10, 7, 122, ParamRule::Zero},
    {Command::Wiretapping, 10, 8, 138, ParamRule::OnOff},
    {Command::EchoSuppressionOff, 11, 0, 11, ParamRule::Zero},
    {Command::EchoSuppressionOn, 11, 1, 27, ParamRule::Zero},
    {Command::PhoneMuteOff, 11, 2, 43, ParamRule::Zero},
    {Command::PhoneMuteOn, 11, 3, 59, ParamRule::Zero},
    {Command::LineMuteOff, 11, 4, 75, ParamRule::Zero},
    {Command::LineMuteOn, 11, 5, 91, ParamRule::Zero},
    {Command::ToneDialtone, 12, 0, 12, ParamRule::Zero},
    {Command::ToneRingBack, 12, 1, 28, ParamRule::Zero},
    {Command::ToneBusy, 12, 2, 44, ParamRule::Zero},
    {Command::ToneReorder, 12, 3, 60, ParamRule::Zero},
    {Command::ToneProceeding, 12, 4, 76, ParamRule::Zero},
    {Command::ToneBeep, 12, 6, 108, ParamRule::BeepKind},
    {Command::ToneStop, 12, 7, 124, ParamRule::Zero},
    {Command::Dial, 12, 8, 140, ParamRule::DialCode},
    {Command::MakeBreak39_61At10, 13, 0, 13, ParamRule::Zero},
    {Command::MakeBreak33_67At10, 13, 1, 29, ParamRule::Zero},
    {Command::MakeBreak39_61At20, 13, 2, 45, ParamRule::Zero},
    {Command::MakeBreak33_67At20, 13, 3, 61, ParamRule::Zero},
    {Command::HookFlashTime, 13, 8, 141, ParamRule::Value},
    {Command::PreHookFlashGuardTime, 13, 13, 221, ParamRule::Value},
    {Command::PostHookFlashGuardTime, 13, 14, 237, ParamRule::Value},
    {Command::HeadSetOff, 14, 0, 14, ParamRule::Zero},
    {Command::HeadSetOn, 14, 1, 30, ParamRule::Zero},
    {Command::HandsetOffHook, 14, 2, 46, ParamRule::Zero},
    {Command::HandsetOnHook, 14, 3, 62, ParamRule::Zero},
    {Command::AuxCodec, 14, 4, 78, ParamRule::Zero},
    {Command::AuxWaveOut, 14, 5, 94, ParamRule::Zero},
    {Command::AuxWaveOutMixedCodec, 14, 6, 110, ParamRule::Zero},
    {Command::Cidcw, 14, 7, 126, ParamRule::OnOff},
    {Command::VoiceDetectionThreshold, 14, 8, 142, ParamRule::Value},
};

TEST(CommandCodes, EveryCodeMatchesItsDocumentedValue)
{
    for (const ExpectedCode &e : kExpected) {
        SCOPED_TRACE(CommandInfo(e.command).meaning);
        EXPECT_EQ(CommandCode(e.command), e.code);
        EXPECT_EQ(CommandGroupOf(CommandCode(e.command)), e.group);
        EXPECT_EQ(CommandItemOf(CommandCode(e.command)), e.item);
        EXPECT_EQ(e.code, e.item * 16 + e.group);
        EXPECT_EQ(CommandInfo(e.command).param, e.param);
        EXPECT_NE(std::string(CommandInfo(e.command).meaning), "");
    }
}

TEST(CommandCodes, TableHoldsExactlyTheDocumentedCodes)
{
    std::set<Command> listed;
    for (const ExpectedCode &e : kExpected)
        listed.insert(e.command);
    EXPECT_EQ(listed.size(), std::size(kExpected)) << "a command is listed twice";
    EXPECT_EQ(kCommandTable.size(), std::size(kExpected));

    // Every code 0..255 maps back to its command, and only the documented codes exist.
    std::set<int32_t> documentedCodes;
    for (const ExpectedCode &e : kExpected)
        documentedCodes.insert(e.code);
    for (int32_t code = -16; code < 256 + 16; ++code) {
        const std::optional<Command> c = CommandFromCode(code);
        if (documentedCodes.count(code) != 0) {
            ASSERT_TRUE(c.has_value()) << code;
            EXPECT_EQ(CommandCode(*c), code);
        } else {
            EXPECT_FALSE(c.has_value()) << code;
        }
    }
}

TEST(CommandCodes, UnusedGroupsAreNeverSent)
{
    for (const CommandRow &row : kCommandTable) {
        const int group = CommandGroupOf(row.code());
        EXPECT_TRUE(group != 0 && group != 1 && group != 9 && group != 15) << row.meaning;
    }
}

TEST(CommandCodes, CommandCallCarriesCodeAndParameter)
{
    const CommandCall c{Command::Wiretapping, 1};
    EXPECT_EQ(c.code(), 138);
    EXPECT_EQ(c.param, 1);
    EXPECT_EQ(kDoCommandArg3, 0);
    EXPECT_EQ(kDoCommandArg4, 0xFFFF);
    EXPECT_EQ(kDialWaitArg4, 0);
}

}  // namespace
}  // namespace tvx
