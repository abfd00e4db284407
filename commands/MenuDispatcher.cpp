#include "commands/MenuDispatcher.h"

#include "commands/logic/AboutLines.h"
#include "commands/logic/CodecBoost.h"
#include "commands/logic/SelectionGroups.h"
#include "commands/logic/Switches.h"
#include "commands/logic/ToneGenRecords.h"
#include "commands/logic/ToneSelection.h"
#include "device/Adapter.h"
#include "device/DeviceSession.h"
#include "device/EventLog.h"
#include "device/Latin1.h"
#include "device/logic/CommandCodes.h"
#include "res/MainMenu.h"
#include "res/MainMenu136.h"
#include "ui/MessageMap.h"

#include <QDialog>
#include <QMenu>
#include <QString>

#include <string_view>

namespace tvx {

namespace {

static_assert(kDoCommandArg3 == 0, "the adapter always passes 0 as third argument");
static_assert(kDoCommandArg4 == adapter::kCommandArg4);

using res::MainMenu;

// The library's set-up dialogs, each opened with the main window as owner.
struct SetupDialog {
    uint16_t id;
    int32_t (*open)(void *owner);
};
constexpr SetupDialog kSetupDialogs[] = {
    {kIdDistinctiveRing, &adapter::DistinctiveRingDlg},
    {kIdInternationalHardware, &adapter::InternationalHardwareDlg},
    {kIdInternationalTones, &adapter::InternationalTonesDlg},
    {kIdHardwareChips, &adapter::HardwareChipsDlg},
};

// ScDoCommand(code, parameter, 0, 0xFFFF); result ignored.
void Send(const CommandCall &call) { adapter::DoCommand(call.code(), call.param, kDoCommandArg4); }

// The CODEC boost's register writes go straight to the library.
class AdapterRegisters final : public CodecBoostSink {
public:
    void Write(const RegisterWrite &w) override { adapter::SetHardwareReg(w.block, w.reg, w.value); }
    int32_t DeviceType() override { return adapter::GetDevType(); }
};

// Clears the marks of firstId..lastId in popup, lowest id first, then marks id.
void MoveMark(QMenu *popup, uint16_t firstId, uint16_t lastId, uint16_t id)
{
    for (uint32_t item = firstId; item <= lastId; ++item)
        MainMenu::Check(popup, static_cast<uint16_t>(item), false);
    MainMenu::Check(popup, id, true);
}

}  // namespace

// The order in which ids are tested. The ranges are disjoint, so at most one
// handler acts.
const MenuDispatcher::Handler MenuDispatcher::kHandlers[] = {
    &MenuDispatcher::OnAboutOrExit,
    &MenuDispatcher::OnSelectionGroup,
    &MenuDispatcher::OnToneSelection,
    &MenuDispatcher::OnSwitch,
    &MenuDispatcher::OnDriverEnabled,
    &MenuDispatcher::OnSetupDialog,
};

MenuDispatcher::MenuDispatcher(QDialog &dialog, res::MainMenu &menu, MessageMap &routing, EventLog &log,
                               DeviceSession &session)
    : dialog_(dialog), menu_(menu), routing_(routing), log_(log), session_(session)
{
    connect(&session, &DeviceSession::Opened, this, &MenuDispatcher::OnDeviceOpened);
}

bool MenuDispatcher::OnCommand(uint32_t wParam, void *)
{
    // A control notification is never taken for a menu choice, whatever its id.
    if (CommandNotification(wParam) == 0)
        Dispatch(CommandId(wParam));
    return routing_.Route(wParam);
}

void MenuDispatcher::Dispatch(uint16_t id)
{
    for (Handler handler : kHandlers)
        if ((this->*handler)(id))
            return;
}

QMenu *MenuDispatcher::Popup(const PopupPath &path) const { return menu_.SubMenu(path); }

void MenuDispatcher::OnDeviceOpened()
{
    for (const SelectionGroup &group : kSelectionGroups)
        MainMenu::SetDefaultItem(Popup(group.popup), group.defaultId);
    selectedTone_ = 0;
    MainMenu::Check(Popup(kPopupAudio), kIdKeypadBeep, true);
}

bool MenuDispatcher::OnAboutOrExit(uint16_t id)
{
    if (id == kIdAbout) {
        OnAbout();
        return true;
    }
    if (id == kIdExit) {
        // The dialog's destruction closes the device.
        dialog_.done(0);
        return true;
    }
    return false;
}

void MenuDispatcher::OnAbout()
{
    for (std::string_view line : kAboutLines)
        log_.Insert(Latin1(line));
}

bool MenuDispatcher::OnSelectionGroup(uint16_t id)
{
    const std::optional<SelectionChoice> choice = ResolveSelection(id);
    if (!choice)
        return false;
    const SelectionGroup &group = *choice->group;
    if (choice->command)
        Send(CommandCall{*choice->command, 0});
    else
        pulseDial_ = static_cast<uint8_t>(choice->index);  // dialling method: kept for the dialler
    MoveMark(Popup(group.popup), group.firstId, group.lastId, id);
    return true;
}

bool MenuDispatcher::OnToneSelection(uint16_t id)
{
    const std::optional<int> tone = ToneIndexFromId(id);
    if (!tone)
        return false;
    if (*tone == selectedTone_)
        return true;  // the tone already selected: nothing moves, nothing is sent
    selectedTone_ = static_cast<uint8_t>(*tone);
    QMenu *popup = Popup(kTonePopup);
    MoveMark(popup, kToneFirstId, kToneLastId, id);
    if (MainMenu::IsChecked(popup, kIdGenerateTone))
        StartSelectedTone();
    return true;
}

void MenuDispatcher::StartSelectedTone()
{
    if (const std::optional<CommandCall> start = ToneStartCommand(selectedTone_))
        Send(*start);
}

bool MenuDispatcher::OnSwitch(uint16_t id)
{
    const Switch *found = FindSwitch(id);
    if (!found)
        return false;
    // The mark is the switch's state; it changes before the call, whatever
    // the call returns.
    QMenu *popup = Popup(found->popup);
    const bool wasChecked = MainMenu::IsChecked(popup, id);
    MainMenu::Check(popup, id, !wasChecked);
    RunSwitchAction(SwitchActionFor(*found, wasChecked));
    return true;
}

void MenuDispatcher::RunSwitchAction(const SwitchAction &action)
{
    switch (action.kind) {
    case SwitchActionKind::DoCommand:
        if (action.call)
            Send(*action.call);
        break;
    case SwitchActionKind::CodecBoost: {
        AdapterRegisters registers;
        RunCodecBoost(action.on, registers);
        break;
    }
    case SwitchActionKind::GenerateTone:
        StartSelectedTone();
        break;
    case SwitchActionKind::GenerateTonesApi:
        if (action.on)
            adapter::GenerateTones(kToneGenRecords.data(), kToneGenRecordCount);
        else
            adapter::GenerateTones(nullptr, 0);
        break;
    }
}

bool MenuDispatcher::OnDriverEnabled(uint16_t id)
{
    if (id != kIdDriverEnabled)
        return false;
    // The session closes or opens as its flag says; the mark follows the flag.
    const uint8_t enabled = session_.ToggleDriver();
    MainMenu::Check(Popup(kPopupMisc), kIdDriverEnabled, enabled == 1);
    return true;
}

bool MenuDispatcher::OnSetupDialog(uint16_t id)
{
    for (const SetupDialog &dialog : kSetupDialogs) {
        if (dialog.id == id) {
            dialog.open(static_cast<void *>(static_cast<QWidget *>(&dialog_)));
            return true;
        }
    }
    return false;
}

}  // namespace tvx
