// The adapter's box: its LEDs as the LEDs test sets them, the ringer, the
// device mode and switches, and a level meter for each audio point.
// UI thread only.
#pragma once

#include <array>

#include "simulator/benchwindow/BenchPanel.h"

class QLabel;

namespace tvxsim::bench {

class Lamp;
class LevelMeter;

class AdapterPanel : public BenchPanel {
    Q_OBJECT

public:
    explicit AdapterPanel(QWidget *parent = nullptr);

    void Show(const BenchState &state, StateItem item) override;

    // The lamp of row i of kLampRows.
    Lamp *Led(size_t i) const { return leds_[i]; }
    Lamp *RingerLamp() const { return ringer_; }

private:
    void ShowRinger(const BenchState &state);

    std::array<Lamp *, kLampRows.size()> leds_{};           // one per LED
    std::array<Lamp *, kSwitchRows.size()> switches_{};     // one per switch
    std::array<LevelMeter *, kLevelRows.size()> meters_{};  // one per audio point
    Lamp *ringer_;                                          // lit while the phone's bell sounds
    QLabel *ringerText_;                                    // the ringer's frequency and melody
    QLabel *mode_;                                          // the device mode
    QLabel *aux_;                                           // the auxiliary audio content
    QLabel *line_;                                          // the line's hook
};

}  // namespace tvxsim::bench
