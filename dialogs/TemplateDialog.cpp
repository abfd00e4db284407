#include "TemplateDialog.h"

#include "DialogBuilder.h"
#include "host/MessageMap.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDialog>

namespace tvx {

void BuildFromTemplate(QDialog &dialog, const res::DialogTemplate &tmpl)
{
    dialog.setWindowTitle(QString::fromLatin1(tmpl.title));
    dialog.setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    dialog.setFont(res::DialogFont(tmpl));
    const res::BaseUnits base = res::DialogBaseUnits(dialog.font());
    res::BuildControls(&dialog, tmpl, base);
    dialog.setFixedSize(res::DialogClientSize(tmpl, base));
}

namespace {

bool NumericId(const QObject *control, uint16_t &id)
{
    bool numeric = false;
    id = static_cast<uint16_t>(control->objectName().toUInt(&numeric));
    return numeric;
}

}  // namespace

void ConnectControlCommands(QDialog &dialog, std::function<void(uint32_t wParam)> onCommand)
{
    uint16_t id = 0;
    for (QAbstractButton *button : dialog.findChildren<QAbstractButton *>()) {
        if (NumericId(button, id))
            QObject::connect(button, &QAbstractButton::clicked, &dialog,
                             [onCommand, id] { onCommand(MakeCommandArg(id, kClicked)); });
    }
    for (QComboBox *combo : dialog.findChildren<QComboBox *>()) {
        if (NumericId(combo, id))
            QObject::connect(combo, &QComboBox::activated, &dialog,
                             [onCommand, id] { onCommand(MakeCommandArg(id, kSelectionChange)); });
    }
}

}  // namespace tvx
