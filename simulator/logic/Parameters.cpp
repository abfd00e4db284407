#include "simulator/logic/Parameters.h"

#include <algorithm>
#include <cmath>

namespace tvxsim {
namespace {

constexpr double kThresholdScale = 2.501861816762835e-5;
constexpr float kVoiceLowStepHz = 4.0f;
constexpr float kVoiceHighStepHz = 31.25f;

}  // namespace

const ParameterRow &ParameterRowOf(Param p) { return kParameterRows[static_cast<size_t>(p)]; }

const ParameterRow *ParameterRowForCode(int32_t code)
{
    const auto it = std::find_if(
        kParameterRows.begin(), kParameterRows.end(), [code](const ParameterRow &r) { return r.code == code; });
    return it == kParameterRows.end() ? nullptr : &*it;
}

float VoiceThresholdDbm0(int32_t value) { return -64.0f + 0.5f * static_cast<float>(value); }

int32_t LiteDtmfThresholdDbm0(int32_t value) { return -value; }

double ThresholdToDbm0(uint32_t value)
{
    return 20.0 * std::log10((static_cast<double>(std::min(value, kThresholdTop)) + 1.0) * kThresholdScale);
}

float VoiceBandLowHz(uint32_t value) { return kVoiceLowStepHz * static_cast<float>(std::min<uint32_t>(value, 1000)); }

float VoiceBandHighHz(uint32_t value) { return kVoiceHighStepHz * static_cast<float>(std::min<uint32_t>(value, 128)); }

}  // namespace tvxsim

namespace tvxsim {
static_assert(
    [] {
        for (size_t i = 0; i < kParameterRows.size(); ++i)
            if (static_cast<size_t>(kParameterRows[i].param) != i)
                return false;
        return true;
    }(),
    "parameter rows are kept in Param order");
}  // namespace tvxsim
