#include "commands/MenuDispatcher.h"

#include "commands/logic/AboutLines.h"
#include "commands/logic/CodecBoost.h"
#include "commands/logic/SelectionGroups.h"
#include "commands/logic/Switches.h"
#include "commands/logic/ToneGenRecords.h"
#include "commands/logic/ToneSelection.h"
#include "device/Adapter.h"
#include "device/DeviceSession.h"
#include "device/Latin1.h"
#include "device/logic/CommandCodes.h"
#include "log/EventLog.h"
#include "res/MainMenu.h"
#include "res/MainMenu136.h"
#include "ui/MessageMap.h"

#include <QDialog>
#include <QMenu>
#include <QString>

#include <string_view>

namespace tvx {

static_assert(kDoCommandArg3 == 0, "the adapter always passes 0 as third argument");
static_assert(kDoCommandArg4 == adapter::kCommandArg4);

using res::MainMenu;

namespace {

// The library's set-up dialogs, each opened with the main window as owner.
struct SetupDialog {
    uint16_t id;
    MenuDispatcher::OpenSetupDialog open;
};
constexpr SetupDialog kSetupDialogs[] = {
    {kIdDistinctiveRing, &adapter::DistinctiveRingDlg},
    {kIdInternationalHardware, &adapter::InternationalHardwareDlg},
    {kIdInternationalTones, &adapter::InternationalTonesDlg},
    {kIdHardwareChips, &adapter::HardwareChipsDlg},
};

constexpr PopupPath kDiallingPopup = PopupHolding(res::kMainMenu136, kIdPulseDial);

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

MenuDispatcher::MenuDispatcher(QDialog &dialog, res::MainMenu &menu, MessageMap &routing, EventLog &log,
                               DeviceSession &session)
    : dialog_(dialog), menu_(menu), log_(log), session_(session)
{
    Bind(routing);
    connect(&session, &DeviceSession::Opened, this, &MenuDispatcher::OnDeviceOpened);
    connect(&session, &DeviceSession::DriverEnabledChanged, this, &MenuDispatcher::ShowDriverEnabled);
}

void MenuDispatcher::Bind(MessageMap &routing)
{
    routing.Bind(kIdAbout, kClicked, [this] { OnAbout(); });
    routing.Bind(kIdExit, kClicked, [this] { OnExit(); });
    for (const SelectionGroup &group : kSelectionGroups)
        for (uint32_t id = group.firstId; id <= group.lastId; ++id)
            routing.Bind(static_cast<uint16_t>(id), kClicked, [this, &group, id] {
                OnSelectionGroup(group, static_cast<uint16_t>(id));
            });
    for (uint32_t id = kToneFirstId; id <= kToneLastId; ++id)
        routing.Bind(static_cast<uint16_t>(id), kClicked, [this, id] {
            OnToneSelection(static_cast<uint8_t>(id - kToneFirstId), static_cast<uint16_t>(id));
        });
    for (const Switch &row : kSwitches)
        routing.Bind(row.id, kClicked, [this, &row] { OnSwitch(row); });
    routing.Bind(kIdDriverEnabled, kClicked, [this] { OnDriverEnabled(); });
    for (const SetupDialog &row : kSetupDialogs)
        routing.Bind(row.id, kClicked, [this, open = row.open] { OnSetupDialog(open); });
}

QMenu *MenuDispatcher::Popup(const PopupPath &path) const { return menu_.SubMenu(path); }

void MenuDispatcher::OnDeviceOpened()
{
    for (const SelectionGroup &group : kSelectionGroups)
        MainMenu::SetDefaultItem(Popup(group.popup), group.defaultId);
    selectedTone_ = 0;
    MainMenu::Check(Popup(kPopupAudio), kIdKeypadBeep, true);
}

bool MenuDispatcher::PulseDial() const { return MainMenu::IsChecked(Popup(kDiallingPopup), kIdPulseDial); }

void MenuDispatcher::OnAbout()
{
    for (std::string_view line : kAboutLines)
        log_.Insert(Latin1(line));
}

void MenuDispatcher::OnExit()
{
    // The dialog's destruction closes the device.
    dialog_.done(0);
}

void MenuDispatcher::OnSelectionGroup(const SelectionGroup &group, uint16_t id)
{
    // The dialling method group sends nothing: its mark is the method.
    if (const std::optional<Command> command = SelectionCommand(group, id))
        Send(CommandCall{*command, 0});
    MoveMark(Popup(group.popup), group.firstId, group.lastId, id);
}

void MenuDispatcher::OnToneSelection(uint8_t tone, uint16_t id)
{
    if (tone == selectedTone_)
        return;  // the tone already selected: nothing moves, nothing is sent
    selectedTone_ = tone;
    QMenu *popup = Popup(kTonePopup);
    MoveMark(popup, kToneFirstId, kToneLastId, id);
    if (MainMenu::IsChecked(popup, kIdGenerateTone))
        StartSelectedTone();
}

void MenuDispatcher::StartSelectedTone()
{
    if (const std::optional<CommandCall> start = ToneStartCommand(selectedTone_))
        Send(*start);
}

void MenuDispatcher::OnSwitch(const Switch &row)
{
    // The mark is the switch's state; it changes before the call, whatever
    // the call returns.
    QMenu *popup = Popup(row.popup);
    const bool wasChecked = MainMenu::IsChecked(popup, row.id);
    MainMenu::Check(popup, row.id, !wasChecked);
    RunSwitchAction(SwitchActionFor(row, wasChecked));
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

void MenuDispatcher::OnDriverEnabled()
{
    // The session closes or opens as its flag says; the mark follows the
    // flag through DriverEnabledChanged.
    session_.ToggleDriver();
}

void MenuDispatcher::ShowDriverEnabled(bool enabled) { MainMenu::Check(Popup(kPopupMisc), kIdDriverEnabled, enabled); }

void MenuDispatcher::OnSetupDialog(OpenSetupDialog open)
{
    open(static_cast<void *>(static_cast<QWidget *>(&dialog_)));
}

}  // namespace tvx
