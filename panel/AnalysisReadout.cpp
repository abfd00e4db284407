#include "panel/AnalysisReadout.h"

#include "device/Adapter.h"
#include "device/logic/CommandCodes.h"
#include "res/ControlAccessibility.h"
#include "res/DialogBuilder.h"
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

AnalysisReadout::AnalysisReadout(DialogHost &host)
    : host_(host),
      analysisBox_(res::Control<QCheckBox>(host.Window(), kIdAnalysisBox)),
      frequencyText_(res::Control<QLabel>(host.Window(), kIdFrequencyText))
{
    if (QWidget *area = res::Control<QWidget>(host.Window(), kIdSpectrum))
        area->setAttribute(Qt::WA_TransparentForMouseEvents);
    host.Window()->setMouseTracking(true);
    host_.Messages().Bind(kIdAnalysisBox, kClicked, [this] { OnTelephonyAnalysis(); });
}

void AnalysisReadout::OnTelephonyAnalysis()
{
    if (!analysisBox_)
        return;
    const int32_t dialCode = CommandCode(Command::Dial);
    if (analysisBox_->isChecked()) {
        adapter::DoCommand(dialCode, kAnalysisOn);
        host_.State().analysis = 1;
    } else {
        adapter::DoCommand(dialCode, kAnalysisOff);
        host_.State().analysis = 0;
    }
}

void AnalysisReadout::OnAnalysisMouseMove()
{
    MainDialogState &state = host_.State();
    if (state.analysis == 0)
        return;
    QWidget *area = state.spectrum.data();
    if (!area || !frequencyText_)
        return;
    // Client coordinates: from the top left corner inside the area's frame.
    const QPointF client = area->mapFromGlobal(QPointF(QCursor::pos())) - QPointF(area->contentsRect().topLeft());
    lastCursor_ = QPoint(PixelAt(client.x()).value_or(0), PixelAt(client.y()).value_or(0));
    const std::optional<int32_t> column = SpectrumColumnAt(client.x(), client.y(), ClientRectOf(state.spectrumRect));
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
