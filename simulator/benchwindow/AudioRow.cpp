#include "simulator/benchwindow/AudioRow.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "res/ControlAccessibility.h"

namespace tvxsim::bench {
namespace {

struct BoxRow {
    SoundSwitch which;
    StateItem item;
    const char *text;
    const char *description;
};

constexpr std::array kBoxRows = std::to_array<BoxRow>({
    {SoundSwitch::Listen,
     StateItem::Listen,
     QT_TRANSLATE_NOOP("AudioRow", "Lis&ten"),
     QT_TRANSLATE_NOOP("AudioRow", "The handset's earpiece to the default speakers")},
    {SoundSwitch::Talk,
     StateItem::Talk,
     QT_TRANSLATE_NOOP("AudioRow", "T&alk"),
     QT_TRANSLATE_NOOP("AudioRow", "The default microphone into the handset's microphone")},
    {SoundSwitch::BeFar,
     StateItem::BeFar,
     QT_TRANSLATE_NOOP("AudioRow", "&Be the far party"),
     QT_TRANSLATE_NOOP("AudioRow", "The default microphone as the far party's voice, the line to the speakers")},
});

}  // namespace

AudioRow::AudioRow(QWidget *parent) : BenchPanel(tr("Sound"), parent), reason_(new QLabel(this))
{
    // Before the first box: a screen reader's toggle is then a click.
    tvx::res::InstallCheckBoxAccessibility();
    // The boxes in a row, the reason under them.
    auto *layout = new QVBoxLayout(this);
    auto *boxRow = new QHBoxLayout;
    layout->addLayout(boxRow);
    for (const BoxRow &row : kBoxRows) {
        auto *box = new QCheckBox(tr(row.text), this);
        box->setAccessibleDescription(tr(row.description));
        const SoundSwitch which = row.which;
        connect(box, &QCheckBox::clicked, this, [this, which](bool on) { Submit(AudioToggle(which, on)); });
        boxes_[size_t(row.which)] = box;
        boxRow->addWidget(box);
    }
    boxRow->addStretch(1);
    reason_->setWordWrap(true);
    layout->addWidget(reason_);
    ShowAvailability(BenchState());
}

void AudioRow::ShowAvailability(const BenchState &state)
{
    const std::string &audio = state.Raw(StateItem::Audio);
    // The switches are the user's choice while the server is away: they take
    // effect when it returns. Only without a sound-server side is there nothing to switch.
    const bool usable = audio == "published" || audio == "unavailable";
    QString reason;
    if (audio == "published")
        reason = tr("The adapter's audio is on the desktop's sound server.");
    else if (audio == "off")
        reason = tr("Unavailable: the adapter's sound-server audio is off (TVXUSB_AUDIO=0).");
    else if (audio == "unavailable")
        reason = tr("No sound server is reachable now: the switches take effect when it is.");
    else
        reason = tr("Unavailable: the adapter has not said that its audio is on a sound server.");
    for (QCheckBox *box : boxes_) {
        box->setEnabled(usable);
        box->setToolTip(audio == "published" ? QString() : reason);
    }
    tvx::res::SetValueText(reason_, reason);
}

void AudioRow::Show(const BenchState &state, StateItem item)
{
    if (item == StateItem::Audio) {
        ShowAvailability(state);
        return;
    }
    for (const BoxRow &row : kBoxRows) {
        if (row.item == item)
            boxes_[size_t(row.which)]->setChecked(state.Flag(item));
    }
}

}  // namespace tvxsim::bench
