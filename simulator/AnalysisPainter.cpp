#include "simulator/AnalysisPainter.h"

#include <QEvent>
#include <QPainter>
#include <QThread>
#include <QTimer>

#include "simulator/logic/AnalysisScale.h"

namespace tvxsim {
namespace {

constexpr float kGridHz = 500.0f;
constexpr float kGridDb = 20.0f;
const QColor kBackground(0, 0, 0);
const QColor kGrid(48, 48, 48);
const QColor kBar(40, 200, 90);

bool OnThreadOf(const QObject *object) { return QThread::currentThread() == object->thread(); }

}  // namespace

AnalysisPainter::AnalysisPainter(QWidget *area, std::shared_ptr<const AnalysisFeed> feed)
    : area_(area), feed_(std::move(feed))
{
    timer_ = new QTimer(this);
    timer_->setInterval(kFrameMs);
    connect(timer_, &QTimer::timeout, this, [this] {
        if (area_ && feed_ && feed_->Published() != lastFrame_)
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
            Paint(area_.data());
        }
    }
    return QObject::eventFilter(watched, event);
}

void AnalysisPainter::DrawGrid(QPainter &p, const QRect &r)
{
    p.setPen(kGrid);
    for (float hz = kGridHz; hz < kSpectrumTopHz; hz += kGridHz) {
        const double x = r.left() + static_cast<double>(hz) / kSpectrumTopHz * r.width();
        p.drawLine(QPointF(x, r.top()), QPointF(x, r.bottom() + 1));
    }
    for (float db = kSpectrumTopDbm0 - kGridDb; db > kSpectrumFloorDbm0; db -= kGridDb) {
        const double y = r.bottom() + 1 - LevelHeight(db, r.height());
        p.drawLine(QPointF(r.left(), y), QPointF(r.right() + 1, y));
    }
}

void AnalysisPainter::Paint(QWidget *area)
{
    const QRect r = area->contentsRect();  // inside the frame: the client area
    QPainter p(area);
    p.fillRect(r, kBackground);
    DrawGrid(p, r);
    if (!feed_ || r.width() <= 0)
        return;
    const SpectrumFrame frame = feed_->Latest();
    lastFrame_ = frame.number;
    if (frame.number == 0)
        return;
    columns_.resize(static_cast<size_t>(r.width()));
    ColumnLevels(frame.dbm0, columns_);
    // Column c covers logical pixels c to c + 1 from the client area's left edge.
    for (size_t c = 0; c < columns_.size(); ++c) {
        const double h = LevelHeight(columns_[c], r.height());
        if (h > 0.0)
            p.fillRect(QRectF(r.left() + static_cast<double>(c), r.bottom() + 1 - h, 1.0, h), kBar);
    }
    framesPainted_.fetch_add(1);
}

}  // namespace tvxsim
