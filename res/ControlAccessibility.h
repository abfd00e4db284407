// Controls as assistive technology meets them. UI thread only.
#pragma once

class QLabel;
class QString;
class QWidget;

namespace tvx::res {

// Check boxes: a screen reader's toggle or press is a click, so the box's
// click handler runs exactly once, as it does for the mouse, the space bar
// and the mnemonic. (The platform's own interface toggles the box without a
// click, and no handler runs.)

// Makes every QCheckBox use that interface from now on. Idempotent; called
// by the dialog builder before it creates controls.
void InstallCheckBoxAccessibility();

// A window built from a template offers assistive technology only the
// controls it shows: a control the template keeps hidden is not among the
// window's accessible children, so a screen reader never meets it. Marks
// window; to be called before its accessible interface is first asked for
// (the dialog builder calls it, before the window is shown). Idempotent.
void OfferShownControlsOnly(QWidget *window);

// Shows text in a static that displays a value, and tells screen readers
// that what it reads has changed: such a static reads as its text.
void SetValueText(QLabel *valueStatic, const QString &text);

}  // namespace tvx::res
