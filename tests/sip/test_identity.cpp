// An INVITE's identity headers as the caller ID the line sends, and the
// caller-ID texts made of them.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "simulator/logic/CallerIdMessage.h"
#include "simulator/sip/logic/CallerIdentity.h"
#include "simulator/sip/logic/CidText.h"
#include "simulator/sip/logic/SipAddress.h"

using namespace tvxsim;
using namespace tvxsim::sip;

namespace {

struct IdentityCase {
    const char *what;
    std::vector<std::string_view> asserted;
    std::string_view from;
    std::vector<std::string_view> privacy;
    const char *name;
    const char *number;
    char absence;
};
void PrintTo(const IdentityCase &c, std::ostream *os) { *os << c.what; }

class Identity : public ::testing::TestWithParam<IdentityCase> {};

TEST_P(Identity, MapsToTheCallerId)
{
    const IdentityCase &c = GetParam();
    const CallerIdSpec caller = CallerFromHeaders({c.asserted, c.from, c.privacy});
    EXPECT_EQ(caller.name, c.name);
    EXPECT_EQ(caller.number, c.number);
    EXPECT_EQ(caller.absence, c.absence);
    EXPECT_EQ(caller.date, "") << "the exchange fills the wall clock's date";
}

INSTANTIATE_TEST_SUITE_P(
    Table, Identity,
    ::testing::Values(
        IdentityCase{"from alone", {}, "\"Ivor Kell\" <sip:7964710@example.net>;tag=a1", {}, "Ivor Kell", "7964710", 0},
        IdentityCase{"from with token display name",
                     {},
                     "Ivor  Kell <sip:+441234567890@example.net>",
                     {},
                     "Ivor Kell",
                     "+441234567890",
                     0},
        IdentityCase{"from as a bare URI with a tag", {}, "sip:5551234@10.0.0.1;tag=77", {}, "", "5551234", 0},
        IdentityCase{"asserted identity wins over from",
                     {"\"Network Name\" <sip:+15551230000@carrier.example>"},
                     "\"Spoofed\" <sip:999@evil.example>",
                     {},
                     "Network Name",
                     "+15551230000",
                     0},
        IdentityCase{"asserted identity without a name takes from's name",
                     {"<sip:+15551230000@carrier.example>"},
                     "\"Front Desk\" <sip:100@pbx.example>",
                     {},
                     "Front Desk",
                     "+15551230000",
                     0},
        IdentityCase{"a tel asserted identity with visual separators",
                     {"<tel:+1-555-123-0000;phone-context=+1>"},
                     "<sip:100@pbx.example>",
                     {},
                     "",
                     "+15551230000",
                     0},
        IdentityCase{"two asserted identities in one header, the sip one without a number first",
                     {"\"Alice\" <sip:alice@example.net>, <tel:+15550001111>"},
                     "<sip:alice@example.net>",
                     {},
                     "Alice",
                     "+15550001111",
                     0},
        IdentityCase{"two asserted identity headers",
                     {"<sip:alice@example.net>", "<tel:5550001111>"},
                     "<sip:a@b>",
                     {},
                     "",
                     "5550001111",
                     0},
        IdentityCase{"Privacy: id withholds",
                     {"<sip:+15551230000@carrier.example>"},
                     "<sip:1@b>",
                     {"id"},
                     "",
                     "",
                     kAbsencePrivate},
        IdentityCase{"Privacy tokens are compared without case, among others",
                     {},
                     "\"Bob\" <sip:5551234@b>",
                     {"header; ID ;critical"},
                     "",
                     "",
                     kAbsencePrivate},
        IdentityCase{
            "Privacy in a second header", {}, "\"Bob\" <sip:5551234@b>", {"none", "user, id"}, "", "", kAbsencePrivate},
        IdentityCase{"Privacy without id keeps the identity",
                     {},
                     "\"Bob\" <sip:5551234@b>",
                     {"header;user"},
                     "Bob",
                     "5551234",
                     0},
        IdentityCase{"a value that only contains id is not the token",
                     {},
                     "\"Bob\" <sip:5551234@b>",
                     {"idle"},
                     "Bob",
                     "5551234",
                     0},
        IdentityCase{"the anonymous identity",
                     {},
                     "\"Anonymous\" <sip:anonymous@anonymous.invalid>;tag=1",
                     {},
                     "",
                     "",
                     kAbsencePrivate},
        IdentityCase{"an anonymous host alone", {}, "<sip:5551234@Anonymous.Invalid>", {}, "", "", kAbsencePrivate},
        IdentityCase{"an anonymous display name alone", {}, "anonymous <sip:5551234@b>", {}, "", "", kAbsencePrivate},
        IdentityCase{"an asserted identity with an anonymous from",
                     {"<sip:+15551230000@carrier.example>"},
                     "\"Anonymous\" <sip:anonymous@anonymous.invalid>",
                     {},
                     "",
                     "",
                     kAbsencePrivate},
        IdentityCase{
            "a user name is no number", {}, "\"Alice\" <sip:alice@example.net>", {}, "Alice", "", kAbsenceOutOfArea},
        IdentityCase{
            "a sip number with a dash is no number", {}, "<sip:555-1234@example.net>", {}, "", "", kAbsenceOutOfArea},
        IdentityCase{"keys * and # are a number", {}, "<sip:*98%23@example.net>", {}, "", "*98#", 0},
        IdentityCase{"a user part's own parameters",
                     {},
                     "<sip:+15551234;npdi;rn=+15559999@example.net;user=phone>",
                     {},
                     "",
                     "+15551234",
                     0},
        IdentityCase{"no identity at all", {}, "", {}, "", "", kAbsenceOutOfArea},
        IdentityCase{"a from that is not an address", {}, "garbage without a uri", {}, "", "", kAbsenceOutOfArea},
        IdentityCase{"a number longer than caller ID carries is cut",
                     {},
                     "<sip:12345678901234567890123456789012345678901234567890123@b>",
                     {},
                     "",
                     "1234567890123456789012345678901234567890123456789",
                     0}));

struct FoldCase {
    const char *in;
    const char *out;
};
void PrintTo(const FoldCase &c, std::ostream *os) { *os << c.in; }

class Fold : public ::testing::TestWithParam<FoldCase> {};

TEST_P(Fold, GivesPrintableAsciiOfAtMost49Bytes)
{
    const FoldCase &c = GetParam();
    const std::string out = FoldToCidText(c.in);
    EXPECT_EQ(out, c.out);
    EXPECT_LE(out.size(), kCidMaxText);
    for (char ch : out)
        EXPECT_TRUE(ch >= 0x20 && ch < 0x7F) << int(static_cast<unsigned char>(ch));
}

INSTANTIATE_TEST_SUITE_P(
    Table, Fold,
    ::testing::Values(FoldCase{"Ivor Kell", "Ivor Kell"}, FoldCase{"Ren\xC3\xA9 M\xC3\xBCller", "Rene Muller"},
                      FoldCase{"Stra\xC3\x9F"
                               "e",
                               "Strasse"},
                      FoldCase{"\xC5\x81\xC3\xB3"
                               "d\xC5\xBA",
                               "Lodz"},
                      FoldCase{"\xE6\x9D\xB1\xE4\xBA\xAC Office", "Office"},  // CJK dropped
                      FoldCase{"Smile \xF0\x9F\x98\x80!", "Smile !"},         // emoji dropped
                      FoldCase{"bad \xC3 byte", "bad byte"},                  // a broken sequence dropped
                      FoldCase{"overlong \xC0\xAF slash", "overlong slash"},  // an overlong '/' is not '/'
                      FoldCase{"tab\tand\r\nnewline", "tab andnewline"},      // controls dropped, tab a space
                      FoldCase{"  many   spaces  ", "many spaces"}, FoldCase{"say \"hi\"", "say 'hi'"},
                      FoldCase{"0123456789012345678901234567890123456789012345678901234",
                               "0123456789012345678901234567890123456789012345678"},
                      FoldCase{"\xC3\x86sir \xC3\x86sirsson", "AEsir AEsirsson"}, FoldCase{"", ""}));

TEST(Fold, ACutNeverEndsInASpace)
{
    const std::string in = std::string(48, 'a') + " b";
    EXPECT_EQ(FoldToCidText(in), std::string(48, 'a'));
}

struct AddressCase {
    const char *value;
    bool ok;
    SipAddress expected;
};
void PrintTo(const AddressCase &c, std::ostream *os) { *os << c.value; }

class Address : public ::testing::TestWithParam<AddressCase> {};

TEST_P(Address, IsReadLeniently)
{
    const AddressCase &c = GetParam();
    SipAddress a;
    EXPECT_EQ(ParseSipAddress(c.value, a), c.ok);
    if (c.ok) {
        EXPECT_EQ(a, c.expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, Address,
    ::testing::Values(
        AddressCase{"\"A \\\"B\\\" C\" <sip:u@h.example>", true, {"A \"B\" C", "sip", "u", "h.example"}},
        AddressCase{"<SIP:User:secret@Host.Example:5070;transport=udp>", true, {"", "sip", "User", "host.example"}},
        AddressCase{"sips:u@[2001:db8::1]:5061", true, {"", "sips", "u", "[2001:db8::1]"}},
        AddressCase{"<tel:+1555%2D0000>", true, {"", "tel", "+1555-0000", ""}},
        AddressCase{"<sip:host.example>", true, {"", "sip", "", "host.example"}},
        AddressCase{"\"unterminated <sip:u@h>", false, {}}, AddressCase{"no uri here", false, {}},
        AddressCase{"<:nothing>", false, {}}, AddressCase{"", false, {}}));

TEST(Address, HeaderValuesSplitOnCommasOutsideQuotesAndBrackets)
{
    const auto parts = SplitHeaderValues("\"Doe, John\" <sip:a@b>, <sip:c@d;x=1,2>, tel:+1", 8);
    ASSERT_EQ(parts.size(), 3u);
    EXPECT_EQ(parts[0], "\"Doe, John\" <sip:a@b>");
    EXPECT_EQ(parts[1], "<sip:c@d;x=1,2>");
    EXPECT_EQ(parts[2], "tel:+1");
    EXPECT_EQ(SplitHeaderValues("a, b, c, d", 2).size(), 2u);
}

}  // namespace
