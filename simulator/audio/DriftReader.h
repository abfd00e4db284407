// The reading end of a SampleRing whose writer runs on another clock (the
// model's 20 ms timer on one side, the sound server's graph on the other).
// It keeps the ring's fill low but never empty. What must stay in the ring
// after a read (the target slack) is the jitter margin plus the smaller of
// the writer's bursts and the reader's reads: when the two clocks slide past
// each other, a read that came just after a write comes just before it, and
// finds that much less. Over each window of reads it notes the least slack;
// when that stays above the target it reads one sample more, when below one
// sample less, in at most one read of every 200 samples, stretching or
// squeezing that read by linear interpolation so that no click is heard and
// no tone moves by more than 0.5 %. Only at the bounds does it skip:
// a ring that runs dry gives silence until it holds the target again, and a
// ring filled far beyond it (its reader was not called for a while) is
// emptied, since what it holds is old.
//
// A ring that ran dry says the other thread is later now and then than the
// margin allows (a loaded machine): each underrun adds to the slack, up to a
// bound, and a long steady state, in which no read needed the added slack,
// takes it back a sample at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "simulator/audio/SampleRing.h"

namespace tvxsim {

struct DriftStats {
    uint64_t underruns = 0;  // reads that found too little and gave silence
    uint64_t skips = 0;      // times the ring was emptied at its upper bound
    uint64_t dropped = 0;    // samples squeezed out to lower the fill
    uint64_t repeated = 0;   // samples stretched in to raise it
};

class DriftReader {
public:
    static constexpr size_t kMargin = 40;         // for the two threads' jitter: 5 ms
    static constexpr size_t kTolerance = 16;      // slack beyond the target that is left alone: 2 ms
    static constexpr size_t kCeiling = 800;       // fill beyond a read's need that counts as old: 100 ms
    static constexpr int kWindow = 25;            // reads between two judgements of the slack
    static constexpr size_t kStretchEvery = 200;  // samples read per sample stretched or squeezed, at most: 0.5 %,
                                                  // far beyond any clock's drift, too little to move a DTMF tone
    static constexpr size_t kMaxRead = 2048;      // longer reads are served in parts
    static constexpr size_t kGrowth = 40;         // slack added by each underrun: 5 ms
    static constexpr size_t kMaxExtra = 120;      // the most slack added: 15 ms
    static constexpr int kSteadyWindows = 20;     // windows that did not need the added slack before it
                                                  // shrinks, then one sample per window

    explicit DriftReader(SampleRing &ring) : ring_(ring) {}

    // The reader's thread: fills out with the next samples (silence where there are none).
    void Read(std::span<int16_t> out);
    const DriftStats &Stats() const { return stats_; }
    // Reading, not waiting for the target after an underrun or a skip.
    bool Primed() const { return primed_; }
    // The slack it keeps now, in samples.
    size_t Target() const { return target_; }
    // The slack added after underruns, in samples (0 to kMaxExtra).
    size_t Extra() const { return extra_; }

private:
    void ReadPart(std::span<int16_t> out);
    void Judge();

    SampleRing &ring_;
    bool primed_ = false;         // reading; false while waiting for the target plus a read's worth
    size_t target_ = kMargin;     // the slack to keep
    int reads_ = 0;               // reads in the current window
    size_t leastSlack_ = 0;       // least fill after a read in the current window
    size_t largestStep_ = 0;      // largest of the writer's bursts and the reads in the current window, the smaller one
    int64_t correction_ = 0;      // samples still to squeeze out (< 0) or stretch in (> 0), one per read
    size_t sinceCorrection_ = 0;  // samples read since the last one stretched or squeezed
    size_t extra_ = 0;            // slack added after underruns
    int steadyWindows_ = 0;       // windows in a row that did not need the added slack
    DriftStats stats_;
};

}  // namespace tvxsim
