// The tone monitor behind event 229: the rows armed with ScMonitorTones,
// each a tone of one or two frequencies, or silence (both 0), that must
// last the row's duration, counted in samples of the 8 kHz audio.
//
// A row is reported once each time it has been present for its duration
// (within 5 ms after), never before; it is reported again only after it has
// gone for at least 10 ms.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "device/tvxusb.h"
#include "simulator/engine/GoertzelBank.h"

namespace tvxsim {

struct MonitorRow {
    int32_t f1 = 0;
    int32_t f2 = 0;
    int32_t durationSamples = 0;
};

// The rows of a tone set as the library is given it (ScMonitorTones).
std::vector<MonitorRow> MonitorRows(const ToneMonitorEntry *set, int32_t count);
// The tool's sixteen tones as it arms them at every open: tvxsim, the tests
// and the benchmarks arm the same rows.
std::vector<MonitorRow> ToolToneRows();

struct MonitorHit {
    int32_t row;
    SampleTime time;
};

class ToneMonitor {
public:
    void Arm(std::vector<MonitorRow> rows);
    void Disarm() { Arm({}); }
    bool Armed() const { return !rows_.empty(); }
    // Tones count at or above toneDbm0 per frequency; silence is a window below silenceDbm0.
    void SetLevels(float toneDbm0, float silenceDbm0);
    // Starts listening afresh (the line was connected).
    void Reset();
    // Feeds the line's receive audio; appends the rows that have just lasted their duration.
    void Process(std::span<const int16_t> samples, SampleTime start, std::vector<MonitorHit> &hits);

private:
    struct RowState {
        bool present = false;
        bool reported = false;
        int misses = 0;
        SampleTime onset = 0;
    };
    static constexpr int kMissesToEnd = 2;
    // The first window that counts is at least this full of the tone: the
    // tone has lasted at least this long when it is first seen.
    static constexpr SampleTime kFirstHitFill =
        static_cast<SampleTime>(GoertzelBank::kWindow * GoertzelBank::kMinPurity);

    void OnHop(SampleTime end, std::vector<MonitorHit> &hits);

    std::vector<MonitorRow> rows_;
    std::vector<RowState> state_;
    GoertzelBank bank_;
    float toneDbm0_ = -32.0f;
    float silenceDbm0_ = -50.0f;
};

}  // namespace tvxsim
