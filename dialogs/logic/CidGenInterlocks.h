// Model of the caller-ID generator dialog's controls: which boxes are
// checked, enabled and visible after each user action. Pure logic, no Qt.
//
// CCallerIdGenDlg (dialogs/) feeds it every user action and shows the states
// it gives, on the UI thread.
//
// The model holds no texts and no trackbar position: the widgets keep them.
// It always shows 1088 ("&Generate") enabled.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

#include "dialogs/logic/CidGenRecordPacking.h"

namespace tvx {

// Control ids of dialog 139.
inline constexpr int kCidIdLitIndicator = 1077;  // "Lit Visual Indicator"
inline constexpr int kCidIdUseRinger = 1078;     // "Use Ringer"
inline constexpr int kCidIdNumberEdit = 1085;
inline constexpr int kCidIdNameEdit = 1086;
inline constexpr int kCidIdDateEdit = 1087;
inline constexpr int kCidIdGenerate = 1088;             // "&Generate"
inline constexpr int kCidIdMessageType = 1089;          // drop-down list
inline constexpr int kCidIdSendNumber = 1090;           // "Send Number:"
inline constexpr int kCidIdSendName = 1091;             // "Send Name:"
inline constexpr int kCidIdSendDateTime = 1092;         // "Send Date and Time:"
inline constexpr int kCidIdSendVisualIndicator = 1093;  // "Send Visual Indicator"
inline constexpr int kCidIdOutOfArea = 1094;            // "Out of Area"
inline constexpr int kCidIdPrivate = 1095;              // "Private"
inline constexpr int kCidIdSignalLevel = 1096;          // trackbar
inline constexpr int kCidIdCallWaiting = 1097;          // "Call Waiting"
inline constexpr int kCidIdWaitForAck = 1098;           // "Wait for ACK"

enum class CidControlKind {
    ComboBox,
    CheckBox,
    Edit,
    Trackbar,
    PushButton
};

struct CidControl {
    int id;
    CidControlKind kind;
    bool visibleAtStart;  // as the template creates it
};

// The dialog's sixteen controls with an id, in template order.
inline constexpr std::array<CidControl, 16> kCidGenControls{{
    {kCidIdMessageType, CidControlKind::ComboBox, true},
    {kCidIdSendNumber, CidControlKind::CheckBox, true},
    {kCidIdNumberEdit, CidControlKind::Edit, true},
    {kCidIdSendName, CidControlKind::CheckBox, true},
    {kCidIdNameEdit, CidControlKind::Edit, true},
    {kCidIdSendDateTime, CidControlKind::CheckBox, true},
    {kCidIdDateEdit, CidControlKind::Edit, true},
    {kCidIdSendVisualIndicator, CidControlKind::CheckBox, true},
    {kCidIdLitIndicator, CidControlKind::CheckBox, true},
    {kCidIdGenerate, CidControlKind::PushButton, true},
    {kCidIdOutOfArea, CidControlKind::CheckBox, true},
    {kCidIdPrivate, CidControlKind::CheckBox, true},
    {kCidIdSignalLevel, CidControlKind::Trackbar, true},
    {kCidIdUseRinger, CidControlKind::CheckBox, true},
    {kCidIdCallWaiting, CidControlKind::CheckBox, true},
    {kCidIdWaitForAck, CidControlKind::CheckBox, false},
}};

// Items of 1089, in order; the index is the record's msgType.
inline constexpr int kCidSdmf = 0;
inline constexpr int kCidMdmf = 1;
inline constexpr int kCidDtmfC = 2;
inline constexpr int kCidDtmfHash = 3;
inline constexpr std::array<std::string_view, 4> kCidMessageTypeItems{"SDMF", "MDMF", "DTMF-C", "DTMF-#"};

// Values InitDialog gives the widgets that the model does not hold.
inline constexpr std::string_view kCidDefaultDateTime = "04292230";
inline constexpr std::string_view kCidDefaultName = "Ivor Kell";
inline constexpr std::string_view kCidDefaultNumber = "7964710";
inline constexpr int kCidDateTimeLimit = 8;           // EM_LIMITTEXT of 1087
inline constexpr int kCidNameLimit = 50;              // of 1086
inline constexpr int kCidNumberLimit = 50;            // of 1085
inline constexpr int kCidSignalLevelDefault = 16000;  // range kCidSignalLevelMin..Max

struct CidControlState {
    bool checked = false;  // meaningful for check boxes only
    bool enabled = true;
    bool visible = true;
};

class CidGenInterlocks {
public:
    // States as the template creates them: nothing checked, everything
    // enabled, all visible but 1098, no message type selected (-1).
    CidGenInterlocks() noexcept;

    // OnInitDialog: starts again from the template states, selects SDMF,
    // then unchecks and disables 1092, 1090, 1091, disables 1086, unchecks
    // and disables 1093, disables 1077, unchecks and disables 1094 and 1095,
    // and checks 1078.
    void InitDialog() noexcept;

    // OnSelchangeMessageType: records the new index, checks 1078, and for
    // index 0..3 sets the controls as the message-type table says; any other
    // index changes nothing more.
    void SelchangeMessageType(int index) noexcept;

    // Click handlers, called after the click has toggled the box (SetChecked).
    void OutOfArea() noexcept;            // 1094, exclusive with 1095
    void Private() noexcept;              // 1095, exclusive with 1094
    void CallWaiting() noexcept;          // 1097: swaps 1078 and 1098
    void SendVisualIndicator() noexcept;  // 1093: clears/sets 1092, 1091, 1090, 1078

    // Records a check box's state as the user left it. Returns false, and
    // changes nothing, when id is not one of the dialog's check boxes.
    bool SetChecked(int id, bool checked) noexcept;

    // State of a control; nullopt for an id not in kCidGenControls.
    std::optional<CidControlState> State(int id) const noexcept;
    bool IsChecked(int id) const noexcept;  // false for unknown ids

    // Selected index of 1089 (-1 before InitDialog).
    int MessageType() const noexcept { return messageType_; }

    // The "&Generate" inputs: message type and check states from the model,
    // texts and trackbar position from the caller's widgets. The views must
    // stay valid until the inputs have been packed.
    CidGenInputs Inputs(std::string_view name, std::string_view number, std::string_view dateTime,
                        int signalLevel) const noexcept;

private:
    CidControlState &At(int id) noexcept;
    void Exclusive(int clicked, int other) noexcept;

    std::array<CidControlState, kCidGenControls.size()> states_{};
    CidControlState unknown_{};  // target of At() for an id outside the table
    int messageType_ = -1;
};

}  // namespace tvx
