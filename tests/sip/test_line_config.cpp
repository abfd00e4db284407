// The line's configuration: the keys and their rules, where the file is,
// and the password file's rule.
#include <gtest/gtest.h>

#include <fstream>

#include <ostream>
#include <string>

#include "simulator/sip/logic/LineConfig.h"
#include "simulator/sip/logic/PasswordFileRule.h"

using namespace tvxsim::sip;

namespace {

struct BadCase {
    const char *text;
    int line;
    const char *key;
    const char *reasonStart;  // what the reason begins with
};
void PrintTo(const BadCase &c, std::ostream *os) { *os << c.text; }

class BadConfig : public ::testing::TestWithParam<BadCase> {};

TEST_P(BadConfig, GivesOneErrorNamingTheKeyAndTheReason)
{
    const BadCase &c = GetParam();
    const ConfigResult r = ParseLineConfig(c.text);
    ASSERT_TRUE(r.error.has_value());
    EXPECT_EQ(r.error->line, c.line);
    EXPECT_EQ(r.error->key, c.key);
    EXPECT_EQ(r.error->reason.rfind(c.reasonStart, 0), 0u) << r.error->reason;
}

INSTANTIATE_TEST_SUITE_P(
    Table, BadConfig,
    ::testing::Values(
        BadCase{"", 0, "account", "missing"}, BadCase{"# only a comment\n\n", 0, "account", "missing"},
        BadCase{"account = sip:a@b\naccount = sip:c@d\n", 2, "account", "given twice"},
        BadCase{"account sip:a@b\n", 1, "account sip:a@b", "expected key = value"},
        BadCase{"= sip:a@b\n", 1, "", "a value without a key"},
        BadCase{"account = sip:a@b\ncolour = red\n", 2, "colour", "unknown key"},
        BadCase{"Account = sip:a@b\n", 1, "Account", "unknown key"},
        BadCase{"account =\n", 1, "account", "empty value"},
        BadCase{"account = # a comment only\n", 1, "account", "empty value"},
        BadCase{"account = tel:+15551234\n", 1, "account", "must be a sip: URI"},
        BadCase{"account = sips:alice@example.net\n", 1, "account", "must be a sip: URI"},
        BadCase{"account = sip:example.net\n", 1, "account", "must name a user"},
        BadCase{"account = sip:@example.net\n", 1, "account", "the user '' is not"},
        BadCase{"account = sip:al ice@example.net\n", 1, "account", "the user 'al ice' is not"},
        BadCase{"account = sip:al%4@example.net\n", 1, "account", "the user 'al%4' is not"},
        BadCase{"account = sip:alice@exa_mple.net\n", 1, "account", "the domain"},
        BadCase{"account = sip:alice@example.net:0\n", 1, "account", "the domain"},
        BadCase{"account = sip:alice@example.net:65536\n", 1, "account", "the domain"},
        BadCase{"account = sip:alice@example.net;transport=tcp\n", 1, "account", "takes no parameters"},
        BadCase{"account = sip:alice@1.2.3\n", 1, "account", "the domain"},
        BadCase{"account = sip:a@b\nregistrar = pbx.example.net\n", 2, "registrar", "must be a sip: URI"},
        BadCase{"account = sip:a@b\nregistrar = sip:pbx;transport=tls\n", 2, "registrar", "unknown parameter"},
        BadCase{"account = sip:a@b\nproxy = sip:[::1\n", 2, "proxy", "'[::1' is not"},
        BadCase{"account = sip:a@b\nlisten = localhost:5060\n", 2, "listen", "must be an IP address"},
        BadCase{"account = sip:a@b\nlisten = 127.0.0.1:99999\n", 2, "listen", "must be an IP address"},
        BadCase{"account = sip:a@b\npeers = 127.0.0.1 bad_host\n", 2, "peers", "'bad_host' is not a host"},
        BadCase{"account = sip:a@b\ncodecs = pcmu g729\n", 2, "codecs", "unknown codec 'g729'"},
        BadCase{"account = sip:a@b\ncodecs = pcmu PCMU\n", 2, "codecs", "'PCMU' given twice"},
        BadCase{"account = sip:a@b\ncodecs = , \n", 2, "codecs", "no codec given (pcmu, pcma)"},
        BadCase{"account = sip:a@b\ndtmf = sipinfo\n", 2, "dtmf", "must be rfc4733, info or inband"},
        BadCase{"account = sip:a@b\nflash = yes\n", 2, "flash", "must be info or hold"},
        BadCase{"account = sip:a@b\nexpires = 59\n", 2, "expires", "must be a number of seconds, 60 to 86400"},
        BadCase{"account = sip:a@b\nexpires = 86401\n", 2, "expires", "must be a number"},
        BadCase{"account = sip:a@b\nexpires = 3600s\n", 2, "expires", "must be a number"},
        BadCase{"account = sip:a@b\nexpires = -60\n", 2, "expires", "must be a number"},
        BadCase{"account = sip:a@b\nlocal-numbers = 123 12E\n", 2, "local-numbers", "'12E' is not a number"},
        BadCase{"account = sip:a@b\nlocal-numbers = 123456789012345678901234567890123\n",
                2,
                "local-numbers",
                "'123456789012345678901234567890123' is not"},
        BadCase{"account = sip:a@b\npassword-file = a\x01z\n", 2, "password-file", "control characters"}));

TEST(LineConfig, DefaultsAreTheDocumentedOnesWithOnlyAnAccount)
{
    const ConfigResult r = ParseLineConfig("account = sip:alice@192.0.2.10\n");
    ASSERT_FALSE(r.error.has_value()) << r.error->reason;
    const LineConfig &c = r.config;
    EXPECT_EQ(c.account.Uri(), "sip:alice@192.0.2.10");
    EXPECT_FALSE(c.registrar.has_value());
    EXPECT_FALSE(c.proxy.has_value());
    EXPECT_EQ(FormatHostPort(c.listen), "127.0.0.1:5060");
    EXPECT_TRUE(c.peers.empty());
    EXPECT_EQ(c.codecs, (std::vector<G711Law>{G711Law::Mu, G711Law::A}));
    EXPECT_EQ(c.dtmf, DtmfMethod::Rfc4733);
    EXPECT_EQ(c.flash, FlashMethod::Hold);
    EXPECT_EQ(c.expires, 3600u);
    EXPECT_TRUE(c.localNumbers.empty());
    EXPECT_TRUE(c.passwordFile.empty());
}

TEST(LineConfig, EveryKeyIsReadWithCommentsAndSpacing)
{
    const char *text = "# a PBX on the network\n"
                       "account  =  sip:2001@pbx.example.net:5080   # the extension\n"
                       "registrar = sip:pbx.example.net:5080;transport=tcp\n"
                       "\tproxy=sip:[2001:db8::1];lr\n"
                       "listen = [::1]:0\n"
                       "peers = 127.0.0.2, ::1 gw.example.net [2001:db8::2]\n"
                       "codecs = PCMA pcmu\n"
                       "dtmf = INFO\n"
                       "flash = info\n"
                       "expires = 600\n"
                       "local-numbers = 101, 5551234 *98# 12ab\n"
                       "password-file = secrets/line#1.pw\r\n";
    const ConfigResult r = ParseLineConfig(text);
    ASSERT_FALSE(r.error.has_value()) << r.error->key << ": " << r.error->reason;
    const LineConfig &c = r.config;
    EXPECT_EQ(c.account.Uri(), "sip:2001@pbx.example.net:5080");
    EXPECT_EQ(c.account.DomainUri(), "sip:pbx.example.net:5080");
    ASSERT_TRUE(c.registrar.has_value());
    EXPECT_EQ(c.registrar->Uri(), "sip:pbx.example.net:5080;transport=tcp");
    ASSERT_TRUE(c.proxy.has_value());
    EXPECT_EQ(c.proxy->Uri(), "sip:[2001:db8::1]");
    EXPECT_EQ(c.listen, (HostPort{"::1", 0}));
    EXPECT_EQ(c.peers, (std::vector<std::string>{"127.0.0.2", "::1", "gw.example.net", "2001:db8::2"}));
    EXPECT_EQ(c.codecs, (std::vector<G711Law>{G711Law::A, G711Law::Mu}));
    EXPECT_EQ(c.dtmf, DtmfMethod::Info);
    EXPECT_EQ(c.flash, FlashMethod::Info);
    EXPECT_EQ(c.expires, 600u);
    EXPECT_EQ(c.localNumbers, (std::vector<std::string>{"101", "5551234", "*98#", "12AB"}));
    // '#' inside a word is not a comment.
    EXPECT_EQ(c.passwordFile, "secrets/line#1.pw");
}

TEST(LineConfig, ListenWithoutAPortTakesTheSipPort)
{
    const ConfigResult r = ParseLineConfig("account = sip:a@b\nlisten = 127.0.0.2\n");
    ASSERT_FALSE(r.error.has_value());
    EXPECT_EQ(r.config.listen, (HostPort{"127.0.0.2", 5060}));
}

TEST(LineConfig, OversizedFilesAndLinesAreRefused)
{
    const std::string longLine = "account = sip:a@b\npeers = " + std::string(kMaxConfigLine, 'a') + "\n";
    const ConfigResult r = ParseLineConfig(longLine);
    ASSERT_TRUE(r.error.has_value());
    EXPECT_EQ(r.error->line, 2);
    EXPECT_EQ(r.error->key, "");

    const std::string big(kMaxConfigBytes + 1, '\n');
    const ConfigResult b = ParseLineConfig(big);
    ASSERT_TRUE(b.error.has_value());
    EXPECT_EQ(b.error->line, 0);
}

TEST(LineConfig, ErrorLineFormsTheStderrLine)
{
    EXPECT_EQ(FormatConfigError("/home/u/.config/tvxusb/line.conf", ConfigError{3, "dtmf", "must be x"}),
              "/home/u/.config/tvxusb/line.conf:3: dtmf: must be x");
    EXPECT_EQ(FormatConfigError("line.conf", ConfigError{7, "", "a value without a key"}),
              "line.conf:7: a value without a key");
}

struct PlaceCase {
    const char *line;
    const char *xdg;
    const char *home;
    const char *path;  // null: no place
    bool named;
};

void PrintTo(const PlaceCase &c, std::ostream *os)
{
    *os << (c.line ? c.line : "-") << " " << (c.xdg ? c.xdg : "-") << " " << (c.home ? c.home : "-");
}

class ConfigPlaceTable : public ::testing::TestWithParam<PlaceCase> {};

TEST_P(ConfigPlaceTable, FollowsTheVariablesInOrder)
{
    const PlaceCase &c = GetParam();
    const std::optional<ConfigPlace> p = LineConfigPlace(c.line, c.xdg, c.home);
    if (c.path == nullptr) {
        EXPECT_FALSE(p.has_value());
        return;
    }
    ASSERT_TRUE(p.has_value());
    EXPECT_EQ(p->path, c.path);
    EXPECT_EQ(p->named, c.named);
}

INSTANTIATE_TEST_SUITE_P(Table, ConfigPlaceTable,
                         ::testing::Values(PlaceCase{"/tmp/l.conf", "/x", "/h", "/tmp/l.conf", true},
                                           PlaceCase{"", "/x", "/h", "/x/tvxusb/line.conf", false},
                                           PlaceCase{nullptr, "/x", "/h", "/x/tvxusb/line.conf", false},
                                           PlaceCase{nullptr, "relative", "/h", "/h/.config/tvxusb/line.conf", false},
                                           PlaceCase{nullptr, "", "/h", "/h/.config/tvxusb/line.conf", false},
                                           PlaceCase{nullptr, nullptr, "", nullptr, false},
                                           PlaceCase{nullptr, nullptr, nullptr, nullptr, false}));

TEST(LineConfig, PasswordFileIsTakenBesideTheConfigurationUnlessAbsolute)
{
    EXPECT_EQ(PasswordFilePath("/home/u/.config/tvxusb/line.conf", "line.pw"), "/home/u/.config/tvxusb/line.pw");
    EXPECT_EQ(PasswordFilePath("/home/u/.config/tvxusb/line.conf", "/etc/pw"), "/etc/pw");
    EXPECT_EQ(PasswordFilePath("line.conf", "line.pw"), "line.pw");
}

struct FileCase {
    FileFacts facts;
    const char *faultStart;  // empty: allowed
};

void PrintTo(const FileCase &c, std::ostream *os)
{
    *os << (c.facts.regular ? "file" : "other") << " uid " << c.facts.owner << " mode " << std::oct << c.facts.mode;
}

class PasswordFileTable : public ::testing::TestWithParam<FileCase> {};

TEST_P(PasswordFileTable, OnlyARegularFileOfTheUsersOwnAtMode0600)
{
    const FileCase &c = GetParam();
    const std::string fault = PasswordFileFault(c.facts, 1000);
    if (*c.faultStart == '\0') {
        EXPECT_EQ(fault, "");
    } else {
        EXPECT_EQ(fault.rfind(c.faultStart, 0), 0u) << fault;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, PasswordFileTable,
    ::testing::Values(FileCase{{true, 1000, 0600}, ""}, FileCase{{false, 1000, 0600}, "not a regular file"},
                      FileCase{{true, 0, 0600}, "owned by uid 0, not by you (uid 1000)"},
                      FileCase{{true, 1000, 0640}, "mode 0640: it must be 0600"},
                      FileCase{{true, 1000, 0604}, "mode 0604"}, FileCase{{true, 1000, 0400}, "mode 0400"},
                      FileCase{{true, 1000, 0700}, "mode 0700"}, FileCase{{true, 1000, 04600}, "mode 4600"}));

TEST(PasswordFile, ThePasswordIsTheFirstLineWithoutItsEnd)
{
    EXPECT_EQ(PasswordInFileText("s3cret\n"), "s3cret");
    EXPECT_EQ(PasswordInFileText("s3cret\r\nsecond line\n"), "s3cret");
    EXPECT_EQ(PasswordInFileText("no line end"), "no line end");
    EXPECT_EQ(PasswordInFileText(" spaces kept \n"), " spaces kept ");
    EXPECT_EQ(PasswordInFileText("\n"), "");
    EXPECT_EQ(PasswordInFileText(std::string(kMaxPasswordBytes, 'x')), std::string(kMaxPasswordBytes, 'x'));
    EXPECT_EQ(PasswordInFileText(std::string(kMaxPasswordBytes + 1, 'x')), "");
}

// The line configurations the README shows (an indented block that starts
// with its account) are ones the line takes.
TEST(LineConfig, TheReadmesExamplesAreTaken)
{
    std::ifstream in(TVX_SOURCE_DIR "/README.md");
    ASSERT_TRUE(in) << "README.md";
    std::vector<std::string> examples;
    bool inside = false;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("    account = ", 0) == 0) {
            examples.emplace_back();
            inside = true;
        } else if (line.rfind("    ", 0) != 0) {
            inside = false;
        }
        if (inside)
            examples.back() += line.substr(4) + "\n";
    }
    ASSERT_GE(examples.size(), 2u);
    for (const std::string &text : examples) {
        const ConfigResult r = ParseLineConfig(text);
        EXPECT_FALSE(r.error) << text << (r.error ? r.error->key + ": " + r.error->reason : "");
    }
}

}  // namespace
