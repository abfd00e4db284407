// Draws the line's spectrum into the caller's spectrum area while the
// analysis is on. The engine's analyser publishes a frame every 50 ms into
// the feed; a timer on the area's (GUI) thread looks 20 times a second and
// asks for a repaint only when a newer frame is there, so frames that come
// while the GUI is busy collapse into the newest one. An event filter paints
// in the area's paint events: one bar per column of logical pixels, the
// column's frequency being the one ScGetIndexFreq reports for it, at any
// size and device pixel ratio.
//
// Lives on the area's thread. SetActive() and MappingWidth() may be called from
// any thread; they never touch the widget off its thread.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "simulator/Gui.h"
#include "simulator/engine/AnalysisFeed.h"

class QPainter;
class QTimer;

namespace tvxsim {

class AnalysisPainter : public QObject, public SpectrumPainter {
public:
    static constexpr int kFrameMs = 50;

    AnalysisPainter(QWidget *area, std::shared_ptr<const AnalysisFeed> feed);
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
    void Paint(QWidget *area);
    void DrawGrid(QPainter &p, const QRect &r);

    QPointer<QWidget> area_;
    std::shared_ptr<const AnalysisFeed> feed_;
    QTimer *timer_ = nullptr;
    std::atomic<bool> active_{false};
    std::atomic<int> width_{0};
    std::atomic<uint32_t> framesPainted_{0};
    uint64_t lastFrame_ = 0;
    std::vector<float> columns_;
};

}  // namespace tvxsim
