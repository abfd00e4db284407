#include "res/DialogBuilder.h"

#include "res/ControlAccessibility.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSlider>
#include <QWidget>

namespace tvx::res {

QFont DialogFont(const DialogTemplate &tmpl)
{
    QFont font;
    font.setFamilies({QString::fromLatin1(tmpl.fontFamily),
                      QStringLiteral("DejaVu Sans"),
                      QStringLiteral("Liberation Sans"),
                      QStringLiteral("Sans Serif")});
    font.setPointSize(tmpl.fontPointSize);
    return font;
}

BaseUnits DialogBaseUnits(const QFont &font)
{
    const QFontMetricsF metrics(font);
    static const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const double x = metrics.horizontalAdvance(letters) / letters.size();
    const double y = metrics.height();
    // Without a usable font the layout would collapse: fall back to the base
    // units of an 8-point dialog font at 96 dpi.
    return {x > 0 ? x : 6.0, y > 0 ? y : 13.0};
}

QSize DialogClientSize(const DialogTemplate &tmpl, BaseUnits base)
{
    return {DluToPixelsX(tmpl.width, base), DluToPixelsY(tmpl.height, base)};
}

int TrackbarPageStep(int min, int max)
{
    const int step = static_cast<int>((static_cast<int64_t>(max) - min) / 5);
    return step > 0 ? step : 1;
}

namespace {

QWidget *CreateControl(const ControlTemplate &control, QWidget *parent)
{
    const QString text = QString::fromLatin1(control.text);
    switch (control.kind) {
    case ControlKind::GroupBox: {
        auto *box = new QGroupBox(text, parent);
        box->setAttribute(Qt::WA_TransparentForMouseEvents);
        box->setFocusPolicy(Qt::NoFocus);
        return box;
    }
    case ControlKind::Static: {
        auto *label = new QLabel(text, parent);
        label->setTextFormat(Qt::PlainText);
        if (control.style & kSunken)
            label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setAlignment((control.style & kCentred) ? Qt::AlignCenter : (Qt::AlignLeft | Qt::AlignVCenter));
        return label;
    }
    case ControlKind::Edit: {
        auto *edit = new QLineEdit(text, parent);
        edit->setFrame(true);
        return edit;
    }
    case ControlKind::PushButton:
    case ControlKind::DefaultPushButton: {
        auto *button = new QPushButton(text, parent);
        if (control.kind == ControlKind::DefaultPushButton)
            button->setDefault(true);
        return button;
    }
    case ControlKind::CheckBox:
        return new QCheckBox(text, parent);
    case ControlKind::ListBox: {
        auto *list = new QListView(parent);
        list->setUniformItemSizes(true);
        list->setEditTriggers(QAbstractItemView::NoEditTriggers);
        list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        return list;
    }
    case ControlKind::DropDownList: {
        auto *combo = new QComboBox(parent);
        combo->setEditable(false);
        for (const char *item : control.items)
            combo->addItem(QString::fromLatin1(item));
        return combo;
    }
    case ControlKind::Trackbar: {
        auto *slider = new QSlider(Qt::Horizontal, parent);
        slider->setTickPosition(QSlider::NoTicks);
        // A trackbar pages by a fifth of its range, whatever range it is given.
        QObject::connect(slider, &QAbstractSlider::rangeChanged, slider, [slider](int min, int max) {
            slider->setPageStep(TrackbarPageStep(min, max));
        });
        slider->setPageStep(TrackbarPageStep(slider->minimum(), slider->maximum()));
        return slider;
    }
    }
    return nullptr;
}

}  // namespace

void BuildControls(QWidget *dialog, const DialogTemplate &tmpl, BaseUnits base, QPoint origin)
{
    InstallCheckBoxAccessibility();
    OfferShownControlsOnly(dialog);
    QList<QWidget *> frames;
    QList<std::pair<QLabel *, int>> labels;
    for (const ControlTemplate &control : tmpl.controls) {
        QWidget *widget = CreateControl(control, dialog);
        if (control.id != kNoId)
            widget->setObjectName(QString::number(control.id));
        // A value static keeps no fixed name: it reads as the text it shows.
        if (control.access.name)
            widget->setAccessibleName(QString::fromLatin1(control.access.name));
        if (control.access.description)
            widget->setAccessibleDescription(QString::fromLatin1(control.access.description));
        if (control.access.labels != kNoId)
            labels.append({qobject_cast<QLabel *>(widget), control.access.labels});
        int height = DluToPixelsY(control.height, base);
        // A drop-down list's template height includes its open list.
        if (control.kind == ControlKind::DropDownList)
            height = widget->sizeHint().height();
        widget->setGeometry(origin.x() + DluToPixelsX(control.x, base),
                            origin.y() + DluToPixelsY(control.y, base),
                            DluToPixelsX(control.width, base),
                            height);
        if (control.style & kHidden)
            widget->hide();
        if (control.style & kDisabled)
            widget->setEnabled(false);
        if (control.kind == ControlKind::GroupBox)
            frames.append(widget);
    }
    for (QWidget *frame : frames)
        frame->lower();
    // The label relation that screen readers announce a list or a trackbar by.
    for (const auto &[label, id] : labels)
        if (label)
            label->setBuddy(Control<QWidget>(dialog, id));
}

}  // namespace tvx::res
