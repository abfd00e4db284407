// The far end calls the adapter: an incoming call with caller ID (name,
// number, format, modem, timing, absence reason, date), or during a call a
// call-waiting alert with it. UI thread only.
#pragma once

#include "simulator/benchwindow/BenchPanel.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace tvxsim::bench {

class CallPanel : public BenchPanel {
    Q_OBJECT

public:
    explicit CallPanel(QWidget *parent = nullptr);

    void Show(const BenchState &state, StateItem item) override;

    // The form as it stands.
    CallForm Form() const;

private:
    QLineEdit *name_;       // the caller's name
    QLineEdit *number_;     // the caller's number
    QComboBox *format_;     // CallFormat
    QComboBox *modem_;      // CallModem
    QComboBox *timing_;     // CallTiming
    QComboBox *absence_;    // CallAbsence
    QLineEdit *date_;       // MMDDhhmm or empty
    QPushButton *waiting_;  // call waiting: only during a call
};

}  // namespace tvxsim::bench
