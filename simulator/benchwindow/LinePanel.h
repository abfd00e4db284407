// The line's far end: the simulated exchange or the SIP account of the
// line configuration, its registration, and the SIP call's peer, codec,
// packets lost and jitter; a switch puts the line on the one or the other
// live ("line sip on|off"). UI thread only.
#pragma once

#include "simulator/benchwindow/BenchPanel.h"

class QCheckBox;
class QLabel;

namespace tvxsim::bench {

class LinePanel : public BenchPanel {
    Q_OBJECT

public:
    explicit LinePanel(QWidget *parent = nullptr);

    void Show(const BenchState &state, StateItem item) override;

    QCheckBox *SipBox() const { return sip_; }

private:
    QCheckBox *sip_;        // the line on the SIP account (checked) or the simulated exchange
    QLabel *farEnd_;        // which far end
    QLabel *registration_;  // the registration and its last reason
    QLabel *call_;          // the SIP call: peer, codec, packets lost, jitter
};

}  // namespace tvxsim::bench
