// Error codes that the simulated adapter library returns. 0 is success.
#pragma once

#include <array>
#include <cstdint>

namespace tvxsim {

enum SimError : int32_t {
    kOk = 0,
    kErrNotInitialised = 1,      // ScInitialize has not been called, or ScShutdown came after it
    kErrNotOpen = 2,             // the device is not open (ScOpen missing, or ScClose came after it)
    kErrAlreadyInitialised = 3,  // ScInitialize twice without ScShutdown
    kErrAlreadyOpen = 4,         // ScOpen twice without ScClose
    kErrNullPointer = 5,         // a required pointer argument is null
    kErrBadArgument = 6,         // a count, size, selector, operation or code outside its range
    kErrBadText = 7,             // a country text that is not 1 to 9 decimal digits
    kErrBadSerial = 8,           // a serial number that is not exactly 22 characters
    kErrBadRecord = 9,           // a CidGenRecord that fails its checks
    kErrOutOfRange = 10,         // ScGetIndexFreq: column at or beyond the spectrum area's width
    kErrNoWindow = 11,           // no spectrum area was given, or it has been destroyed
    kErrNoGui = 12,              // a set-up dialog without a QApplication
    kErrWrongThread = 13,        // ScOpen from the event thread; a dialog off the GUI thread
    kErrTruncated = 14,          // the text did not fit: written cut short, still terminated
    kErrUnknownEvent = 15,       // ScTranslateEventToString: code not in the table (text written)
    kErrDialQueueFull = 16,      // ScDoCommand 140: 512 dial codes are already waiting
    kErrBusy = 17,               // ScGenerateETSI_CID: the previous caller ID is still being sent
};

// Each code in a few words, for replies that quote a refusal ("" beyond the table).
inline constexpr std::array<const char *, 18> kSimErrorTexts = {
    "success",
    "not initialised",
    "not open",
    "already initialised",
    "already open",
    "a required pointer is null",
    "an argument outside its range",
    "not a country code of 1 to 9 digits",
    "not a serial number of 22 characters",
    "a caller-ID record that fails its checks",
    "a column beyond the spectrum area",
    "no spectrum area",
    "no GUI",
    "the wrong thread",
    "the text did not fit",
    "an unknown event",
    "the dial queue is full",
    "a caller ID is still being sent",
};

inline const char *SimErrorText(int32_t code)
{
    return code >= 0 && static_cast<size_t>(code) < kSimErrorTexts.size() ? kSimErrorTexts[static_cast<size_t>(code)]
                                                                          : "";
}

}  // namespace tvxsim
