#include "simulator/AnalysisPainter.h"

#include <QEvent>
#include <QPainter>
#include <QThread>
#include <QTimer>
#include <array>

#include "simulator/logic/AnalysisLevels.h"

namespace tvxsim {
namespace {

constexpr int kFrameMs = 100;
constexpr size_t kBars = 64;

bool OnThreadOf(const QObject *object) { return QThread::currentThread() == object->thread(); }

}  // namespace

AnalysisPainter::AnalysisPainter(QWidget *area) : area_(area)
{
    timer_ = new QTimer(this);
    timer_->setInterval(kFrameMs);
    connect(timer_, &QTimer::timeout, this, [this] {
        ++frame_;
        if (area_)
            area_->update();
    });
    if (area == nullptr)
        return;
    if (OnThreadOf(area)) {
        Attach();
    } else {
        moveToThread(area->thread());
        QMetaObject::invokeMethod(
            this, [this] { Attach(); }, Qt::QueuedConnection);
    }
}

AnalysisPainter::~AnalysisPainter()
{
    if (area_) {
        area_->removeEventFilter(this);
        if (active_.load())
            area_->update();
    }
}

void AnalysisPainter::Attach()
{
    if (!area_)
        return;
    area_->installEventFilter(this);
    width_.store(area_->contentsRect().width());
    connect(area_.data(), &QObject::destroyed, this, [this] {
        width_.store(0);
        timer_->stop();
    });
    if (active_.load())
        ApplyActive(true);
}

void AnalysisPainter::SetActive(bool on)
{
    active_.store(on);
    if (OnThreadOf(this))
        ApplyActive(on);
    else
        QMetaObject::invokeMethod(
            this, [this, on] { ApplyActive(on); }, Qt::QueuedConnection);
}

void AnalysisPainter::ApplyActive(bool on)
{
    if (on && area_)
        timer_->start();
    else
        timer_->stop();
    if (area_)
        area_->update();
}

int AnalysisPainter::MappingWidth()
{
    if (OnThreadOf(this))
        width_.store(area_ ? area_->contentsRect().width() : 0);
    return width_.load();
}

void AnalysisPainter::Destroy(AnalysisPainter *painter)
{
    if (painter == nullptr)
        return;
    if (OnThreadOf(painter))
        delete painter;
    else
        painter->deleteLater();
}

bool AnalysisPainter::eventFilter(QObject *watched, QEvent *event)
{
    if (area_ && watched == area_.data()) {
        if (event->type() == QEvent::Resize) {
            width_.store(area_->contentsRect().width());
        } else if (event->type() == QEvent::Paint && active_.load()) {
            PaintBars(area_.data());
        }
    }
    return QObject::eventFilter(watched, event);
}

void AnalysisPainter::PaintBars(QWidget *area)
{
    std::array<float, kBars> levels{};
    SpectrumLevels(frame_, levels);
    QPainter p(area);
    const QRect r = area->contentsRect();  // inside the frame: the client area
    p.fillRect(r, Qt::black);
    const double barWidth = static_cast<double>(r.width()) / static_cast<double>(kBars);
    for (size_t i = 0; i < kBars; ++i) {
        const double h = levels[i] * r.height();
        const QRectF bar(
            r.left() + barWidth * static_cast<double>(i), r.bottom() + 1 - h, std::max(1.0, barWidth - 1.0), h);
        p.fillRect(bar, QColor::fromHsvF(0.33f - 0.33f * levels[i], 0.9f, 0.95f));
    }
    framesPainted_.fetch_add(1);
}

}  // namespace tvxsim
