// The dial button: "Dia&l" (1067) dials the text of edit 1047 with the
// dial-string interpreter, in tones or pulses as the Dialing menu set the
// pulse-dial flag. The whole string is dialled inside the click, on the UI
// thread, which each pause blocks for a second. UI thread only.
#pragma once

#include "ui/DialogControls.h"

#include <functional>

class QLineEdit;
class QPushButton;

namespace tvx {

class DiallingMethod;

class DialPanel {
public:
    // How a pause of the dial string waits: blocks the calling thread.
    using WaitFunction = std::function<void(int milliseconds)>;

    // Binds the click of button 1067. method gives the starting mode of each
    // dial string; wait is how a pause waits (tests record the pauses), an
    // empty function sleeps.
    DialPanel(DialogControls controls, const DiallingMethod &method, WaitFunction wait = {});

    // Click of "Dia&l": nothing for an empty edit; otherwise the button is
    // disabled, the string dialled, and the button enabled again.
    void OnDial();

private:
    const DiallingMethod &method_;
    WaitFunction wait_;
    QLineEdit *dialString_;
    QPushButton *dialButton_;
};

}  // namespace tvx
