// The dial button: "Dia&l" (1067) dials the text of edit 1047 with the
// dial-string interpreter, in tones or pulses as the Dialing menu set the
// pulse-dial flag. The string's calls go out in order from the UI thread
// without blocking it: the dial commands up to a pause at once, each pause
// as a single-shot timer, so the window paints and the log fills while a
// string runs. The button stays disabled until the string has run out, the
// device session closes or opens, or the dialog ends. UI thread only.
#pragma once

#include "panel/logic/DialString.h"
#include "ui/DialogControls.h"

#include <QObject>

#include <functional>
#include <memory>
#include <vector>

class QLineEdit;
class QPushButton;

namespace tvx {

class DeviceSession;
class DiallingMethod;

class DialPanel final : public QObject {
public:
    // How a pause of a running dial string waits: resume is called once the
    // pause is over (it may be called at once, from inside). Calling it
    // after the string has ended, or after the panel is gone, does nothing.
    using PauseFunction = std::function<void(int milliseconds, std::function<void()> resume)>;

    // Binds the click of button 1067. method gives the starting mode of each
    // dial string; every close and open of session, and the end of the
    // window when it is a dialog, end a running string. pause is how a pause
    // waits (tests keep their own clock); an empty function starts a
    // single-shot timer on the UI thread.
    DialPanel(DialogControls controls, const DiallingMethod &method, DeviceSession &session, PauseFunction pause = {});
    ~DialPanel() override;

    // Click of "Dia&l": nothing for an empty edit or while a string runs;
    // otherwise the button is disabled and the string starts.
    void OnDial();

    // Ends a running string: no call of it is made from now on, and the
    // button is enabled again. Nothing when none runs.
    void Stop();

private:
    struct Run;

    // Makes the run's calls up to its next pause, or to its end.
    void Continue(const std::shared_ptr<Run> &run);
    void Resume(const std::shared_ptr<Run> &run);

    const DiallingMethod &method_;
    PauseFunction pause_;
    QLineEdit *dialString_;
    QPushButton *dialButton_;
    // The string running now; resumes of an ended one find it gone.
    std::shared_ptr<Run> run_;
};

}  // namespace tvx
