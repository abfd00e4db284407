// Helpers of the panel tests: user moves on the trackbar and the calls the
// stand-in saw for parameters.
#pragma once

#include "tests/stub/StubLibrary.h"

#include <QApplication>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <QWheelEvent>

#include <string>
#include <vector>

namespace tvx::test {

// The calls that set or read a parameter, in order.
inline std::vector<std::string> ParameterCalls()
{
    return stub::CallTexts({"ScDoCommand", "ScSetThreshold", "ScGetThreshold"});
}

// A drag of the thumb as the slider itself runs it: pressed, moved to value,
// released.
inline void DragTo(QSlider *slider, int value)
{
    slider->setSliderDown(true);
    slider->setSliderPosition(value);
    slider->setSliderDown(false);
}

inline QRect HandleRect(QSlider *slider)
{
    QStyleOptionSlider option;
    option.initFrom(slider);
    option.orientation = slider->orientation();
    option.minimum = slider->minimum();
    option.maximum = slider->maximum();
    option.sliderPosition = slider->sliderPosition();
    option.sliderValue = slider->value();
    option.upsideDown = slider->invertedAppearance();
    option.subControls = QStyle::SC_SliderHandle | QStyle::SC_SliderGroove;
    return slider->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider);
}

// A drag with the mouse: press on the thumb, move in steps to x (in the
// slider's coordinates, may lie beyond its ends), release there.
inline void MouseDrag(QSlider *slider, int x, int steps = 8)
{
    const QPoint start = HandleRect(slider).center();
    QTest::mousePress(slider, Qt::LeftButton, {}, start);
    for (int i = 1; i <= steps; ++i)
        QTest::mouseMove(slider, QPoint(start.x() + (x - start.x()) * i / steps, start.y()));
    QTest::mouseRelease(slider, Qt::LeftButton, {}, QPoint(x, start.y()));
}

inline void Wheel(QWidget *widget, int delta)
{
    const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
    QWheelEvent wheel(at,
                      widget->mapToGlobal(at),
                      QPoint(),
                      QPoint(0, delta),
                      Qt::NoButton,
                      Qt::NoModifier,
                      Qt::NoScrollPhase,
                      false);
    QApplication::sendEvent(widget, &wheel);
}

}  // namespace tvx::test
