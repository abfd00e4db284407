// The handset on the desk: its hook switch (lift, hang up, flash), its keypad
// and its caller-ID display. UI thread only.
#pragma once

#include "simulator/benchwindow/BenchPanel.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace tvxsim::bench {

class HandsetPanel : public BenchPanel {
    Q_OBJECT

public:
    explicit HandsetPanel(QWidget *parent = nullptr);

    void Show(const BenchState &state, StateItem item) override;

private:
    QLabel *hook_;     // "On hook" / "Off hook"
    QLabel *display_;  // what the caller-ID display shows
    QLineEdit *keys_;  // several keys to press at once
};

}  // namespace tvxsim::bench
