#include "simulator/benchwindow/LevelMeter.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QAccessibleWidget>

#include <algorithm>
#include <cmath>

#include "simulator/benchwindow/logic/BenchState.h"

namespace tvxsim::bench {
namespace {

// A screen reader reads the meter's text as its value ("-20.3 dBm0"), and
// its number in dBm0, not the bar's tenths.
class LevelMeterAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit LevelMeterAccessible(LevelMeter *meter) : QAccessibleWidget(meter, QAccessible::ProgressBar) {}

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return Meter()->text();
        return QAccessibleWidget::text(t);
    }

    QVariant currentValue() const override { return Meter()->value() / 10.0; }
    void setCurrentValue(const QVariant &) override {}
    QVariant maximumValue() const override { return kMeterHighDbm0; }
    QVariant minimumValue() const override { return kMeterLowDbm0; }
    QVariant minimumStepSize() const override { return 0.1; }

private:
    LevelMeter *Meter() const { return static_cast<LevelMeter *>(widget()); }
};

QAccessibleInterface *LevelMeterFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String(LevelMeter::staticMetaObject.className()) && object && object->isWidgetType())
        return new LevelMeterAccessible(static_cast<LevelMeter *>(object));
    return nullptr;
}

}  // namespace

LevelMeter::LevelMeter(const QString &pointName, QWidget *parent) : QProgressBar(parent), text_(tr("unknown"))
{
    static const bool installed = [] {
        QAccessible::installFactory(LevelMeterFactory);
        return true;
    }();
    (void)installed;
    setAccessibleName(tr("%1 level").arg(pointName));
    // Tenths of a dB, so that the bar moves with the text.
    setRange(int(kMeterLowDbm0 * 10), int(kMeterHighDbm0 * 10));
    setValue(minimum());
    setTextVisible(true);
    setFocusPolicy(Qt::NoFocus);
}

QSize LevelMeter::minimumSizeHint() const
{
    const int text = fontMetrics().horizontalAdvance(QStringLiteral("-99.9 dBm0"));
    return {text + 2 * fontMetrics().averageCharWidth(), QProgressBar::minimumSizeHint().height()};
}

void LevelMeter::SetLevel(std::optional<double> dbm0)
{
    const QString text = dbm0 ? QString::fromStdString(LevelText(*dbm0)) : tr("unknown");
    const int value = dbm0 ? int(std::lround(std::clamp(*dbm0, kMeterLowDbm0, kMeterHighDbm0) * 10)) : minimum();
    if (text == text_ && value == this->value())
        return;
    text_ = text;
    setAccessibleDescription(text);
    if (value != this->value()) {
        // A progress bar repaints itself at once on a new value; a meter
        // waits for the window's next paint, so that the six meters of one
        // batch of levels are painted together. The bar tells screen readers
        // of its new value itself.
        setUpdatesEnabled(false);
        setValue(value);
        setUpdatesEnabled(true);
        return;
    }
    // Beyond the bar's range only the text changes.
    update();
    QAccessibleValueChangeEvent changed(this, value);
    QAccessible::updateAccessibility(&changed);
}

}  // namespace tvxsim::bench
