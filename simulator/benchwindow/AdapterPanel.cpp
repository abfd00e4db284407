#include "simulator/benchwindow/AdapterPanel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "res/ControlAccessibility.h"
#include "simulator/benchwindow/Lamp.h"
#include "simulator/benchwindow/LevelMeter.h"

namespace tvxsim::bench {
namespace {

const QColor kLedColour(0x30, 0xd0, 0x40);
const QColor kRingerColour(0xf0, 0xa0, 0x20);
const QColor kSwitchColour(0x40, 0x90, 0xf0);

// A lamp over its caption.
QWidget *Captioned(Lamp *lamp, const QString &caption, QWidget *parent)
{
    auto *box = new QWidget(parent);
    auto *layout = new QVBoxLayout(box);
    layout->setContentsMargins(2, 0, 2, 0);
    layout->addWidget(lamp, 0, Qt::AlignHCenter);
    auto *label = new QLabel(caption, box);
    label->setAlignment(Qt::AlignHCenter);
    layout->addWidget(label);
    return box;
}

}  // namespace

AdapterPanel::AdapterPanel(QWidget *parent)
    : BenchPanel(tr("Adapter"), parent),
      ringer_(new Lamp(tr("Ringer"), kRingerColour, tr("ringing"), tr("silent"), this)),
      ringerText_(new QLabel(this)),
      mode_(new QLabel(this)),
      aux_(new QLabel(this)),
      line_(new QLabel(this))
{
    auto *layout = new QVBoxLayout(this);

    auto *ledCaption = new QLabel(tr("LEDs (as the LEDs test sets them):"), this);
    layout->addWidget(ledCaption);
    auto *ledRow = new QHBoxLayout;
    for (size_t i = 0; i < kLampRows.size(); ++i) {
        const QString name = Qs(kLampRows[i].name);
        leds_[i] = new Lamp(tr("LED %1").arg(name), kLedColour, tr("lit"), tr("dark"), this);
        if (kLampRows[i].name.starts_with("LED"))
            leds_[i]->setAccessibleName(name);
        ledRow->addWidget(Captioned(leds_[i], name, this));
    }
    ledRow->addStretch(1);
    layout->addLayout(ledRow);

    auto *ringerRow = new QHBoxLayout;
    ringerRow->addWidget(ringer_);
    ringerRow->addWidget(ringerText_, 1);
    layout->addLayout(ringerRow);
    layout->addWidget(line_);
    layout->addWidget(mode_);
    layout->addWidget(aux_);
    mode_->setWordWrap(true);

    auto *switchGrid = new QGridLayout;
    for (size_t i = 0; i < kSwitchRows.size(); ++i) {
        const QString label = Qs(kSwitchRows[i].label);
        switches_[i] = new Lamp(label, kSwitchColour, tr("on"), tr("off"), this);
        auto *caption = new QLabel(label, this);
        caption->setToolTip(Qs(kSwitchRows[i].description));
        switches_[i]->setToolTip(Qs(kSwitchRows[i].description));
        const int row = int(i / 2);
        const int column = int(i % 2) * 2;
        switchGrid->addWidget(switches_[i], row, column);
        switchGrid->addWidget(caption, row, column + 1);
    }
    switchGrid->setColumnStretch(1, 1);
    switchGrid->setColumnStretch(3, 1);
    layout->addLayout(switchGrid);

    // The meters two by two: each direction of the line, of the handset and of the PC stream.
    auto *meterGrid = new QGridLayout;
    meterGrid->addWidget(new QLabel(tr("Levels over the last 100 ms:"), this), 0, 0, 1, 4);
    for (size_t i = 0; i < kLevelRows.size(); ++i) {
        const QString label = Qs(kLevelRows[i].label);
        meters_[i] = new LevelMeter(label, this);
        const int row = int(i / 2) + 1;
        const int column = int(i % 2) * 2;
        meterGrid->addWidget(new QLabel(label, this), row, column);
        meterGrid->addWidget(meters_[i], row, column + 1);
    }
    meterGrid->setColumnStretch(1, 1);
    meterGrid->setColumnStretch(3, 1);
    layout->addLayout(meterGrid);
    layout->addStretch(1);

    const BenchState unknown;
    for (const StateLineRow &row : kStateLineRows)
        Show(unknown, row.item);
}

void AdapterPanel::ShowRinger(const BenchState &state)
{
    // The lamp is lit while the bell sounds, the text says whether the cadence runs.
    ringer_->SetLit(state.Flag(StateItem::Bell));
    QString text = state.Flag(StateItem::Ringing) ? tr("Ringing") : tr("Ringer silent");
    if (const auto hz = state.Number(StateItem::RingerHz))
        text += tr(", %1 Hz").arg(*hz);
    text += state.Flag(StateItem::Melody) ? tr(", melody loaded") : tr(", no melody");
    tvx::res::SetValueText(ringerText_, text);
}

void AdapterPanel::Show(const BenchState &state, StateItem item)
{
    switch (item) {
    case StateItem::Leds: {
        const unsigned mask = state.Leds().value_or(0);
        for (size_t i = 0; i < kLampRows.size(); ++i)
            leds_[i]->SetLit((mask & kLampRows[i].bit) != 0);
        return;
    }
    case StateItem::Ringing:
    case StateItem::Bell:
    case StateItem::RingerHz:
    case StateItem::Melody:
        ShowRinger(state);
        return;
    case StateItem::Line:
        tvx::res::SetValueText(line_,
                               !state.Known(StateItem::Line) ? tr("Line: unknown")
                               : state.Flag(StateItem::Line) ? tr("Line: off hook (the loop is closed)")
                                                             : tr("Line: on hook"));
        return;
    case StateItem::Mode: {
        const auto code = state.Number(StateItem::Mode);
        const QString name = code ? Qs(ModeName(int(*code))) : QString();
        tvx::res::SetValueText(mode_,
                               !code            ? tr("Device mode: unknown")
                               : name.isEmpty() ? tr("Device mode: code %1").arg(*code)
                                                : tr("Device mode: %1 (%2)").arg(name).arg(*code));
        return;
    }
    case StateItem::Aux: {
        const auto code = state.Number(StateItem::Aux);
        const QString name = code ? Qs(AuxName(int(*code))) : QString();
        tvx::res::SetValueText(aux_,
                               name.isEmpty() ? tr("Auxiliary audio: unknown") : tr("Auxiliary audio: %1").arg(name));
        return;
    }
    default:
        break;
    }
    for (size_t i = 0; i < kSwitchRows.size(); ++i) {
        if (kSwitchRows[i].item == item)
            switches_[i]->SetLit(state.Flag(item));
    }
    for (size_t i = 0; i < kLevelRows.size(); ++i) {
        if (kLevelRows[i].item == item)
            meters_[i]->SetLevel(state.Level(item));
    }
}

}  // namespace tvxsim::bench
