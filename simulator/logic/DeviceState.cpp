#include "simulator/logic/DeviceState.h"

#include <cstring>

namespace tvxsim {

void DeviceState::factoryReset()
{
    serial = kFactorySerial;
    thresholds.fill(0);
    for (const FactoryThreshold &t : kFactoryThresholds)
        thresholds[static_cast<size_t>(t.selector)] = t.value;
    localCountry = kFactoryLocalCountry;
    destinationCountry = kFactoryDestinationCountry;
    parameters.clear();
    registers.clear();
    selectedItem.fill(-1);
    leds = 0;
    melody.clear();
    toneRecords.clear();
}

bool isCountryText(const char *text)
{
    if (text == nullptr)
        return false;
    const size_t len = strnlen(text, TVX_TEXT_SIZE);
    if (len == 0 || len > kCountryMaxDigits)
        return false;
    for (size_t i = 0; i < len; ++i)
        if (text[i] < '0' || text[i] > '9')
            return false;
    return true;
}

}  // namespace tvxsim
