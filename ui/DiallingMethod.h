// The dialling method that the "D&ialing" menu chose, as the dialler reads
// it: the menu commands own it, the dial panel only asks.
// UI thread only.
#pragma once

namespace tvx {

class DiallingMethod {
public:
    // true: dial with pulses; false: with tones.
    virtual bool PulseDial() const = 0;

protected:
    ~DiallingMethod() = default;
};

}  // namespace tvx
