#include "simulator/SetupDialogs.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <array>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <span>

#include "simulator/logic/SimErrors.h"

namespace tvxsim {
namespace {

// What a row shows: a fixed text or a value of the snapshot.
enum class Field {
    Fixed,
    Serial,
    LocalCountry,
    DestinationCountry,
    DevType,
    Revision,
    RingerOn,
    RingerOff,
    TonePlan,
    DialTone,
    RingBack,
    Busy,
    Reorder,
    RingerFrequency,
    DaaConfiguration,
    DaaBoost,
    CodecBoost,
};

struct Row {
    const char *label;
    Field field;
    const char *fixed;  // Field::Fixed only
};

constexpr std::array kDistinctiveRing = std::to_array<Row>({
    {"Pattern 1:", Field::Fixed, "2.0 s on, 4.0 s off"},
    {"Pattern 2:", Field::Fixed, "0.8 s on, 0.4 s off, 0.8 s on, 4.0 s off"},
    {"Pattern 3:", Field::Fixed, "0.4 s on, 0.2 s off, 0.4 s on, 0.2 s off, 0.8 s on, 4.0 s off"},
    {"Ringer on period:", Field::RingerOn, nullptr},
    {"Ringer off period:", Field::RingerOff, nullptr},
    {"Ringer frequency:", Field::RingerFrequency, nullptr},
});

constexpr std::array kInternationalTones = std::to_array<Row>({
    {"Local country code:", Field::LocalCountry, nullptr},
    {"Destination country code:", Field::DestinationCountry, nullptr},
    {"Tone plan:", Field::TonePlan, nullptr},
    {"Dial tone:", Field::DialTone, nullptr},
    {"Ring back:", Field::RingBack, nullptr},
    {"Busy:", Field::Busy, nullptr},
    {"Reorder:", Field::Reorder, nullptr},
});

constexpr std::array kInternationalHardware = std::to_array<Row>({
    {"DAA configuration:", Field::DaaConfiguration, nullptr},
    {"DAA boost:", Field::DaaBoost, nullptr},
    {"Line impedance:", Field::Fixed, "600 ohm (simulated)"},
    {"Ringer frequency:", Field::RingerFrequency, nullptr},
    {"Loop current limit:", Field::Fixed, "60 mA"},
});

constexpr std::array kHardwareChips = std::to_array<Row>({
    {"Device type:", Field::DevType, nullptr},
    {"Firmware revision:", Field::Revision, nullptr},
    {"Serial number:", Field::Serial, nullptr},
    {"CODEC:", Field::Fixed, "simulated 8 kHz linear CODEC"},
    {"DAA:", Field::Fixed, "simulated line interface"},
    {"CODEC boost (66:129 / 66:130):", Field::CodecBoost, nullptr},
});

struct DialogDef {
    SetupDialog which;
    const char *title;
    std::span<const Row> rows;
};

constexpr std::array kDialogs = std::to_array<DialogDef>({
    {SetupDialog::DistinctiveRing, "Distinctive Ring Patterns (simulated adapter)", kDistinctiveRing},
    {SetupDialog::InternationalTones, "International Tones (simulated adapter)", kInternationalTones},
    {SetupDialog::InternationalHardware, "International Hardware (simulated adapter)", kInternationalHardware},
    {SetupDialog::HardwareChips, "Hardware Chips (simulated adapter)", kHardwareChips},
});

const DialogDef &DialogDefOf(SetupDialog which)
{
    for (const DialogDef &d : kDialogs)
        if (d.which == which)
            return d;
    return kDialogs.front();
}

std::string Tenths(int32_t value) { return std::to_string(value / 10) + "." + std::to_string(value % 10) + " s"; }

std::string RegisterText(int32_t value)
{
    if (value < 0)
        return "--";
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", static_cast<unsigned>(value) & 0xFFu);
    return text;
}

std::string FieldText(const Row &row, const SetupSnapshot &s)
{
    switch (row.field) {
    case Field::Fixed:
        return row.fixed;
    case Field::Serial:
        return s.serial;
    case Field::LocalCountry:
        return s.localCountry;
    case Field::DestinationCountry:
        return s.destinationCountry;
    case Field::DevType:
        return std::to_string(s.devType);
    case Field::Revision: {
        char text[16];
        std::snprintf(text, sizeof text, "0x%04X", static_cast<unsigned>(s.revision) & 0xFFFFu);
        return text;
    }
    case Field::RingerOn:
        return Tenths(s.ringerOnPeriod);
    case Field::RingerOff:
        return Tenths(s.ringerOffPeriod);
    case Field::TonePlan:
        return s.tonePlan;
    case Field::DialTone:
        return s.dialTone;
    case Field::RingBack:
        return s.ringBack;
    case Field::Busy:
        return s.busy;
    case Field::Reorder:
        return s.reorder;
    case Field::RingerFrequency:
        return std::to_string(s.ringerHz) + " Hz";
    case Field::DaaConfiguration:
        return "configuration " + std::to_string(s.daaConfig);
    case Field::DaaBoost:
        return s.daaBoost ? "on" : "off";
    case Field::CodecBoost:
        return RegisterText(s.codecBoost129) + " / " + RegisterText(s.codecBoost130);
    }
    return {};
}

int AutoCloseMs()
{
    const char *env = std::getenv("TVXUSB_DIALOG_AUTOCLOSE_MS");
    if (env == nullptr || *env == '\0')
        return -1;
    int ms = -1;
    const char *end = env + std::char_traits<char>::length(env);
    const auto [ptr, ec] = std::from_chars(env, end, ms);
    return (ec == std::errc() && ptr == end && ms >= 0) ? ms : -1;
}

}  // namespace

const char *SetupDialogTitle(SetupDialog which) { return DialogDefOf(which).title; }

std::vector<std::pair<std::string, std::string>> SetupDialogRows(SetupDialog which, const SetupSnapshot &s)
{
    std::vector<std::pair<std::string, std::string>> rows;
    for (const Row &row : DialogDefOf(which).rows)
        rows.emplace_back(row.label, FieldText(row, s));
    return rows;
}

int32_t RunSetupDialog(SetupDialog which, QWidget *owner, const SetupSnapshot &snapshot)
{
    QCoreApplication *app = QCoreApplication::instance();
    if (app == nullptr || qobject_cast<QApplication *>(app) == nullptr)
        return kErrNoGui;
    if (QThread::currentThread() != app->thread())
        return kErrWrongThread;

    QDialog dialog(owner);
    dialog.setWindowTitle(QString::fromUtf8(SetupDialogTitle(which)));
    auto *layout = new QVBoxLayout(&dialog);
    auto *form = new QFormLayout;
    for (const auto &[label, value] : SetupDialogRows(which, snapshot)) {
        auto *valueLabel = new QLabel(QString::fromStdString(value));
        valueLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
        form->addRow(QString::fromStdString(label), valueLabel);
    }
    layout->addLayout(form);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);

    if (const int ms = AutoCloseMs(); ms >= 0)
        QTimer::singleShot(ms, &dialog, &QDialog::reject);
    dialog.exec();
    return kOk;
}

}  // namespace tvxsim
