// What the maintenance and test dialogs share: building a dialog from its
// template, and sending its controls' clicks and selection changes to one
// command entry, as the main dialog does. UI thread only.
#pragma once

#include "DialogTemplate.h"

#include <cstdint>
#include <functional>

class QDialog;

namespace tvx {

// Titles the dialog, gives it the template's font, builds the controls and
// fixes the size. The frame has a caption, a system menu and a close box.
void BuildFromTemplate(QDialog &dialog, const res::DialogTemplate &tmpl);

// Every button and check box with a numeric id sends (id | kClicked << 16)
// when clicked, every drop-down list (id | kSelectionChange << 16) when the
// user picks an item.
void ConnectControlCommands(QDialog &dialog, std::function<void(uint32_t wParam)> onCommand);

}  // namespace tvx
