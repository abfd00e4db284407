#include "panel/AnalysisReadout.h"

#include "device/Adapter.h"
#include "device/DeviceSession.h"
#include "device/logic/CommandCodes.h"
#include "res/ControlAccessibility.h"
#include "res/MainDialogIds.h"

#include <QCheckBox>
#include <QCursor>
#include <QLabel>
#include <QPointF>
#include <QWidget>

#include <cstdio>

namespace tvx {

namespace {

// Dial codes of the analysis switch, sent with the dial command code.
constexpr int32_t kAnalysisOn = 31;
constexpr int32_t kAnalysisOff = 30;

constexpr std::size_t kFrequencyTextSize = 256;

}  // namespace

ClientRect ClientRectOf(const QRect &rect)
{
    // QRect's right() and bottom() are the last pixel; the client rectangle's
    // are one beyond.
    return {rect.x(), rect.y(), rect.x() + rect.width(), rect.y() + rect.height()};
}

AnalysisReadout::AnalysisReadout(DialogControls controls, DeviceSession &session)
    : analysisBox_(controls.Control<QCheckBox>(kIdAnalysisBox)),
      frequencyText_(controls.Control<QLabel>(kIdFrequencyText)),
      spectrum_(controls.Control<QWidget>(kIdSpectrum))
{
    if (spectrum_)
        spectrum_->setAttribute(Qt::WA_TransparentForMouseEvents);
    controls.window.setMouseTracking(true);
    controls.Bind(kIdAnalysisBox, kClicked, [this] { OnTelephonyAnalysis(); });
    connect(&session, &DeviceSession::Opened, this, &AnalysisReadout::OnDeviceOpened);
}

void AnalysisReadout::OnDeviceOpened()
{
    spectrumRect_ = spectrum_ ? QRect(QPoint(0, 0), spectrum_->contentsRect().size()) : QRect();
}

void AnalysisReadout::OnTelephonyAnalysis()
{
    if (!analysisBox_)
        return;
    const int32_t dialCode = CommandCode(Command::Dial);
    adapter::DoCommand(dialCode, analysisBox_->isChecked() ? kAnalysisOn : kAnalysisOff);
}

uint8_t AnalysisReadout::Analysis() const { return analysisBox_ && analysisBox_->isChecked() ? 1 : 0; }

void AnalysisReadout::OnAnalysisMouseMove()
{
    if (Analysis() == 0)
        return;
    QWidget *area = spectrum_.data();
    if (!area || !frequencyText_)
        return;
    // Client coordinates: from the top left corner inside the area's frame.
    const QPointF client = area->mapFromGlobal(QPointF(QCursor::pos())) - QPointF(area->contentsRect().topLeft());
    lastCursor_ = QPoint(PixelAt(client.x()).value_or(0), PixelAt(client.y()).value_or(0));
    const std::optional<int32_t> column = SpectrumColumnAt(client.x(), client.y(), ClientRectOf(spectrumRect_));
    if (!column)
        return;
    lastColumn_ = *column;
    // The library takes the column as a 16-bit number.
    adapter::GetIndexFreq(static_cast<uint16_t>(lastColumn_), &lastFrequency_);
    char text[kFrequencyTextSize];
    std::snprintf(text, sizeof text, "%.2f Hz", static_cast<double>(lastFrequency_));
    res::SetValueText(frequencyText_, QString::fromLatin1(text));
}

}  // namespace tvx
