// A recording stand-in for the adapter library, with the same C interface:
// it records every call with its arguments and the records' contents, returns
// what the test tells it to, and fires device events, also from a thread of
// its own.
#pragma once

#include "device/tvxusb.h"

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace stub {

struct Event {
    int32_t code;
    int32_t param;
    std::vector<uint8_t> payload;
    int32_t side;
};

struct Call {
    std::string name;                    // "ScDoCommand"
    std::string text;                    // the whole call, e.g. "ScDoCommand(140, 5, 0, 65535)"
    std::vector<long long> args;         // the integer arguments in order
    std::vector<const void *> pointers;  // pointer arguments (callback, context, windows, records)
    std::vector<uint8_t> bytes;          // record or buffer contents passed in
};

struct Config {
    int32_t initializeResult = 0;
    int32_t openResult = 0;
    int32_t libraryVersion = 3;
    std::string serial = "TVXSTUB-0000-000000001";  // 22 characters
    std::string deviceName = "Stub Adapter";
    int32_t rawRevision = 0x0312;
    std::map<int32_t, uint32_t> thresholds;  // by selector
    std::string localCountry = "44";
    std::string destinationCountry = "1";
    int32_t deviceType = 3;
    float indexFrequencyPerColumn = 20.0f;   // ScGetIndexFreq: column * this
    std::map<std::string, int32_t> results;  // result by function name, default 0
    bool writeIdentity = true;               // false: identity getters leave buffers untouched
    std::set<int32_t> unnamedEvents;         // ScTranslateEventToString leaves the buffer as it is
    std::string eventText;  // its text for every event instead of "Event %d (%d)"; cut at 255 characters
    std::map<std::string, Event> eventInside;  // fired on the calling thread inside the named call
};

// Forgets every call, the callback and the configuration; stops any event stream.
void Reset();
// The configuration used by later calls. Change it only while no event stream runs.
Config &Configure();

std::vector<Call> Calls();
std::vector<Call> CallsNamed(const std::string &name);
// The text of each call, in order, optionally only of the named functions.
std::vector<std::string> CallTexts(const std::vector<std::string> &names = {});
int CountOf(const std::string &name);
void ClearCalls();

// The callback and context of the last ScInitialize, null after ScShutdown.
ScEventCallback Callback();
void *Context();

// Calls the registered callback on the calling thread; false if none.
bool FireEvent(int32_t event, int32_t param, const void *payload, int32_t side);

// Fires events from a thread of the stand-in's own, make(n) giving the n-th,
// until `count` events (0: no limit) or until stopped. With closeJoins,
// ScClose stops the stream and waits for its thread to end, as a library
// that joins its event thread would.
void StartEventStream(std::function<Event(uint64_t)> make, uint64_t count, bool closeJoins);
void StopEventStream();
uint64_t EventsFired();

}  // namespace stub
