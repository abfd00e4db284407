#include "panel/ParameterPanel.h"

#include "device/Adapter.h"
#include "device/DeviceSession.h"
#include "res/ControlAccessibility.h"
#include "res/MainDialogIds.h"
#include "res/MainDialogTemplate.h"

#include <QAbstractSlider>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QSlider>

#include <array>
#include <optional>
#include <utility>

namespace tvx {

static_assert(std::size(res::kParameterItems) == kParameterCount, "one row per item of list 1079");

namespace {

// Trackbar notification codes of the moves that are not a drag.
constexpr int kScrollLineUp = 0;
constexpr int kScrollLineDown = 1;
constexpr int kScrollPageUp = 2;
constexpr int kScrollPageDown = 3;
constexpr int kScrollTop = 6;
constexpr int kScrollBottom = 7;

// The notification each slider action stands for. A move that is not part
// of a drag (the wheel, a click that sets the thumb) counts as a line step in
// its direction.
struct ActionCode {
    QAbstractSlider::SliderAction action;
    int code;
};
constexpr std::array<ActionCode, 6> kActionCodes = {{
    {QAbstractSlider::SliderSingleStepSub, kScrollLineUp},
    {QAbstractSlider::SliderSingleStepAdd, kScrollLineDown},
    {QAbstractSlider::SliderPageStepSub, kScrollPageUp},
    {QAbstractSlider::SliderPageStepAdd, kScrollPageDown},
    {QAbstractSlider::SliderToMinimum, kScrollTop},
    {QAbstractSlider::SliderToMaximum, kScrollBottom},
}};

int CodeOfAction(int action, const QAbstractSlider &slider)
{
    for (const ActionCode &row : kActionCodes)
        if (row.action == action)
            return row.code;
    return slider.sliderPosition() < slider.value() ? kScrollLineUp : kScrollLineDown;
}

uint32_t PositionOf(int value) { return value < 0 ? 0u : static_cast<uint32_t>(value); }

}  // namespace

// Where the thumb stood when a mouse button went down on the trackbar: a grab
// that finds it elsewhere followed a middle click that first moved the thumb
// to the pointer, which is not a press on the thumb.
class ParameterPanel::PressWatch final : public QObject {
public:
    explicit PressWatch(QSlider *slider) : QObject(slider), slider_(slider) { slider->installEventFilter(this); }

    // Whether the grab now starting moved the thumb first; forgets the press.
    bool GrabMovedTheThumb()
    {
        return std::exchange(positionAtPress_, std::nullopt).value_or(slider_->sliderPosition()) !=
               slider_->sliderPosition();
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::MouseButtonPress)
            positionAtPress_ = slider_->sliderPosition();
        return false;
    }

private:
    QSlider *slider_;
    std::optional<int> positionAtPress_;
};

ParameterPanel::ParameterPanel(DialogControls controls, DeviceSession &session)
    : list_(controls.Control<QComboBox>(kIdParameterList)),
      trackbar_(controls.Control<QSlider>(kIdTrackbar)),
      valueText_(controls.Control<QLabel>(kIdValueText))
{
    controls.Bind(kIdParameterList, kSelectionChange, [this] { OnParameterSelected(); });
    ConnectTrackbar();
    connect(&session, &DeviceSession::Opened, this, &ParameterPanel::OnDeviceOpened);
}

void ParameterPanel::ConnectTrackbar()
{
    if (!trackbar_)
        return;
    QSlider *slider = trackbar_;
    pressWatch_ = new PressWatch(slider);
    // A drag: every position the thumb passes, then its end with the final
    // one, also when the thumb was pressed and let go without moving.
    // The panel is the context: its destruction ends these connections.
    connect(slider, &QAbstractSlider::sliderPressed, this, [this] {
        dragMoved_ = false;
        dragFromThumb_ = !pressWatch_->GrabMovedTheThumb();
    });
    connect(slider, &QAbstractSlider::sliderMoved, this, [this, slider](int value) {
        dragMoved_ = true;
        OnParameterScroll(kScrollThumbTrack, PositionOf(value), slider);
    });
    connect(slider, &QAbstractSlider::sliderReleased, this, [this, slider] {
        const bool moved = std::exchange(dragMoved_, false);
        if (std::exchange(dragFromThumb_, false) || moved)
            OnParameterScroll(kScrollThumbPosition, PositionOf(slider->value()), slider);
    });
    // Every other move: keys, page steps, the wheel, clicks in the channel.
    // The slider has already moved its thumb; the handler leaves the rest.
    connect(slider, &QAbstractSlider::actionTriggered, this, [this, slider](int action) {
        if (action == QAbstractSlider::SliderMove && slider->isSliderDown())
            return;  // part of a drag, reported by sliderMoved
        OnParameterScroll(CodeOfAction(action, *slider), PositionOf(slider->sliderPosition()), slider);
    });
}

void ParameterPanel::OnDeviceOpened()
{
    state_.ResetDefaults();
    if (list_)
        list_->setCurrentIndex(0);
    OnParameterSelected();
}

void ParameterPanel::OnParameterSelected()
{
    if (!list_ || !trackbar_ || !valueText_)
        return;
    const std::optional<ParameterSelection> selection = state_.Select(list_->currentIndex());
    if (!selection)
        return;
    const int index = selection->index;
    trackbar_->setMinimum(static_cast<int>(selection->min));
    trackbar_->setMaximum(static_cast<int>(selection->max));
    if (selection->readSelector)
        adapter::GetThreshold(*selection->readSelector, state_.ValueSlot(index));
    const uint32_t value = state_.Value(index);
    trackbar_->setValue(value > static_cast<uint32_t>(trackbar_->maximum()) ? trackbar_->maximum()
                                                                            : static_cast<int>(value));
    char text[kValueTextSize];
    FormatPlainValue(text, sizeof text, value);
    res::SetValueText(valueText_, QString::fromLatin1(text));
}

void ParameterPanel::OnParameterScroll(int code, uint32_t position, const QObject *source)
{
    if (!IsDragNotification(code) || source == nullptr || source != trackbar_)
        return;
    char text[kValueTextSize];
    const std::optional<ParameterDrag> drag = state_.OnDrag(position, text, sizeof text);
    if (!drag)
        return;  // no parameter selected yet: nothing to write
    res::SetValueText(valueText_, QString::fromLatin1(text));
    const ParameterSendCall &call = drag->call;
    if (call.kind == ParameterSend::DoCommand)
        adapter::DoCommand(call.target, static_cast<int32_t>(call.value));
    else
        adapter::SetThreshold(call.target, call.value);
}

}  // namespace tvx
