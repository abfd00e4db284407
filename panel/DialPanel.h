// The dial button: "Dia&l" (1067) dials the text of edit 1047 with the
// dial-string interpreter, in tones or pulses as the Dialing menu set the
// pulse-dial flag. The whole string is dialled inside the click, on the UI
// thread, which each pause blocks for a second. UI thread only.
#pragma once

#include "app/host/DialogHost.h"

#include <functional>

class QLineEdit;
class QPushButton;

namespace tvx {

class DialPanel {
public:
    // How a pause of the dial string waits: blocks the calling thread.
    using WaitFunction = std::function<void(int milliseconds)>;

    // Binds the click of button 1067.
    explicit DialPanel(DialogHost &host);

    // Click of "Dia&l": nothing for an empty edit; otherwise the button is
    // disabled, the string dialled, and the button enabled again.
    void OnDial();

    // Replaces how every dial panel waits for a pause, for tests that record
    // the pauses instead of sleeping; an empty function restores the sleep.
    static void SetWaitFunction(WaitFunction wait);

private:
    DialogHost &host_;
    QLineEdit *dialString_;
    QPushButton *dialButton_;
};

}  // namespace tvx
