// Fuzzes the library's C interface: a sequence of Sc* calls with arbitrary
// arguments, opening, closing and shutting down included, while the
// library's own thread runs the model and calls back. Every call must give a
// result and leave the library usable; ASan, UBSan and the checks below
// catch the rest. Each input ends with the library shut down.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "device/tvxusb.h"

namespace {

// Reads the fuzzer's bytes as arguments; zeros once they run out.
struct Reader {
    const uint8_t *data;
    size_t size;
    size_t at = 0;

    uint8_t Byte() { return at < size ? data[at++] : 0; }
    int32_t Int32()
    {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v = v << 8 | Byte();
        return static_cast<int32_t>(v);
    }
    // Mostly small values near the interesting ranges, sometimes anything.
    int32_t Arg()
    {
        const uint8_t kind = Byte();
        if (kind < 160)
            return Byte();
        if (kind < 200)
            return -static_cast<int32_t>(Byte());
        return Int32();
    }
    bool Done() const { return at >= size; }
};

int32_t OnEvent(int32_t event, int32_t param, void *, const void *payload, int32_t, int32_t)
{
    char text[TVX_TEXT_SIZE];
    std::memset(text, 0x5A, sizeof text);
    ScTranslateEventToString(text, event, param);
    if (strnlen(text, sizeof text) == sizeof text)
        std::abort();  // not terminated within 256 bytes
    if (event == TVX_EVENT_TONE_MONITORED && payload != nullptr) {
        const auto *entry = static_cast<const ToneMonitorEntry *>(payload);
        if (entry->name != nullptr && strnlen(entry->name, TVX_TEXT_SIZE) == TVX_TEXT_SIZE)
            std::abort();
    }
    if ((event == TVX_EVENT_CALLER_ID || event == TVX_EVENT_CW_CALLER_ID) && param > 0 && payload == nullptr)
        std::abort();
    return 0;
}

// As large as the library takes, so that any count it accepts is backed by
// real records: the library cannot see past a caller's array.
constexpr int32_t kMaxRows = 256;
constexpr int32_t kMaxRecords = 64;
const char *const kNames[4] = {"0", "Silent", "14", ""};
ToneMonitorEntry g_set[kMaxRows];  // stays valid while the library is initialised

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Reader in{data, size};
    char text[TVX_TEXT_SIZE];
    uint8_t bytes[300] = {};
    for (int step = 0; step < 64 && !in.Done(); ++step) {
        switch (in.Byte() % 20) {
        case 0: {
            int32_t version = 0;
            ScInitialize(&OnEvent, nullptr, 0, 0, 0, 0, 17, in.Byte() & 1 ? &version : nullptr, nullptr);
            break;
        }
        case 1:
            ScOpen(in.Arg(), in.Arg());
            break;
        case 2:
            ScClose(in.Arg());
            break;
        case 3:
            ScShutdown(in.Arg());
            break;
        case 4:
        case 5:
        case 6: {
            const int32_t code = in.Arg();
            ScDoCommand(code, in.Arg(), in.Arg(), in.Arg());
            break;
        }
        case 7:
            ScSetThreshold(in.Arg(), static_cast<uint32_t>(in.Int32()));
            break;
        case 8: {
            uint32_t value = 0;
            ScGetThreshold(in.Arg(), in.Byte() & 1 ? &value : nullptr);
            break;
        }
        case 9: {
            const int32_t count = in.Byte() % 9;
            for (int32_t i = 0; i < kMaxRows; ++i)
                g_set[i] =
                    i < 8 ? ToneMonitorEntry{in.Arg(), kNames[in.Byte() % 4], in.Arg(), in.Arg(), in.Arg(), in.Arg()}
                          : ToneMonitorEntry{0, kNames[i % 4], i, 400 + i, 0, 0};
            ScMonitorTones(in.Arg(), in.Byte() & 1 ? g_set : nullptr, in.Byte() & 1 ? count : in.Arg());
            break;
        }
        case 10: {
            ToneGenRecord records[kMaxRecords] = {};
            for (int32_t i = 0; i < 4; ++i)
                records[i] = {static_cast<uint16_t>(in.Int32()), static_cast<uint16_t>(in.Int32()), in.Arg(), in.Arg()};
            ScGenerateTones(in.Byte() & 1 ? records : nullptr, in.Byte() & 1 ? in.Byte() % 5 : in.Arg());
            break;
        }
        case 11: {
            const int32_t block = in.Arg();
            const int32_t reg = in.Arg();
            ScSetHardwareRegs(block, reg, bytes, in.Byte() & 1 ? in.Byte() : in.Arg());
            break;
        }
        case 12: {
            float hz = 0;
            ScGetIndexFreq(static_cast<uint16_t>(in.Int32()), &hz);
            break;
        }
        case 13: {
            const size_t n = in.Byte() % 12;
            for (size_t i = 0; i < n; ++i)
                text[i] = static_cast<char>(in.Byte());
            text[n] = '\0';
            if (in.Byte() & 1)
                ScSetLocalCountry(in.Arg(), text);
            else
                ScSetDestinationCountry(in.Arg(), text);
            ScGetLocalCountry(0, text);
            break;
        }
        case 14:
            ScUploadMelody(bytes, in.Arg());
            break;
        case 15:
            ScE2Rom(in.Arg(), in.Byte() & 1 ? "ABCDEFGHIJKLMNOPQRSTUV" : nullptr, "");
            break;
        case 16:
            ScTestLEDs(in.Byte());
            break;
        case 17: {
            CidGenRecord record;
            std::memset(&record, 0, sizeof record);
            for (size_t i = 0; i < sizeof record; i += 4) {
                const int32_t v = in.Int32();
                std::memcpy(reinterpret_cast<uint8_t *>(&record) + i, &v, std::min<size_t>(4, sizeof record - i));
            }
            ScGenerateETSI_CID(in.Byte() & 1 ? &record : nullptr);
            break;
        }
        case 18: {
            const int32_t size = in.Byte() & 1 ? in.Arg() : static_cast<int32_t>(sizeof text);
            ScGetDeviceSN(text, size > static_cast<int32_t>(sizeof text) ? static_cast<int32_t>(sizeof text) : size);
            ScTranslateEventToString(text, in.Arg(), in.Arg());
            break;
        }
        default:
            ScDistinctiveRingDlg(nullptr);
            ScGetDevType(in.Arg(), in.Arg());
            break;
        }
    }
    ScClose(0);
    ScShutdown(0);
    return 0;
}
