// State the main dialog holds for its lifetime and its parts share.
#pragma once

#include <QPointer>
#include <QRect>
#include <QWidget>

#include <cstdint>

namespace tvx {

struct MainDialogState {
    uint8_t pulseDial = 0;       // 0 dial with tones, 1 with pulses; written by the Dialing menu
    uint8_t selectedTone = 0;    // 0..7, position in the Tone Generator menu
    uint8_t analysis = 0;        // 1 while the telephony analysis is on
    int32_t libraryVersion = 0;  // written by ScInitialize
    QPointer<QWidget> spectrum;  // control 1074, handed to the library
    QRect spectrumRect;          // its client rectangle, taken at each successful open
};

}  // namespace tvx
