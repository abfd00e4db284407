#include "panel/PhoneNumberCountries.h"

#include <phonenumbers/phonenumberutil.h>

#include <QLocale>
#include <QString>

#include <set>
#include <string>

namespace tvx {

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

std::vector<CountryEntry> ReadCallingCodes()
{
    const i18n::phonenumbers::PhoneNumberUtil &util = *i18n::phonenumbers::PhoneNumberUtil::GetInstance();
    std::set<int> codes;
    util.GetSupportedCallingCodes(&codes);
    std::vector<CountryEntry> countries;
    countries.reserve(codes.size());
    for (int code : codes) {
        std::string region;
        util.GetRegionCodeForCountryCode(code, &region);
        countries.push_back({std::to_string(code), EnglishNameOf(region)});
    }
    return countries;
}

}  // namespace

std::optional<std::vector<CountryEntry>> PhoneNumberCountries::Countries()
{
    static const std::vector<CountryEntry> countries = ReadCallingCodes();
    return countries;
}

}  // namespace tvx
