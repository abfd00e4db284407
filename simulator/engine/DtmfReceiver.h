// A DTMF receiver that keeps the ITU-T Q.24 limits, built on Goertzel filters
// over a 20 ms window that moves in 5 ms hops (GoertzelBank).
//
// Each of the eight frequencies f is measured by three filters, at f and
// 1.5 % either side, and its level is the strongest of the three, so that a
// tone anywhere within 1.5 % (and a little more) loses under 1 dB. Two guards
// 3.7 % either side tell its frequency: the tone counts only while one of the
// three hears more than both guards, which puts the edge at about 2.6 % off,
// between the 1.5 % (plus 2 Hz) that must work and the 3.5 % that must not.
//
// In each group the strongest frequency is taken; it must be at or above
// the threshold, 8 dB above every other of its group, and the high group
// within +5 / -9 dB of the low (twist +4 / -8 dB, with 1 dB for the
// measurement). The pair must carry 70 % of the window's energy, once a
// tone beside it outside the DTMF band is left out, as a receiver that splits
// off the band before it judges the pair's purity leaves it out:
//   - a dial tone (350 + 440 Hz, or 425 Hz): an exchange stops dial tone only
//     after the first digit, so a first digit overlaps it;
//   - any other lone tone outside 650 to 1,700 Hz (hum, a tone below 600 Hz,
//     a tone from 2,000 to 3,400 Hz), up to 1.5 times the pair's energy (a
//     tone about 5 dB above each of two equal frequencies). A tone is lone
//     when three neighbouring DFT bins of the window (50 Hz apart) hold
//     three quarters of the window's energy outside the band.
// Energy outside the band that is no lone tone still counts against the
// pair, so that speech and music (whose harmonics and formants spread there
// too) and modem tones never count.
//
// The timing guard: the pair must have lasted 31.5 ms, so that 40 ms is a
// digit and 23 ms is not; a key is reported once, about 35 ms after it
// starts, and again only after it has been absent for 35 ms: a dropout of
// 20 ms inside a digit keeps the digit, a pause of 40 ms parts two.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "simulator/engine/Audio.h"
#include "simulator/engine/GoertzelBank.h"
#include "simulator/logic/DtmfKeys.h"

namespace tvxsim {

struct DtmfDigit {
    char key;         // '0'..'9', '*', '#', 'A'..'D'
    SampleTime time;  // end of the samples in which it was recognised
};

class DtmfReceiver {
public:
    static constexpr int kDefaultThresholdDbm0 = -26;
    static constexpr float kLevelSpread = 0.015f;  // the level filters beside each frequency
    static constexpr float kGuardSpread = 0.037f;  // the guards that tell the frequency
    static constexpr float kMinPurity = 0.7f;      // share of the energy, a tone beside the pair left out
    static constexpr int32_t kBandLowHz = 650;     // the DTMF band, beside which a lone tone is left out
    static constexpr int32_t kBandHighHz = 1700;
    static constexpr double kLoneShare = 0.75;  // of the energy outside the band, in a lone tone's three bins
    static constexpr double kLoneCap = 1.5;     // the most of a lone tone left out, against the pair's energy
    static constexpr float kRelativePeakDb = 8.0f;
    static constexpr float kMaxTwistDb = 5.0f;     // high group louder
    static constexpr float kMaxReverseDb = -9.0f;  // high group quieter

    DtmfReceiver();

    // Quietest tone level that counts, per frequency.
    void SetThreshold(int dbm0);
    void Reset();
    void Process(std::span<const int16_t> samples, SampleTime start, std::vector<DtmfDigit> &digits);
    // A key reported is still sounding (its run has not ended).
    bool KeyHeld() const { return reported_ >= 0; }

private:
    static constexpr SampleTime kMinDigit = 252;   // 31.5 ms
    static constexpr SampleTime kOnsetLead = 136;  // a window 85 % full is the first to count
    static constexpr SampleTime kEndLag = 24;
    // Hops without the key that end it: 35 ms, more than a dropout of 20 ms
    // costs (28 ms of windows too empty for the purity test), less than the
    // 40 ms pause between two digits (48 ms).
    static constexpr int kEndMisses = 7;
    // The key whose pair the current window holds, -1 none.
    int32_t KeyInWindow() const;
    // The frequency of a group (0 rows, 1 columns) that stands out: on
    // frequency, at or above the threshold and 8 dB above the others; -1 none.
    struct GroupPeak {
        int index = -1;         // 0..3 within the group
        double meanSquare = 0;  // its level
    };
    GroupPeak PeakOf(int group) const;
    // The energy of a lone tone outside the band (as a mean square), or 0 when there is none.
    double LoneToneBeside() const;
    void OnHop(SampleTime end);

    GoertzelBank bank_;                      // five filters per frequency, the dial tones, the bins outside the band
    double minMeanSquare_ = 0;               // the threshold as a mean square
    int32_t running_ = -1;                   // the key whose pair is present now, -1 none
    int32_t reported_ = -1;                  // the key reported during this run, -1 none
    SampleTime runStart_ = 0;                // when the running key's pair began
    int misses_ = 0;                         // hops in a row without the running key
    int silentSamples_ = 0;                  // silence seen in a row, up to kSettledSilence
    std::vector<DtmfDigit> *out_ = nullptr;  // where OnHop reports, inside Process
};

}  // namespace tvxsim
