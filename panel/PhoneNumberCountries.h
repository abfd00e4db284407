// The default country source: one country per calling code known to the
// phone-number library (taken into a table at build time), named in English
// after the code's main region (the calling codes of no country after the
// world).
// UI thread only.
#pragma once

#include "panel/logic/CountryList.h"

namespace tvx {

class PhoneNumberCountries final : public CountrySource {
public:
    // The pairs in ascending code order, as the library gave them when the
    // tool was built.
    std::optional<std::vector<CountryEntry>> Countries() override;
};

}  // namespace tvx
