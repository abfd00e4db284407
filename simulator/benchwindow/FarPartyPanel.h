// The far party: answers and hangs up, sends DTMF, speaks, plays a file, and
// noise on the line. UI thread only.
#pragma once

#include "simulator/benchwindow/BenchPanel.h"

class QLineEdit;
class QSpinBox;

namespace tvxsim::bench {

class FarPartyPanel : public BenchPanel {
    Q_OBJECT

public:
    explicit FarPartyPanel(QWidget *parent = nullptr);

    void Show(const BenchState &, StateItem) override {}

private:
    void ChooseFile();

    QLineEdit *dtmf_;       // digits the far party keys
    QSpinBox *speechMs_;    // how long the far party speaks
    QLineEdit *file_;       // the file the far party plays
    QSpinBox *gain_;        // its gain in dB
    QSpinBox *noiseMs_;     // how long the line is noisy
    QSpinBox *noiseLevel_;  // the noise's level in dBm0
};

}  // namespace tvxsim::bench
