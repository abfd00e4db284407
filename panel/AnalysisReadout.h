// The telephony analysis: check box 1077 switches it on and off, and while it
// is on the frequency under the mouse in the spectrum area (1074) shows in
// static 1082. The library draws the spectrum; the area itself takes no mouse
// input, so moves over it reach the dialog, which hands them here. The box's
// mark is the analysis flag; owns the area's rectangle, taken at each device
// open.
// UI thread only.
#pragma once

#include "panel/logic/CursorColumn.h"
#include "ui/DialogControls.h"

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>

#include <cstdint>

class QCheckBox;
class QLabel;

namespace tvx {

class DeviceSession;

class AnalysisReadout final : public QObject {
public:
    // Binds the click of check box 1077, lets mouse moves over the spectrum
    // area through to the window, has the window track the mouse and takes
    // the area's rectangle at each open of session.
    AnalysisReadout(DialogControls controls, DeviceSession &session);

    // Each successful device open: the spectrum area's client rectangle.
    void OnDeviceOpened();

    // Click of "Telephony Anal&ysis": switches the analysis as the box shows.
    void OnTelephonyAnalysis();

    // A mouse move over the dialog: while the analysis is on and the cursor
    // is over the spectrum area, asks the library for the frequency of the
    // column under the cursor and shows it. The cursor position is read here.
    void OnAnalysisMouseMove();

    QPoint LastCursor() const { return lastCursor_; }
    int32_t LastColumn() const { return lastColumn_; }
    float LastFrequency() const { return lastFrequency_; }
    // 1 while the analysis is on (the box checked); 0 at construction.
    uint8_t Analysis() const;
    // Origin 0,0 and the size inside the area's frame, as the last open found it.
    const QRect &SpectrumRect() const { return spectrumRect_; }

private:
    QCheckBox *analysisBox_;
    QLabel *frequencyText_;
    QPointer<QWidget> spectrum_;
    QRect spectrumRect_;
    QPoint lastCursor_;
    int32_t lastColumn_ = 0;
    float lastFrequency_ = 0.0f;
};

// The readout's rectangle for a client rectangle of the area (as the dialog
// stores it: origin 0,0, the size of the area inside its frame).
ClientRect ClientRectOf(const QRect &rect);

}  // namespace tvx
