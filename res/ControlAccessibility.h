// Controls as assistive technology meets them. UI thread only.
#pragma once

class QLabel;
class QString;

namespace tvx::res {

// Check boxes: a screen reader's toggle or press is a click, so the box's
// click handler runs exactly once, as it does for the mouse, the space bar
// and the mnemonic. (The platform's own interface toggles the box without a
// click, and no handler runs.)

// Makes every QCheckBox use that interface from now on. Idempotent; called
// by the dialog builder before it creates controls.
void InstallCheckBoxAccessibility();

// Shows text in a static that displays a value, and tells screen readers
// that what it reads has changed: such a static reads as its text.
void SetValueText(QLabel *valueStatic, const QString &text);

}  // namespace tvx::res
