// Caller-ID message decoding: turns the type/length/value items of an SDMF or
// MDMF caller-ID message into the one line the event log shows for it,
// for example "Ivor Kell at 7964710 - 29/04 22:30".
#pragma once

#include <cstddef>
#include <cstdint>

namespace tvx {

// Size of the buffer DecodeCallerId writes into (the shared text buffer).
constexpr size_t kCallerIdOutputSize = 256;

// Capacity of the name and number texts: longer values are cut to 39 bytes.
constexpr size_t kCallerIdFieldSize = 40;

// Capacity of the decoded line: longer lines are cut to 99 characters.
constexpr size_t kCallerIdLineSize = 100;

// Decodes `count` bytes at `payload` into one zero-terminated line in
// `output`, which must hold kCallerIdOutputSize bytes; at most
// kCallerIdLineSize bytes of it are written. Never reads outside
// [payload, payload + count) and never changes the payload. A count of 0 or
// less, a null payload, or a payload that yields nothing gives "Unknown".
// A null output is ignored.
// Threads: pure and reentrant; safe on the library's event thread.
void DecodeCallerId(const void *payload, int32_t count, char *output);

}  // namespace tvx
