#include "dialogs/CCallerIdGenDlg.h"

#include "device/Adapter.h"
#include "device/Latin1.h"
#include "dialogs/TemplateDialog.h"
#include "dialogs/logic/CidGenRecordPacking.h"
#include "res/CallerIdGenTemplate.h"
#include "res/DialogBuilder.h"
#include "ui/ControlCommands.h"

#include <QByteArray>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

#include <string_view>

using tvx::res::Control;

namespace {

std::string_view View(const QByteArray &bytes) { return {bytes.constData(), static_cast<size_t>(bytes.size())}; }

}  // namespace

CCallerIdGenDlg::CCallerIdGenDlg(QWidget *parent) : QDialog(parent)
{
    tvx::BuildFromTemplate(*this, tvx::res::kCallerIdGenTemplate);

    messages_.Bind(tvx::kCidIdGenerate, tvx::kClicked, [this] { OnGenerate(); });
    messages_.Bind(tvx::kCidIdMessageType, tvx::kSelectionChange, [this] { OnSelchangeMessageType(); });
    messages_.Bind(tvx::kCidIdOutOfArea, tvx::kClicked, [this] { OnOutOfArea(); });
    messages_.Bind(tvx::kCidIdPrivate, tvx::kClicked, [this] { OnPrivate(); });
    messages_.Bind(tvx::kCidIdCallWaiting, tvx::kClicked, [this] { OnCallWaiting(); });
    messages_.Bind(tvx::kCidIdSendVisualIndicator, tvx::kClicked, [this] { OnSendVisualIndicator(); });
    tvx::ConnectControlCommands(*this, [this](uint32_t wParam, QWidget *) { OnCommand(wParam); });

    OnInitDialog();
}

CCallerIdGenDlg::~CCallerIdGenDlg() = default;

void CCallerIdGenDlg::OnInitDialog()
{
    model_.InitDialog();
    Control<QComboBox>(this, tvx::kCidIdMessageType)->setCurrentIndex(model_.MessageType());

    auto *date = Control<QLineEdit>(this, tvx::kCidIdDateEdit);
    date->setMaxLength(tvx::kCidDateTimeLimit);
    date->setText(tvx::Latin1(tvx::kCidDefaultDateTime));
    auto *name = Control<QLineEdit>(this, tvx::kCidIdNameEdit);
    name->setMaxLength(tvx::kCidNameLimit);
    name->setText(tvx::Latin1(tvx::kCidDefaultName));
    auto *number = Control<QLineEdit>(this, tvx::kCidIdNumberEdit);
    number->setMaxLength(tvx::kCidNumberLimit);
    number->setText(tvx::Latin1(tvx::kCidDefaultNumber));

    ApplyStates();

    auto *level = Control<QSlider>(this, tvx::kCidIdSignalLevel);
    level->setRange(tvx::kCidSignalLevelMin, tvx::kCidSignalLevelMax);
    level->setValue(tvx::kCidSignalLevelDefault);
}

bool CCallerIdGenDlg::OnCommand(uint32_t wParam)
{
    ReadCheckStates();
    const bool handled = messages_.Route(wParam);
    ApplyStates();
    return handled;
}

void CCallerIdGenDlg::ReadCheckStates()
{
    for (const tvx::CidControl &control : tvx::kCidGenControls) {
        if (control.kind != tvx::CidControlKind::CheckBox)
            continue;
        if (const auto *box = Control<QCheckBox>(this, control.id))
            model_.SetChecked(control.id, box->isChecked());
    }
}

void CCallerIdGenDlg::ApplyStates()
{
    for (const tvx::CidControl &control : tvx::kCidGenControls) {
        QWidget *widget = Control<QWidget>(this, control.id);
        const auto state = model_.State(control.id);
        if (!widget || !state)
            continue;
        if (control.kind == tvx::CidControlKind::CheckBox)
            static_cast<QCheckBox *>(widget)->setChecked(state->checked);
        widget->setEnabled(state->enabled);
        widget->setVisible(state->visible);
    }
}

void CCallerIdGenDlg::OnGenerate()
{
    // Disabled for the whole library call: no second Generate can start.
    auto *generate = Control<QPushButton>(this, tvx::kCidIdGenerate);
    const bool hadFocus = generate->hasFocus();
    generate->setEnabled(false);

    const QByteArray name = Control<QLineEdit>(this, tvx::kCidIdNameEdit)->text().toLatin1();
    const QByteArray number = Control<QLineEdit>(this, tvx::kCidIdNumberEdit)->text().toLatin1();
    const QByteArray date = Control<QLineEdit>(this, tvx::kCidIdDateEdit)->text().toLatin1();
    const int level = Control<QSlider>(this, tvx::kCidIdSignalLevel)->value();
    const CidGenRecord record = tvx::PackCidGenRecord(model_.Inputs(View(name), View(number), View(date), level));
    tvx::adapter::GenerateCallerId(record);

    generate->setEnabled(true);
    if (hadFocus)
        generate->setFocus(Qt::OtherFocusReason);
}

void CCallerIdGenDlg::OnSelchangeMessageType()
{
    model_.SelchangeMessageType(Control<QComboBox>(this, tvx::kCidIdMessageType)->currentIndex());
}

void CCallerIdGenDlg::OnOutOfArea() { model_.OutOfArea(); }
void CCallerIdGenDlg::OnPrivate() { model_.Private(); }
void CCallerIdGenDlg::OnCallWaiting() { model_.CallWaiting(); }
void CCallerIdGenDlg::OnSendVisualIndicator() { model_.SendVisualIndicator(); }
