// The "Adjustable Parameters" group: list 1079 picks one of the seventeen
// parameters, trackbar 1043 sets its value, static 1080 shows it. A dragged
// value goes to the device at once; the panel keeps its own copy of every
// value. UI thread only.
#pragma once

#include "panel/logic/ParameterTable.h"
#include "ui/DialogControls.h"

#include <QObject>

#include <cstdint>

class QComboBox;
class QLabel;
class QSlider;

namespace tvx {

class DeviceSession;

class ParameterPanel final : public QObject {
public:
    // Binds the selection change of list 1079, listens to the trackbar and
    // goes back to the defaults at each open of session.
    ParameterPanel(DialogControls controls, DeviceSession &session);

    // Each successful device open: the defaults into the table, the first
    // parameter selected and shown. Nothing is sent to the device.
    void OnDeviceOpened();

    // Selection change of list 1079: the trackbar takes the parameter's range
    // and value (the detection thresholds read from the device first) and
    // the text shows the value as a plain number.
    void OnParameterSelected();

    // A trackbar notification: code (4 thumb position at the end of a drag,
    // 5 thumb track during it, any other code for keyboard, page, wheel and
    // click moves), the thumb's position and the sending control. Only a drag
    // of trackbar 1043 with a parameter selected changes the table, the text
    // and the device; a press on the thumb let go without moving is a drag
    // that ends where it began.
    void OnParameterScroll(int code, uint32_t position, const QObject *source);

    const ParameterState &State() const { return state_; }

private:
    class PressWatch;
    void ConnectTrackbar();

    QComboBox *list_;
    QSlider *trackbar_;
    QLabel *valueText_;
    ParameterState state_;
    PressWatch *pressWatch_ = nullptr;  // owned by the trackbar
    bool dragMoved_ = false;            // the thumb moved since the drag began
    bool dragFromThumb_ = false;        // the drag began with a press on the thumb
};

}  // namespace tvx
