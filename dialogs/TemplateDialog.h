// Building the maintenance and test dialogs from their templates.
// UI thread only.
#pragma once

#include "res/DialogTemplate.h"

class QDialog;

namespace tvx {

// Titles the dialog, gives it the template's font, builds the controls and
// fixes the size. The frame has a caption, a system menu and a close box.
void BuildFromTemplate(QDialog &dialog, const res::DialogTemplate &tmpl);

}  // namespace tvx
