#include "dialogs/DeviceMaintenance.h"

#include "app/host/DialogHost.h"
#include "device/Adapter.h"
#include "device/EventLog.h"
#include "device/Latin1.h"
#include "dialogs/logic/SerialNumber.h"
#include "res/DialogBuilder.h"
#include "res/MainDialogIds.h"

#include <QByteArray>
#include <QLineEdit>

#include <string_view>

namespace tvx {

DeviceMaintenance::DeviceMaintenance(DialogHost &host) : host_(host) {}

void DeviceMaintenance::OnBurnDevice()
{
    const auto *edit = res::Control<QLineEdit>(host_.Window(), kIdSerialNumber);
    // The text exactly as it stands, one byte per character.
    const QByteArray serial = edit ? edit->text().toLatin1() : QByteArray();
    if (!IsValidSerialNumber({serial.constData(), static_cast<size_t>(serial.size())})) {
        host_.Log().Insert(Latin1(kInvalidSerialNumberLine));
        return;
    }
    Run(E2ROM_PROGRAM_SN, serial.constData());
}

void DeviceMaintenance::OnErazeDevice() { Run(E2ROM_ERASE, nullptr); }
void DeviceMaintenance::OnErazeDeviceTvx() { Run(E2ROM_ERASE_TVX, nullptr); }
void DeviceMaintenance::OnReBootDevice() { Run(E2ROM_REBOOT, nullptr); }

void DeviceMaintenance::Run(int operation, const char *data)
{
    const int32_t result = adapter::E2Rom(operation, data);
    host_.Log().Insert(Latin1(E2RomResultLine(operation, result)));
}

}  // namespace tvx
