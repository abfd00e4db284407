#include "simulator/benchwindow/LevelMeter.h"

#include <QAccessible>

#include <algorithm>
#include <cmath>

#include "simulator/benchwindow/logic/BenchState.h"

namespace tvxsim::bench {

LevelMeter::LevelMeter(const QString &pointName, QWidget *parent) : QProgressBar(parent), text_(tr("unknown"))
{
    setAccessibleName(tr("%1 level").arg(pointName));
    // Tenths of a dB, so that the bar moves with the text.
    setRange(int(kMeterLowDbm0 * 10), int(kMeterHighDbm0 * 10));
    setValue(minimum());
    setTextVisible(true);
    setFocusPolicy(Qt::NoFocus);
}

void LevelMeter::SetLevel(std::optional<double> dbm0)
{
    const QString text = dbm0 ? QString::fromStdString(FormatLevel(*dbm0)) : tr("unknown");
    const int value = dbm0 ? int(std::lround(std::clamp(*dbm0, kMeterLowDbm0, kMeterHighDbm0) * 10)) : minimum();
    if (text == text_ && value == this->value())
        return;
    text_ = text;
    setAccessibleDescription(text);
    setValue(value);
    update();
    QAccessibleValueChangeEvent changed(this, value);
    QAccessible::updateAccessibility(&changed);
}

}  // namespace tvxsim::bench
