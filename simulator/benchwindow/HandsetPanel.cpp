#include "simulator/benchwindow/HandsetPanel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <array>

#include "res/ControlAccessibility.h"

namespace tvxsim::bench {
namespace {

// The keypad as a phone lays it out, with the column of A to D.
constexpr std::array<const char *, 16> kKeypad = {
    "1",
    "2",
    "3",
    "A",
    "4",
    "5",
    "6",
    "B",
    "7",
    "8",
    "9",
    "C",
    "*",
    "0",
    "#",
    "D",
};

// The hook switch's buttons and their requests.
struct HookRow {
    const char *text;
    const char *description;
    const char *line;
};

constexpr std::array kHookRows = std::to_array<HookRow>({
    {QT_TRANSLATE_NOOP("HandsetPanel", "&Lift"),
     QT_TRANSLATE_NOOP("HandsetPanel", "Takes the handset off hook"),
     "phone offhook"},
    {QT_TRANSLATE_NOOP("HandsetPanel", "&Hang up"),
     QT_TRANSLATE_NOOP("HandsetPanel", "Puts the handset on hook"),
     "phone onhook"},
    {QT_TRANSLATE_NOOP("HandsetPanel", "&Flash"),
     QT_TRANSLATE_NOOP("HandsetPanel", "A hook flash: 600 ms on hook, then off hook again"),
     "phone flash"},
});

}  // namespace

HandsetPanel::HandsetPanel(QWidget *parent)
    : BenchPanel(tr("Handset"), parent), hook_(new QLabel(this)), display_(new QLabel(this)), keys_(new QLineEdit(this))
{
    auto *layout = new QVBoxLayout(this);

    auto *displayCaption = new QLabel(tr("Caller-ID display:"), this);
    display_->setFrameShape(QFrame::Panel);
    display_->setFrameShadow(QFrame::Sunken);
    display_->setMinimumHeight(fontMetrics().height() * 2 + 8);
    display_->setWordWrap(true);
    display_->setTextFormat(Qt::PlainText);
    display_->setStyleSheet(QStringLiteral("QLabel { background: #c8d8b0; color: #102010; padding: 4px; }"));
    display_->setAccessibleDescription(tr("What the handset's caller-ID display shows"));
    display_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    display_->setFocusPolicy(Qt::StrongFocus);
    displayCaption->setBuddy(display_);
    layout->addWidget(displayCaption);
    layout->addWidget(display_);

    hook_->setAccessibleDescription(tr("The handset's hook switch"));
    layout->addWidget(hook_);
    auto *hookRow = new QHBoxLayout;
    for (const HookRow &row : kHookRows) {
        auto *button = new QPushButton(tr(row.text), this);
        button->setAccessibleDescription(tr(row.description));
        const QString line = QString::fromLatin1(row.line);
        connect(button, &QPushButton::clicked, this, [this, line] { emit requested(line); });
        hookRow->addWidget(button);
    }
    layout->addLayout(hookRow);

    auto *keypad = new QGridLayout;
    for (size_t i = 0; i < kKeypad.size(); ++i) {
        const QString key = QString::fromLatin1(kKeypad[i]);
        auto *button = new QPushButton(key, this);
        button->setAccessibleName(tr("Key %1").arg(key));
        button->setAccessibleDescription(tr("Presses key %1 on the handset's keypad").arg(key));
        button->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("MM")) + 8);
        connect(button, &QPushButton::clicked, this, [this, key] { Submit(PhoneKeys(key.toStdString())); });
        keypad->addWidget(button, int(i / 4), int(i % 4));
    }
    layout->addLayout(keypad);

    auto *keysRow = new QHBoxLayout;
    auto *keysCaption = new QLabel(tr("&Keys:"), this);
    keysCaption->setBuddy(keys_);
    keys_->setAccessibleDescription(tr("Keys to press one after another: 0-9, *, #, A-D"));
    keys_->setMaxLength(int(kMaxKeys));
    auto *press = new QPushButton(tr("&Press"), this);
    press->setAccessibleName(tr("Press the keys"));
    const auto pressKeys = [this] { Submit(PhoneKeys(keys_->text().toStdString())); };
    connect(press, &QPushButton::clicked, this, pressKeys);
    connect(keys_, &QLineEdit::returnPressed, this, pressKeys);
    keysRow->addWidget(keysCaption);
    keysRow->addWidget(keys_, 1);
    keysRow->addWidget(press);
    layout->addLayout(keysRow);
    layout->addStretch(1);

    Show(BenchState(), StateItem::Phone);
    Show(BenchState(), StateItem::Display);
}

void HandsetPanel::Show(const BenchState &state, StateItem item)
{
    switch (item) {
    case StateItem::Phone:
        tvx::res::SetValueText(hook_,
                               !state.Known(StateItem::Phone) ? tr("Hook switch: unknown")
                               : state.Flag(StateItem::Phone) ? tr("The handset is off hook (lifted)")
                                                              : tr("The handset is on hook"));
        break;
    case StateItem::Display:
        // The name carries the text, so that a screen reader reads both.
        display_->setText(Qs(state.Raw(StateItem::Display)));
        display_->setAccessibleName(display_->text().isEmpty() ? tr("Caller-ID display: blank")
                                                               : tr("Caller-ID display: %1").arg(display_->text()));
        break;
    default:
        break;
    }
}

}  // namespace tvxsim::bench
