#include "panel/PhoneNumberCountries.h"

namespace tvx {

namespace {

struct CallingCode {
    const char *code;
    const char *name;
};

// Taken from the phone-number library at build time (tvx_calling_codes).
constexpr CallingCode kCallingCodes[] = {
#include "panel/CallingCodes.inc"
};

}  // namespace

std::optional<std::vector<CountryEntry>> PhoneNumberCountries::Countries()
{
    std::vector<CountryEntry> countries;
    countries.reserve(std::size(kCallingCodes));
    for (const CallingCode &row : kCallingCodes)
        countries.push_back({row.code, row.name});
    return countries;
}

}  // namespace tvx
