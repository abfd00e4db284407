// Draws the simulated spectrum into the caller's spectrum area while the
// analysis is on: an event filter paints bars in the area's paint events, a
// timer on the area's (GUI) thread moves them about ten times a second.
//
// Lives on the area's thread. SetActive() and MappingWidth() may be called from
// any thread; they never touch the widget off its thread.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <atomic>
#include <cstdint>

#include "simulator/Gui.h"

class QTimer;

namespace tvxsim {

class AnalysisPainter : public QObject, public SpectrumPainter {
public:
    explicit AnalysisPainter(QWidget *area);
    ~AnalysisPainter() override;

    void SetActive(bool on) override;
    bool IsActive() const { return active_.load(); }
    // Width of the area in logical pixels (live on its thread, else the last
    // one seen); 0 when the area is gone.
    int MappingWidth() override;
    uint32_t FramesPainted() const { return framesPainted_.load(); }

    // Deletes now on the painter's thread, later from any other.
    static void Destroy(AnalysisPainter *painter);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Attach();
    void ApplyActive(bool on);
    void PaintBars(QWidget *area);

    QPointer<QWidget> area_;
    QTimer *timer_ = nullptr;
    std::atomic<bool> active_{false};
    std::atomic<int> width_{0};
    std::atomic<uint32_t> framesPainted_{0};
    uint32_t frame_ = 0;
};

}  // namespace tvxsim
