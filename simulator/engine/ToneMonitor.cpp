#include "simulator/engine/ToneMonitor.h"

namespace tvxsim {

void ToneMonitor::Arm(std::vector<MonitorRow> rows)
{
    rows_ = std::move(rows);
    std::vector<GoertzelBank::Tone> tones;
    tones.reserve(rows_.size());
    for (const MonitorRow &r : rows_)
        tones.push_back({r.f1, r.f2});
    bank_.Configure(tones);
    state_.assign(rows_.size(), RowState{});
}

void ToneMonitor::SetLevels(float toneDbm0, float silenceDbm0)
{
    toneDbm0_ = toneDbm0;
    silenceDbm0_ = silenceDbm0;
}

void ToneMonitor::Reset()
{
    bank_.Reset();
    state_.assign(rows_.size(), RowState{});
}

void ToneMonitor::Process(std::span<const int16_t> samples, SampleTime start, std::vector<MonitorHit> &hits)
{
    if (rows_.empty())
        return;
    bank_.Process(samples, start, [&](SampleTime end) { OnHop(end, hits); });
}

void ToneMonitor::OnHop(SampleTime end, std::vector<MonitorHit> &hits)
{
    const float window = bank_.WindowDbm0();
    for (size_t i = 0; i < rows_.size(); ++i) {
        const MonitorRow &row = rows_[i];
        RowState &st = state_[i];
        const bool silenceRow = row.f1 == 0 && row.f2 == 0;
        const bool hit = silenceRow ? window < silenceDbm0_ : bank_.TonePresent(i, toneDbm0_);
        if (!hit) {
            if (st.present && ++st.misses >= kMissesToEnd)
                st = RowState{};
            continue;
        }
        if (!st.present) {
            st.present = true;
            st.onset = end - kFirstHitFill;
        }
        st.misses = 0;
        if (!st.reported && end - st.onset >= row.durationSamples) {
            st.reported = true;
            hits.push_back({static_cast<int32_t>(i), end});
        }
    }
}

}  // namespace tvxsim
