// What a caller-ID phone shows for a message it received: the name, the
// number (or "Private", "Out of area" in their place), the date and time,
// and the message-waiting lamp. The phone's own reading of the message,
// independent of the tool's decoder; it never reads past the bytes given.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace tvxsim {

// The display for an SDMF or MDMF message (type, length, parameters; no
// checksum byte), for example "Ivor Kell, 7964710, 29/04 22:30", or
// "Private, 29/04 22:30", "message waiting". Empty when the message holds
// nothing a phone shows.
std::string PhoneDisplay(std::span<const uint8_t> message);

// The display for DTMF caller ID keys between their start and end keys:
// the number, or "Out of area" for "B00" and "Private" for "B10".
std::string PhoneDisplayOfDtmf(const std::string &keys);

}  // namespace tvxsim
