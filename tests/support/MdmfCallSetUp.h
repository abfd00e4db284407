// A caller-ID payload as the library hands it over: an MDMF call set-up
// with date and time (29/04 22:30), number and name, which the decoder shows
// as "Ivor Kell at 7964710 - 29/04 22:30".
#pragma once

#include <string>

namespace tvx::test {

// Type 0x80, 30 bytes: items 1 (date), 2 (number) and 7 (name). No zero byte.
inline const std::string kMdmfCallSetUp = "\x80\x1E"
                                          "\x01\x08"
                                          "04292230"
                                          "\x02\x07"
                                          "7964710"
                                          "\x07\x09"
                                          "Ivor Kell";

}  // namespace tvx::test
