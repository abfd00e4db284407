// The telephony analysis: check box 1077 switches it on and off, and while it
// is on the frequency under the mouse in the spectrum area (1074) shows in
// static 1082. The library draws the spectrum; the area itself takes no mouse
// input, so moves over it reach the dialog, which hands them here.
// UI thread only.
#pragma once

#include "app/host/DialogHost.h"
#include "panel/logic/CursorColumn.h"

#include <QPoint>
#include <QRect>

#include <cstdint>

class QCheckBox;
class QLabel;

namespace tvx {

class AnalysisReadout {
public:
    // Binds the click of check box 1077, lets mouse moves over the spectrum
    // area through to the dialog and has the dialog track the mouse.
    explicit AnalysisReadout(DialogHost &host);

    // Click of "Telephony Anal&ysis": switches the analysis as the box shows.
    void OnTelephonyAnalysis();

    // A mouse move over the dialog: while the analysis is on and the cursor
    // is over the spectrum area, asks the library for the frequency of the
    // column under the cursor and shows it. The cursor position is read here.
    void OnAnalysisMouseMove();

    QPoint LastCursor() const { return lastCursor_; }
    int32_t LastColumn() const { return lastColumn_; }
    float LastFrequency() const { return lastFrequency_; }

private:
    DialogHost &host_;
    QCheckBox *analysisBox_;
    QLabel *frequencyText_;
    QPoint lastCursor_;
    int32_t lastColumn_ = 0;
    float lastFrequency_ = 0.0f;
};

// The readout's rectangle for a client rectangle of the area (as the dialog
// stores it: origin 0,0, the size of the area inside its frame).
ClientRect ClientRectOf(const QRect &rect);

}  // namespace tvx
