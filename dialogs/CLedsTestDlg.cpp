#include "dialogs/CLedsTestDlg.h"

#include "device/Adapter.h"
#include "dialogs/TemplateDialog.h"
#include "dialogs/logic/LedMask.h"
#include "res/DialogBuilder.h"
#include "res/LedsTestTemplate.h"
#include "ui/ControlCommands.h"

#include <QCheckBox>
#include <QKeyEvent>

#include <array>

using tvx::res::Control;

namespace {

bool IsChecked(const QWidget *dialog, int id)
{
    const auto *box = Control<QCheckBox>(dialog, id);
    return box && box->checkState() != Qt::Unchecked;
}

}  // namespace

CLedsTestDlg::CLedsTestDlg(QWidget *parent) : QDialog(parent)
{
    tvx::BuildFromTemplate(*this, tvx::res::kLedsTestTemplate);
    for (const tvx::LedBox &box : tvx::kLedBoxes)
        messages_.Bind(static_cast<uint16_t>(box.id), tvx::kClicked, [this] { OnLedClicked(); });
    tvx::ConnectControlCommands(*this, [this](uint32_t wParam, QWidget *) { OnCommand(wParam); });
}

CLedsTestDlg::~CLedsTestDlg() = default;

bool CLedsTestDlg::OnCommand(uint32_t wParam) { return messages_.Route(wParam); }

void CLedsTestDlg::OnLedClicked()
{
    std::array<bool, tvx::kLedLampCount> lamps{};
    for (size_t i = 0; i < lamps.size(); ++i)
        lamps[i] = IsChecked(this, tvx::kLedIdFirstLamp + static_cast<int>(i));
    tvx::adapter::TestLeds(tvx::LedMask(IsChecked(this, tvx::kLedIdEnableTest), lamps));
}

void CLedsTestDlg::keyPressEvent(QKeyEvent *event)
{
    const bool plain = event->modifiers() == Qt::NoModifier ||
                       (event->modifiers() == Qt::KeypadModifier && event->key() == Qt::Key_Enter);
    if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
