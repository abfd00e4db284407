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

bool onThreadOf(const QObject *object) { return QThread::currentThread() == object->thread(); }

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
    if (onThreadOf(area)) {
        attach();
    } else {
        moveToThread(area->thread());
        QMetaObject::invokeMethod(
            this, [this] { attach(); }, Qt::QueuedConnection);
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

void AnalysisPainter::attach()
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
        applyActive(true);
}

void AnalysisPainter::setActive(bool on)
{
    active_.store(on);
    if (onThreadOf(this))
        applyActive(on);
    else
        QMetaObject::invokeMethod(
            this, [this, on] { applyActive(on); }, Qt::QueuedConnection);
}

void AnalysisPainter::applyActive(bool on)
{
    if (on && area_)
        timer_->start();
    else
        timer_->stop();
    if (area_)
        area_->update();
}

int AnalysisPainter::mappingWidth()
{
    if (onThreadOf(this))
        width_.store(area_ ? area_->contentsRect().width() : 0);
    return width_.load();
}

void AnalysisPainter::destroy(AnalysisPainter *painter)
{
    if (painter == nullptr)
        return;
    if (onThreadOf(painter))
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
            paintBars(area_.data());
        }
    }
    return QObject::eventFilter(watched, event);
}

void AnalysisPainter::paintBars(QWidget *area)
{
    std::array<float, kBars> levels{};
    spectrumLevels(frame_, levels);
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
