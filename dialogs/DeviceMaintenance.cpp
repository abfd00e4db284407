#include "dialogs/DeviceMaintenance.h"

#include "device/Adapter.h"
#include "device/Latin1.h"
#include "dialogs/logic/SerialNumber.h"
#include "log/EventLog.h"
#include "res/DialogBuilder.h"
#include "res/MainDialogIds.h"

#include <QByteArray>
#include <QLineEdit>

#include <string_view>

namespace tvx {

DeviceMaintenance::DeviceMaintenance(QWidget &window, EventLog &log) : window_(window), log_(log) {}

void DeviceMaintenance::OnBurnDevice()
{
    const auto *edit = res::Control<QLineEdit>(&window_, kIdSerialNumber);
    // The text exactly as it stands, one byte per character.
    const QByteArray serial = edit ? edit->text().toLatin1() : QByteArray();
    if (!IsValidSerialNumber({serial.constData(), static_cast<size_t>(serial.size())})) {
        log_.Insert(Latin1(kInvalidSerialNumberLine));
        return;
    }
    Run(E2ROM_PROGRAM_SN, serial.constData());
}

void DeviceMaintenance::OnErazeDevice() { Run(E2ROM_ERASE, nullptr); }
void DeviceMaintenance::OnErazeDeviceTvx() { Run(E2ROM_ERASE_TVX, nullptr); }
void DeviceMaintenance::OnReBootDevice() { Run(E2ROM_REBOOT, nullptr); }

void DeviceMaintenance::OnReConnect()
{
    const int32_t result = adapter::E2Rom(kReconnectLines.operation, nullptr);
    log_.Insert(Latin1(E2RomResultLine(kReconnectLines, result)));
}

void DeviceMaintenance::Run(int operation, const char *data)
{
    const int32_t result = adapter::E2Rom(operation, data);
    log_.Insert(Latin1(E2RomResultLine(operation, result)));
}

}  // namespace tvx
