// The caller-ID generator dialog's record for MDMF with its default texts,
// for the tests and benchmarks of the simulated adapter.
#pragma once

#include <cstring>

#include "device/tvxusb.h"

namespace simtest {

// MDMF with name, number and date sent and "Use Ringer" ticked (send flags
// 0x47), at the slider's default 16000.
inline CidGenRecord MdmfRecord()
{
    CidGenRecord r{};
    r.msgType = 1;
    std::memcpy(r.name, "Ivor Kell", 9);
    r.nameLen = 9;
    std::memcpy(r.number, "7964710", 7);
    r.numberLen = 7;
    std::memcpy(r.dateTime, "04292230", 8);
    r.sendFlags = 0x47;
    r.signalLevel = 16000;
    return r;
}

}  // namespace simtest
