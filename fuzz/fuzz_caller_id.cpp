// Fuzzes the caller-ID decoder with arbitrary payloads. libFuzzer hands over
// an exactly sized heap copy, so ASan reports any read past the payload.
#include "device/logic/CallerIdDecoder.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

constexpr char kUntouched = 0x5A;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > static_cast<size_t>(std::numeric_limits<int32_t>::max())) {
        return 0;
    }
    char output[tvx::kCallerIdOutputSize];
    std::memset(output, kUntouched, sizeof output);

    tvx::DecodeCallerId(data, static_cast<int32_t>(size), output);

    // The line is never empty ("Unknown" at least), ends within the line's
    // capacity, and nothing past that capacity is written.
    const size_t length = strnlen(output, tvx::kCallerIdLineSize);
    if (length == 0 || length >= tvx::kCallerIdLineSize) {
        std::abort();
    }
    for (size_t i = tvx::kCallerIdLineSize; i < sizeof output; ++i) {
        if (output[i] != kUntouched) {
            std::abort();
        }
    }

    // A pure function: the same bytes give the same line.
    char again[tvx::kCallerIdOutputSize];
    tvx::DecodeCallerId(data, static_cast<int32_t>(size), again);
    if (std::strcmp(output, again) != 0) {
        std::abort();
    }
    return 0;
}
