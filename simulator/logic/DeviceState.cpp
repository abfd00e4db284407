#include "simulator/logic/DeviceState.h"

#include <algorithm>
#include <cstring>

namespace tvxsim {

void DeviceState::FactoryReset()
{
    serial = kFactorySerial;
    thresholds.fill(0);
    for (const FactoryThreshold &t : kFactoryThresholds)
        thresholds[static_cast<size_t>(t.selector)] = t.value;
    localCountry = kFactoryLocalCountry;
    destinationCountry = kFactoryDestinationCountry;
    for (const ParameterRow &row : kParameterRows)
        parameters[static_cast<size_t>(row.param)] = row.factory;
    registers.fill(-1);
    deviceMode = kFactoryDeviceMode;
    daaConfig = 0;
    ringerHz = kFactoryRingerHz;
    makeBreak = 0;
    auxContent = kAuxCodec;
    pcSilent = false;
    muteLine = false;
    mutePhone = false;
    echoSuppression = true;
    wiretap = false;
    daaBoost = false;
    keypadBeep = true;
    headset = false;
    callWaiting = false;
    leds = 0;
    melody.clear();
}

int32_t DeviceState::Parameter(Param p) const
{
    const ParameterRow &row = ParameterRowOf(p);
    return std::clamp(parameters[static_cast<size_t>(p)], row.min, row.max);
}

int32_t DeviceState::RegisterValue(int32_t block, int32_t reg) const
{
    if (block < 0 || block >= kRegisterBlocks || reg < 0 || reg >= kRegistersPerBlock)
        return -1;
    return registers[static_cast<size_t>(block * kRegistersPerBlock + reg)];
}

bool IsCountryText(const char *text)
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
