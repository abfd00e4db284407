#include "simulator/benchwindow/CallPanel.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <array>

namespace tvxsim::bench {
namespace {

// A choice of a drop-down list and the value it stands for.
struct Choice {
    const char *text;
    int value;
};

constexpr std::array kFormats = std::to_array<Choice>({
    {QT_TRANSLATE_NOOP("CallPanel", "MDMF"), int(CallFormat::Mdmf)},
    {QT_TRANSLATE_NOOP("CallPanel", "SDMF"), int(CallFormat::Sdmf)},
});

constexpr std::array kModems = std::to_array<Choice>({
    {QT_TRANSLATE_NOOP("CallPanel", "By the timing or the local country"), int(CallModem::Default)},
    {QT_TRANSLATE_NOOP("CallPanel", "Bell 202"), int(CallModem::Bell202)},
    {QT_TRANSLATE_NOOP("CallPanel", "V.23"), int(CallModem::V23)},
});

constexpr std::array kTimings = std::to_array<Choice>({
    {QT_TRANSLATE_NOOP("CallPanel", "By the modem or the local country"), int(CallTiming::Default)},
    {QT_TRANSLATE_NOOP("CallPanel", "North American (between the rings)"), int(CallTiming::Na)},
    {QT_TRANSLATE_NOOP("CallPanel", "ETSI (before the first ring)"), int(CallTiming::Etsi)},
});

constexpr std::array kAbsences = std::to_array<Choice>({
    {QT_TRANSLATE_NOOP("CallPanel", "None: name and number sent"), int(CallAbsence::None)},
    {QT_TRANSLATE_NOOP("CallPanel", "Private"), int(CallAbsence::Private)},
    {QT_TRANSLATE_NOOP("CallPanel", "Out of area"), int(CallAbsence::OutOfArea)},
});

template <size_t N> QComboBox *ChoiceBox(const std::array<Choice, N> &choices, QWidget *parent)
{
    auto *box = new QComboBox(parent);
    for (const Choice &choice : choices)
        box->addItem(CallPanel::tr(choice.text), choice.value);
    NarrowChoices(box);
    return box;
}

}  // namespace

CallPanel::CallPanel(QWidget *parent)
    : BenchPanel(tr("Incoming call"), parent),
      name_(new QLineEdit(QStringLiteral("Ivor Kell"), this)),
      number_(new QLineEdit(QStringLiteral("7964710"), this)),
      format_(ChoiceBox(kFormats, this)),
      modem_(ChoiceBox(kModems, this)),
      timing_(ChoiceBox(kTimings, this)),
      absence_(ChoiceBox(kAbsences, this)),
      date_(new QLineEdit(this)),
      waiting_(new QPushButton(tr("Call &waiting"), this))
{
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    name_->setMaxLength(int(kMaxCallerText));
    number_->setMaxLength(int(kMaxCallerText));
    date_->setMaxLength(8);
    date_->setPlaceholderText(tr("MMDDhhmm, empty for the exchange's clock"));
    name_->setAccessibleDescription(tr("The caller's name, up to 49 characters; empty: not sent"));
    number_->setAccessibleDescription(tr("The caller's number, up to 49 characters; empty: not sent"));
    date_->setAccessibleDescription(tr("Month, day, hour and minute, 8 digits; empty for the exchange's clock"));
    // A combo box is named by its current item unless named: the caption's words.
    format_->setAccessibleName(tr("Format"));
    modem_->setAccessibleName(tr("Modem"));
    timing_->setAccessibleName(tr("Timing"));
    absence_->setAccessibleName(tr("Absence reason"));
    form->addRow(tr("&Name:"), name_);
    form->addRow(tr("N&umber:"), number_);
    form->addRow(tr("F&ormat:"), format_);
    form->addRow(tr("&Modem:"), modem_);
    form->addRow(tr("T&iming:"), timing_);
    form->addRow(tr("Absence &reason:"), absence_);
    form->addRow(tr("&Date:"), date_);
    layout->addLayout(form);

    auto *buttons = new QHBoxLayout;
    auto *call = new QPushButton(tr("&Call the adapter"), this);
    call->setAccessibleDescription(tr("Rings the idle line with this caller ID"));
    waiting_->setAccessibleDescription(tr("During a call: a call-waiting alert with this caller ID"));
    connect(call, &QPushButton::clicked, this, [this] { Submit(FarCall(Form(), false)); });
    connect(waiting_, &QPushButton::clicked, this, [this] { Submit(FarCall(Form(), true)); });
    buttons->addWidget(call);
    buttons->addWidget(waiting_);
    buttons->addStretch(1);
    layout->addLayout(buttons);
    layout->addStretch(1);
    Show(BenchState(), StateItem::Call);
}

CallForm CallPanel::Form() const
{
    CallForm form;
    form.name = name_->text().toStdString();
    form.number = number_->text().toStdString();
    form.format = CallFormat(format_->currentData().toInt());
    form.modem = CallModem(modem_->currentData().toInt());
    form.timing = CallTiming(timing_->currentData().toInt());
    form.absence = CallAbsence(absence_->currentData().toInt());
    form.date = date_->text().trimmed().toStdString();
    return form;
}

void CallPanel::Show(const BenchState &state, StateItem item)
{
    if (item != StateItem::Call)
        return;
    const bool inCall = state.Raw(StateItem::Call) == "connected";
    waiting_->setEnabled(inCall);
    waiting_->setToolTip(inCall ? QString() : tr("Only during a connected call"));
}

}  // namespace tvxsim::bench
