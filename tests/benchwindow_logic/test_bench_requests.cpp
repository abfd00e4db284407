// Request lines as the bench window builds them: what the action parser will
// read, names and file names with spaces quoted, and texts that cannot be
// sent refused before anything goes out.
#include <gtest/gtest.h>

#include <string>

#include "simulator/benchwindow/logic/Requests.h"

namespace tvxsim::bench {
namespace {

struct RequestCase {
    const char *what;
    Request request;
    const char *line;  // nullptr: refused
};

class RequestLine : public ::testing::TestWithParam<RequestCase> {};

TEST_P(RequestLine, BuiltOrRefused)
{
    const RequestCase &c = GetParam();
    if (c.line) {
        EXPECT_TRUE(c.request.ok()) << c.what << ": " << c.request.error;
        EXPECT_EQ(c.request.line, c.line) << c.what;
    } else {
        EXPECT_FALSE(c.request.ok()) << c.what;
        EXPECT_EQ(c.request.line, "") << c.what;
        EXPECT_NE(c.request.error, "") << c.what;
    }
}

CallForm Caller(std::string name, std::string number)
{
    CallForm form;
    form.name = std::move(name);
    form.number = std::move(number);
    return form;
}

CallForm Full()
{
    CallForm form = Caller("Ivor Kell", "7964710");
    form.format = CallFormat::Sdmf;
    form.modem = CallModem::V23;
    form.timing = CallTiming::Etsi;
    form.absence = CallAbsence::OutOfArea;
    form.date = "04292230";
    return form;
}

CallForm WithDate(const char *date)
{
    CallForm form = Caller("A", "1");
    form.date = date;
    return form;
}

const std::string kLongName(4100, 'a');

INSTANTIATE_TEST_SUITE_P(
    Requests, RequestLine,
    ::testing::Values(
        RequestCase{"one key", PhoneKeys("5"), "phone keys \"5\""},
        RequestCase{"every kind of key", PhoneKeys("0123456789*#ABCDabcd"), "phone keys \"0123456789*#ABCDabcd\""},
        RequestCase{"no key", PhoneKeys(""), nullptr}, RequestCase{"not a key", PhoneKeys("5E"), nullptr},
        RequestCase{"a quote among keys", PhoneKeys("5\"1"), nullptr},
        RequestCase{"65 keys", PhoneKeys(std::string(65, '1')), nullptr},
        RequestCase{"far dtmf", FarDtmf("59"), "far dtmf \"59\""},
        RequestCase{"speech", FarSpeech(2000), "far speech 2000"}, RequestCase{"no speech", FarSpeech(0), nullptr},
        RequestCase{"noise", LineNoise(1000, std::nullopt), "line noise 1000"},
        RequestCase{"noise with level", LineNoise(1000, -35), "line noise 1000 -35"},
        RequestCase{"noise too loud", LineNoise(1000, 4), nullptr},
        RequestCase{"noise too quiet", LineNoise(1000, -81), nullptr},
        RequestCase{"call", FarCall(Caller("Ivor Kell", "7964710"), false), "far call \"Ivor Kell\" \"7964710\""},
        RequestCase{"call waiting with every option",
                    FarCall(Full(), true),
                    "far call-waiting \"Ivor Kell\" \"7964710\" sdmf v23 etsi out-of-area date 04292230"},
        RequestCase{
            "a name with a hash and spaces", FarCall(Caller(" Kell # 2 ", ""), false), "far call \" Kell # 2 \" \"\""},
        RequestCase{"a quote in the name", FarCall(Caller("Ivor \"Ike\" Kell", "1"), false), nullptr},
        RequestCase{"a tab in the number", FarCall(Caller("Ivor", "79\t1"), false), nullptr},
        RequestCase{"a name of 50", FarCall(Caller(std::string(50, 'n'), "1"), false), nullptr},
        RequestCase{"a name beyond ASCII", FarCall(Caller("Ren\xc3\xa9", "1"), false), nullptr},
        RequestCase{"date of the thirteenth month", FarCall(WithDate("13011200"), false), nullptr},
        RequestCase{"date at 24 o'clock", FarCall(WithDate("01012400"), false), nullptr},
        RequestCase{"a short date", FarCall(WithDate("0101120"), false), nullptr},
        RequestCase{
            "the last minute of the year", FarCall(WithDate("12312359"), false), "far call \"A\" \"1\" date 12312359"},
        RequestCase{"route answer", NumberRoute("5551234", Route::Answer, 3000), "number \"5551234\" answer 3000"},
        RequestCase{"route busy", NumberRoute("5551234", Route::Busy, 0), "number \"5551234\" busy"},
        RequestCase{"route no answer", NumberRoute("*21#", Route::NoAnswer, 0), "number \"*21#\" no-answer"},
        RequestCase{"route of 33 digits", NumberRoute(std::string(33, '1'), Route::Busy, 0), nullptr},
        RequestCase{"route answer before it rings", NumberRoute("1", Route::Answer, -1), nullptr},
        RequestCase{"play", FarPlay("/home/a b/call one.wav", std::nullopt), "far play \"/home/a b/call one.wav\""},
        RequestCase{"play with gain", FarPlay("x.flac", -6), "far play \"x.flac\" -6"},
        RequestCase{"play a name with a hash", FarPlay("/tmp/#1 take.wav", 20), "far play \"/tmp/#1 take.wav\" 20"},
        RequestCase{"play a name with a quote", FarPlay("/tmp/say \"hi\".wav", std::nullopt), nullptr},
        RequestCase{"play a name with a line break", FarPlay("/tmp/a\nphone onhook", std::nullopt), nullptr},
        RequestCase{"play a name with a NUL", FarPlay(std::string_view("/tmp/a\0b", 8), std::nullopt), nullptr},
        RequestCase{"play nothing", FarPlay("", std::nullopt), nullptr},
        RequestCase{"play too loud", FarPlay("x.wav", 21), nullptr},
        RequestCase{"play a name longer than a request", FarPlay(kLongName, std::nullopt), nullptr},
        RequestCase{"listen", AudioToggle(SoundSwitch::Listen, true), "listen on"},
        RequestCase{"talk", AudioToggle(SoundSwitch::Talk, false), "talk off"},
        RequestCase{"be the far party", AudioToggle(SoundSwitch::BeFar, true), "be-far on"},
        RequestCase{"the SIP line", LineSip(true), "line sip on"},
        RequestCase{"the simulated exchange", LineSip(false), "line sip off"}),
    [](const ::testing::TestParamInfo<RequestCase> &info) { return "case" + std::to_string(info.index); });

TEST(RequestLine, KeysUpToTheirLimit)
{
    EXPECT_EQ(PhoneKeys(std::string(64, '1')).line, "phone keys \"" + std::string(64, '1') + "\"");
}

TEST(RequestLine, TheLongestFileNameThatFits)
{
    // "far play \"" + name + "\"" and its newline make 4096 bytes.
    const std::string fits(4096 - 12, 'f');
    EXPECT_TRUE(FarPlay(fits, std::nullopt).ok());
    EXPECT_EQ(FarPlay(fits, std::nullopt).line.size() + 1, kMaxRequestBytes);
    EXPECT_FALSE(FarPlay(fits + "f", std::nullopt).ok());
}

TEST(Quote, OnlyWhatTheParserReadsBack)
{
    EXPECT_EQ(Quote("a b"), "\"a b\"");
    EXPECT_EQ(Quote(""), "\"\"");
    EXPECT_EQ(Quote("# not a comment"), "\"# not a comment\"");
    EXPECT_EQ(Quote("a\"b"), std::nullopt);
    EXPECT_EQ(Quote("a\rb"), std::nullopt);
}

}  // namespace
}  // namespace tvxsim::bench
