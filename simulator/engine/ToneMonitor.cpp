#include "simulator/engine/ToneMonitor.h"

#include <array>

#include "device/logic/ToneMonitorRows.h"

namespace tvxsim {

std::vector<MonitorRow> MonitorRows(const ToneMonitorEntry *set, int32_t count)
{
    std::vector<MonitorRow> rows;
    for (int32_t i = 0; set != nullptr && i < count; ++i)
        rows.push_back({set[i].frequency1, set[i].frequency2, set[i].duration});
    return rows;
}

std::vector<MonitorRow> ToolToneRows()
{
    std::array<ToneMonitorEntry, tvx::kToneMonitorRows.size()> set{};
    for (size_t i = 0; i < set.size(); ++i) {
        const tvx::ToneMonitorRow &t = tvx::kToneMonitorRows[i];
        set[i] = ToneMonitorEntry{0, t.name, t.duration, t.frequency1, t.frequency2, 0};
    }
    return MonitorRows(set.data(), static_cast<int32_t>(set.size()));
}

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
