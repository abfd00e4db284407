// Builds the controls of a dialog template as Qt widgets.
// UI thread only.
#pragma once

#include "res/DialogTemplate.h"
#include "res/DialogUnits.h"

#include <QFont>
#include <QPoint>
#include <QSize>

class QWidget;

namespace tvx::res {

// The template's font, with the usual Linux sans-serif families as fallbacks.
QFont DialogFont(const DialogTemplate &tmpl);

// Base units of a font: average width of the Latin letters and the line height.
BaseUnits DialogBaseUnits(const QFont &font);

// Size of the template's client area in pixels.
QSize DialogClientSize(const DialogTemplate &tmpl, BaseUnits base);

// Creates every control of the template as a child of dialog, placed at origin
// plus its converted place. Each control with an id carries it as its objectName
// in decimal; frames lie beneath the controls and let the mouse through; a
// label static is the buddy of the control it labels; check boxes take a
// screen reader's toggle as a click; trackbars page by a fifth of their range;
// the controls the template hides are not offered to assistive technology.
void BuildControls(QWidget *dialog, const DialogTemplate &tmpl, BaseUnits base, QPoint origin = {});

// The page step of a trackbar spanning min to max: a fifth of the range, at least 1.
int TrackbarPageStep(int min, int max);

// The control with the given id among dialog's children, or nullptr.
template <class Widget> Widget *Control(const QWidget *dialog, int id);

}  // namespace tvx::res

#include <QString>
#include <QWidget>

template <class Widget> Widget *tvx::res::Control(const QWidget *dialog, int id)
{
    return dialog->findChild<Widget *>(QString::number(id));
}
