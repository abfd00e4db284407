// Build-time tool: writes the table of country calling codes that the
// country lists are filled from, so that the tool itself does not load the
// phone-number library (and the ICU and protobuf libraries it pulls in), nor
// parse its metadata, at every start.
//   tvx_calling_codes OUTPUT_FILE
// One row per calling code the phone-number library knows, in ascending
// code order: the code as decimal text and the English name (Latin-1) of
// the code's main region; the codes of no country are named after the world.
#include <phonenumbers/phonenumberutil.h>

#include <QLocale>
#include <QString>

#include <cstdio>
#include <fstream>
#include <set>
#include <string>

namespace {

// The region code the phone-number library gives calling codes that belong
// to no country.
constexpr const char *kNonGeographicRegion = "001";

std::string EnglishNameOf(const std::string &region)
{
    const QLocale::Territory territory =
        region == kNonGeographicRegion ? QLocale::World : QLocale::codeToTerritory(QString::fromStdString(region));
    if (territory == QLocale::AnyTerritory)
        return region;
    return QLocale::territoryToString(territory).toLatin1().toStdString();
}

// text as the body of a C string literal: printable ASCII as it is, every
// other byte as a three-digit octal escape.
std::string Literal(const std::string &text)
{
    std::string literal;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == '"' || byte == '\\' || byte == '?' || byte < 0x20 || byte > 0x7e) {
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\%03o", static_cast<unsigned>(byte));
            literal += escape;
        } else {
            literal += c;
        }
    }
    return literal;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: tvx_calling_codes OUTPUT_FILE\n");
        return 2;
    }
    const i18n::phonenumbers::PhoneNumberUtil &util = *i18n::phonenumbers::PhoneNumberUtil::GetInstance();
    std::set<int> codes;
    util.GetSupportedCallingCodes(&codes);
    if (codes.empty()) {
        std::fprintf(stderr, "tvx_calling_codes: the phone-number library knows no calling code\n");
        return 1;
    }
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out << "// Made at build time by tvx_calling_codes from the phone-number library.\n";
    for (const int code : codes) {
        std::string region;
        util.GetRegionCodeForCountryCode(code, &region);
        out << "{\"" << code << "\", \"" << Literal(EnglishNameOf(region)) << "\"},\n";
    }
    out.close();
    if (!out) {
        std::fprintf(stderr, "tvx_calling_codes: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
