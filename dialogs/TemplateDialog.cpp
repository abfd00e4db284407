#include "dialogs/TemplateDialog.h"

#include "res/DialogBuilder.h"

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

}  // namespace tvx
