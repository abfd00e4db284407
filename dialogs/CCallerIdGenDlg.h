// The caller-ID generator (template 139): the user composes one caller-ID
// message and has the adapter generate it with each click on "&Generate".
// The interlocks between the boxes live in CidGenInterlocks; this class
// applies its states to the widgets and reads the boxes back. No state
// survives the dialog. UI thread only.
#pragma once

#include "dialogs/logic/CidGenInterlocks.h"
#include "ui/MessageMap.h"

#include <QDialog>

#include <cstdint>

class CCallerIdGenDlg : public QDialog {
    Q_OBJECT
public:
    // Builds the controls and sets the defaults (OnInitDialog). Escape and
    // the close box end the dialog; Enter clicks "&Generate".
    explicit CCallerIdGenDlg(QWidget *parent = nullptr);
    ~CCallerIdGenDlg() override;

    // The dialog's command entry: id in the low 16 bits, notification in the
    // high 16 bits. Takes the boxes' check states, runs the bound handler and
    // shows the resulting states. Returns whether a handler ran.
    bool OnCommand(uint32_t wParam);

    // Handlers bound in the dialog's message map.
    void OnGenerate();
    void OnSelchangeMessageType();
    void OnOutOfArea();
    void OnPrivate();
    void OnCallWaiting();
    void OnSendVisualIndicator();

private:
    void OnInitDialog();
    // Check boxes → model, as the user left them.
    void ReadCheckStates();
    // Model → every control's check, enabled and visible state.
    void ApplyStates();

    tvx::CidGenInterlocks model_;
    tvx::MessageMap messages_;
};
