#include "dialogs/logic/CidGenInterlocks.h"

#include <utility>

namespace tvx {
namespace {

constexpr std::size_t IndexOf(int id) noexcept
{
    for (std::size_t i = 0; i < kCidGenControls.size(); ++i) {
        if (kCidGenControls[i].id == id)
            return i;
    }
    return kCidGenControls.size();
}

constexpr bool IsCheckBox(int id) noexcept
{
    const std::size_t i = IndexOf(id);
    return i < kCidGenControls.size() && kCidGenControls[i].kind == CidControlKind::CheckBox;
}

// What one step does to one control.
enum class Set {
    Check,           // checked; enabled state kept
    UncheckDisable,  // unchecked and disabled
    CheckEnable,     // checked and enabled
    UncheckEnable,   // unchecked and enabled
    Enable,          // enabled; check state kept
    Disable,         // disabled; check state kept
};

struct Step {
    int id;
    Set set;
};

void Apply(CidControlState &state, Set set) noexcept
{
    switch (set) {
    case Set::Check:
        state.checked = true;
        break;
    case Set::UncheckDisable:
        state.checked = false;
        state.enabled = false;
        break;
    case Set::CheckEnable:
        state.checked = true;
        state.enabled = true;
        break;
    case Set::UncheckEnable:
        state.checked = false;
        state.enabled = true;
        break;
    case Set::Enable:
        state.enabled = true;
        break;
    case Set::Disable:
        state.enabled = false;
        break;
    }
}

// OnInitDialog's changes to the template states, in order.
constexpr std::array<Step, 9> kInitSteps{{
    {kCidIdSendDateTime, Set::UncheckDisable},
    {kCidIdSendNumber, Set::UncheckDisable},
    {kCidIdSendName, Set::UncheckDisable},
    {kCidIdNameEdit, Set::Disable},
    {kCidIdSendVisualIndicator, Set::UncheckDisable},
    {kCidIdLitIndicator, Set::Disable},
    {kCidIdOutOfArea, Set::UncheckDisable},
    {kCidIdPrivate, Set::UncheckDisable},
    {kCidIdUseRinger, Set::Check},
}};

// Message-type table: one row per control, one column per type group.
struct TypeRow {
    int id;
    Set sdmf;
    Set mdmf;
    Set dtmf;  // DTMF-C and DTMF-#
};

constexpr std::array<TypeRow, 10> kMessageTypeRows{{
    {kCidIdSendDateTime, Set::UncheckDisable, Set::CheckEnable, Set::UncheckDisable},
    {kCidIdDateEdit, Set::Enable, Set::Enable, Set::Disable},
    {kCidIdSendNumber, Set::UncheckDisable, Set::CheckEnable, Set::UncheckDisable},
    {kCidIdNumberEdit, Set::Enable, Set::Enable, Set::Enable},
    {kCidIdSendName, Set::UncheckDisable, Set::CheckEnable, Set::UncheckDisable},
    {kCidIdNameEdit, Set::Disable, Set::Enable, Set::Disable},
    {kCidIdSendVisualIndicator, Set::UncheckDisable, Set::UncheckEnable, Set::UncheckDisable},
    {kCidIdLitIndicator, Set::Disable, Set::Enable, Set::Disable},
    {kCidIdOutOfArea, Set::UncheckDisable, Set::UncheckEnable, Set::UncheckEnable},
    {kCidIdPrivate, Set::UncheckDisable, Set::UncheckEnable, Set::UncheckEnable},
}};

// Controls that "Out of Area" / "Private" lock under MDMF.
constexpr std::array<int, 4> kCallerIdentityControls{
    kCidIdSendNumber, kCidIdNumberEdit, kCidIdSendName, kCidIdNameEdit};

// Boxes that "Send Visual Indicator" clears when checked and sets when unchecked.
constexpr std::array<int, 4> kVisualIndicatorExcludes{
    kCidIdSendDateTime, kCidIdSendName, kCidIdSendNumber, kCidIdUseRinger};

// Where each check box's state goes in the Generate inputs.
struct InputRow {
    int id;
    bool CidGenInputs::*member;
};

constexpr std::array<InputRow, 10> kInputRows{{
    {kCidIdLitIndicator, &CidGenInputs::indicatorLit},
    {kCidIdSendName, &CidGenInputs::sendName},
    {kCidIdSendNumber, &CidGenInputs::sendNumber},
    {kCidIdSendDateTime, &CidGenInputs::sendDateTime},
    {kCidIdSendVisualIndicator, &CidGenInputs::sendVisualIndicator},
    {kCidIdOutOfArea, &CidGenInputs::outOfArea},
    {kCidIdPrivate, &CidGenInputs::privateNumber},
    {kCidIdUseRinger, &CidGenInputs::useRinger},
    {kCidIdCallWaiting, &CidGenInputs::callWaiting},
    {kCidIdWaitForAck, &CidGenInputs::waitForAck},
}};

constexpr bool IsDtmf(int type) noexcept { return type == kCidDtmfC || type == kCidDtmfHash; }

template <typename Rows> constexpr bool AllKnown(const Rows &rows) noexcept
{
    for (const auto &row : rows) {
        if (IndexOf(row.id) == kCidGenControls.size())
            return false;
    }
    return true;
}

template <std::size_t N> constexpr bool AllKnown(const std::array<int, N> &ids) noexcept
{
    for (int id : ids) {
        if (IndexOf(id) == kCidGenControls.size())
            return false;
    }
    return true;
}

static_assert(AllKnown(kInitSteps) && AllKnown(kMessageTypeRows) && AllKnown(kInputRows) &&
              AllKnown(kCallerIdentityControls) && AllKnown(kVisualIndicatorExcludes));

}  // namespace

CidGenInterlocks::CidGenInterlocks() noexcept
{
    for (std::size_t i = 0; i < kCidGenControls.size(); ++i) {
        states_[i] = CidControlState{false, true, kCidGenControls[i].visibleAtStart};
    }
}

CidControlState &CidGenInterlocks::At(int id) noexcept
{
    const std::size_t i = IndexOf(id);
    if (i < states_.size())
        return states_[i];
    unknown_ = {};
    return unknown_;
}

void CidGenInterlocks::InitDialog() noexcept
{
    *this = CidGenInterlocks{};
    messageType_ = kCidSdmf;
    for (const Step &step : kInitSteps)
        Apply(At(step.id), step.set);
}

void CidGenInterlocks::SelchangeMessageType(int index) noexcept
{
    messageType_ = index;
    At(kCidIdUseRinger).checked = true;
    if (index < kCidSdmf || index > kCidDtmfHash)
        return;
    for (const TypeRow &row : kMessageTypeRows) {
        const Set set = index == kCidSdmf ? row.sdmf : index == kCidMdmf ? row.mdmf : row.dtmf;
        Apply(At(row.id), set);
    }
}

void CidGenInterlocks::Exclusive(int clicked, int other) noexcept
{
    const bool nowChecked = At(clicked).checked;
    if (IsDtmf(messageType_)) {
        At(other).checked = false;
        At(kCidIdNumberEdit).enabled = !nowChecked;
        return;
    }
    if (nowChecked)
        At(other).checked = false;
    for (int id : kCallerIdentityControls)
        At(id).enabled = !nowChecked;
}

void CidGenInterlocks::OutOfArea() noexcept { Exclusive(kCidIdOutOfArea, kCidIdPrivate); }

void CidGenInterlocks::Private() noexcept { Exclusive(kCidIdPrivate, kCidIdOutOfArea); }

void CidGenInterlocks::CallWaiting() noexcept
{
    CidControlState &ringer = At(kCidIdUseRinger);
    CidControlState &ack = At(kCidIdWaitForAck);
    if (At(kCidIdCallWaiting).checked) {
        ringer.enabled = false;
        ringer.visible = false;
        ack.checked = false;
        ack.visible = true;
    } else {
        ringer.enabled = true;
        ack.visible = false;
        ringer.visible = true;
    }
}

void CidGenInterlocks::SendVisualIndicator() noexcept
{
    const bool check = !At(kCidIdSendVisualIndicator).checked;
    for (int id : kVisualIndicatorExcludes)
        At(id).checked = check;
}

bool CidGenInterlocks::SetChecked(int id, bool checked) noexcept
{
    if (!IsCheckBox(id))
        return false;
    At(id).checked = checked;
    return true;
}

std::optional<CidControlState> CidGenInterlocks::State(int id) const noexcept
{
    const std::size_t i = IndexOf(id);
    if (i >= states_.size())
        return std::nullopt;
    return states_[i];
}

bool CidGenInterlocks::IsChecked(int id) const noexcept
{
    const std::optional<CidControlState> state = State(id);
    return state && state->checked;
}

CidGenInputs CidGenInterlocks::Inputs(std::string_view name, std::string_view number, std::string_view dateTime,
                                      int signalLevel) const noexcept
{
    CidGenInputs inputs;
    inputs.msgType = messageType_;
    inputs.name = name;
    inputs.number = number;
    inputs.dateTime = dateTime;
    inputs.signalLevel = signalLevel;
    for (const InputRow &row : kInputRows)
        inputs.*(row.member) = IsChecked(row.id);
    return inputs;
}

}  // namespace tvx
