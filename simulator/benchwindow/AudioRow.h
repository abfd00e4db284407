// The adapter's audio on the desktop's sound server: "Listen" (the earpiece
// to the speakers), "Talk" (the microphone into the handset) and "Be the far
// party". Usable only while the adapter's nodes are published; otherwise
// disabled with the reason beside them. UI thread only.
#pragma once

#include <array>

#include "simulator/benchwindow/BenchPanel.h"

class QCheckBox;
class QLabel;

namespace tvxsim::bench {

class AudioRow : public BenchPanel {
    Q_OBJECT

public:
    explicit AudioRow(QWidget *parent = nullptr);

    void Show(const BenchState &state, StateItem item) override;

    QCheckBox *Box(SoundSwitch which) const { return boxes_[size_t(which)]; }

private:
    void ShowAvailability(const BenchState &state);

    std::array<QCheckBox *, 3> boxes_{};  // by SoundSwitch
    QLabel *reason_;                      // why the boxes are disabled, or what they do
};

}  // namespace tvxsim::bench
