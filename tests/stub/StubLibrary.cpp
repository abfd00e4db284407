#include "tests/stub/StubLibrary.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <sstream>
#include <thread>

namespace stub {

namespace {

struct State {
    std::mutex mutex;
    Config config;
    std::vector<Call> calls;
    ScEventCallback callback = nullptr;
    void *context = nullptr;
    std::FILE *record = nullptr;  // the recorder's call log, when built as a shared library
};

State &S()
{
    static State *state = new State;
    return *state;
}

struct Stream {
    std::thread thread;
    std::atomic<bool> stop{false};
    std::atomic<uint64_t> fired{0};
    bool closeJoins = false;
};

Stream &TheStream()
{
    static Stream *stream = new Stream;
    return *stream;
}

std::string Quote(const char *text) { return text ? "\"" + std::string(text) + "\"" : std::string("null"); }

[[maybe_unused]] std::string Hex(const uint8_t *bytes, size_t count)
{
    std::string out;
    char two[4];
    for (size_t i = 0; i < count; ++i) {
        std::snprintf(two, sizeof two, "%02X", bytes[i]);
        out += two;
    }
    return out;
}

// The event the test asked to come inside this call, on the caller's thread.
void FireInside(const std::string &name)
{
    Event event;
    {
        std::lock_guard lock(S().mutex);
        const auto found = S().config.eventInside.find(name);
        if (found == S().config.eventInside.end())
            return;
        event = found->second;
    }
    FireEvent(event.code, event.param, event.payload.empty() ? nullptr : event.payload.data(), event.side);
}

// Records a call, then fires the event the test asked for inside it.
void Record(Call call)
{
    const std::string name = call.name;
    {
        State &s = S();
        std::lock_guard lock(s.mutex);
#ifdef TVX_STUB_RECORD_FILE
        if (!s.record) {
            if (const char *path = std::getenv("TVXUSB_RECORD"))
                s.record = std::fopen(path, "a");
        }
        if (s.record) {
            std::fprintf(s.record, "%s", call.text.c_str());
            if (!call.bytes.empty())
                std::fprintf(s.record, " bytes=%s", Hex(call.bytes.data(), call.bytes.size()).c_str());
            std::fprintf(s.record, "\n");
            std::fflush(s.record);
        }
#endif
        s.calls.push_back(std::move(call));
    }
    FireInside(name);
}

Call Make(const char *name, std::vector<long long> args, std::vector<std::string> texts = {},
          std::vector<const void *> pointers = {})
{
    Call call;
    call.name = name;
    call.args = std::move(args);
    call.pointers = std::move(pointers);
    std::ostringstream out;
    out << name << '(';
    bool first = true;
    auto separate = [&] {
        if (!first)
            out << ", ";
        first = false;
    };
    for (const void *p : call.pointers) {
        separate();
        out << (p ? "ptr" : "null");
    }
    for (long long value : call.args) {
        separate();
        out << value;
    }
    for (const std::string &text : texts) {
        separate();
        out << text;
    }
    out << ')';
    call.text = out.str();
    return call;
}

int32_t Result(const char *name)
{
    State &s = S();
    std::lock_guard lock(s.mutex);
    const auto found = s.config.results.find(name);
    return found == s.config.results.end() ? 0 : found->second;
}

void CopyText(char *buffer, int32_t size, const std::string &text)
{
    if (!buffer || size <= 0)
        return;
    std::snprintf(buffer, static_cast<size_t>(size), "%s", text.c_str());
}

void JoinStream()
{
    Stream &stream = TheStream();
    stream.stop = true;
    if (stream.thread.joinable() && stream.thread.get_id() != std::this_thread::get_id())
        stream.thread.join();
}

}  // namespace

void Reset()
{
    JoinStream();
    State &s = S();
    std::lock_guard lock(s.mutex);
    s.config = Config{};
    s.calls.clear();
    s.callback = nullptr;
    s.context = nullptr;
    TheStream().fired = 0;
}

Config &Configure() { return S().config; }

std::vector<Call> Calls()
{
    std::lock_guard lock(S().mutex);
    return S().calls;
}

std::vector<Call> CallsNamed(const std::string &name)
{
    std::vector<Call> named;
    for (Call &call : Calls())
        if (call.name == name)
            named.push_back(std::move(call));
    return named;
}

std::vector<std::string> CallTexts(const std::vector<std::string> &names)
{
    std::vector<std::string> texts;
    for (const Call &call : Calls()) {
        bool wanted = names.empty();
        for (const std::string &name : names)
            wanted = wanted || call.name == name;
        if (wanted)
            texts.push_back(call.text);
    }
    return texts;
}

int CountOf(const std::string &name) { return static_cast<int>(CallsNamed(name).size()); }

void ClearCalls()
{
    std::lock_guard lock(S().mutex);
    S().calls.clear();
}

ScEventCallback Callback()
{
    std::lock_guard lock(S().mutex);
    return S().callback;
}

void *Context()
{
    std::lock_guard lock(S().mutex);
    return S().context;
}

bool FireEvent(int32_t event, int32_t param, const void *payload, int32_t side)
{
    ScEventCallback callback;
    void *context;
    {
        std::lock_guard lock(S().mutex);
        callback = S().callback;
        context = S().context;
    }
    if (!callback)
        return false;
    callback(event, param, context, payload, side, 0);
    return true;
}

void StartEventStream(std::function<Event(uint64_t)> make, uint64_t count, bool closeJoins)
{
    JoinStream();
    Stream &stream = TheStream();
    stream.stop = false;
    stream.fired = 0;
    stream.closeJoins = closeJoins;
    stream.thread = std::thread([make = std::move(make), count, &stream] {
        for (uint64_t n = 0; !stream.stop && (count == 0 || n < count); ++n) {
            const Event event = make(n);
            if (!FireEvent(event.code, event.param, event.payload.empty() ? nullptr : event.payload.data(), event.side))
                std::this_thread::yield();
            else
                ++stream.fired;
        }
    });
}

void StopEventStream() { JoinStream(); }

uint64_t EventsFired() { return TheStream().fired; }

}  // namespace stub

using stub::Make;
using stub::Record;
using stub::Result;

extern "C" {

int32_t ScInitialize(ScEventCallback cb, void *context, int32_t a, int32_t b, int32_t c, int32_t d, int32_t seventeen,
                     int32_t *libraryVersion, void *spectrumWindow)
{
    Record(Make("ScInitialize",
                {a, b, c, d, seventeen},
                {},
                {reinterpret_cast<const void *>(cb), context, libraryVersion, spectrumWindow}));
    const int32_t result = stub::S().config.initializeResult;
    {
        std::lock_guard lock(stub::S().mutex);
        stub::S().callback = cb;
        stub::S().context = context;
    }
    if (libraryVersion)
        *libraryVersion = stub::S().config.libraryVersion;
    return result;
}

int32_t ScOpen(int32_t a, int32_t b)
{
    Record(Make("ScOpen", {a, b}));
#ifdef TVX_STUB_RECORD_FILE
    // A library that floods events from its own thread and joins it in ScClose.
    if (std::getenv("TVXUSB_STUB_FLOOD") && stub::S().config.openResult == 0)
        stub::StartEventStream(
            [](uint64_t n) {
                return stub::Event{64, static_cast<int32_t>(n), {}, int32_t(n % 3)};
            },
            0,
            true);
#endif
    return stub::S().config.openResult;
}

int32_t ScClose(int32_t a)
{
    Record(Make("ScClose", {a}));
    if (stub::TheStream().closeJoins)
        stub::JoinStream();
    return Result("ScClose");
}

int32_t ScShutdown(int32_t a)
{
    Record(Make("ScShutdown", {a}));
    std::lock_guard lock(stub::S().mutex);
    stub::S().callback = nullptr;
    stub::S().context = nullptr;
    return 0;
}

int32_t ScGetDeviceSN(char *text, int32_t size)
{
    Record(Make("ScGetDeviceSN", {size}, {}, {text}));
    if (stub::S().config.writeIdentity)
        stub::CopyText(text, size, stub::S().config.serial);
    return Result("ScGetDeviceSN");
}

int32_t ScGetDeviceName(char *text, int32_t size)
{
    Record(Make("ScGetDeviceName", {size}, {}, {text}));
    if (stub::S().config.writeIdentity)
        stub::CopyText(text, size, stub::S().config.deviceName);
    return Result("ScGetDeviceName");
}

int32_t ScGetRawDeviceRevision(int32_t a)
{
    Record(Make("ScGetRawDeviceRevision", {a}));
    return stub::S().config.rawRevision;
}

int32_t ScMonitorTones(int32_t mode, const ToneMonitorEntry *set, int32_t count)
{
    stub::Call call = Make("ScMonitorTones", {mode, count}, {}, {set});
    if (set && count > 0)
        call.bytes.assign(reinterpret_cast<const uint8_t *>(set), reinterpret_cast<const uint8_t *>(set + count));
    Record(std::move(call));
    return Result("ScMonitorTones");
}

int32_t ScTranslateEventToString(char *text256, int32_t event, int32_t param)
{
    // Not recorded: it is called from the event thread for every event.
    {
        std::lock_guard lock(stub::S().mutex);
        if (stub::S().config.unnamedEvents.count(event))
            return 0;
        if (!stub::S().config.eventText.empty()) {
            stub::CopyText(text256, TVX_TEXT_SIZE, stub::S().config.eventText);
            return 0;
        }
    }
    if (text256)
        std::snprintf(text256, TVX_TEXT_SIZE, "Event %d (%d)", static_cast<int>(event), static_cast<int>(param));
    return 0;
}

int32_t ScDoCommand(int32_t code, int32_t param, int32_t arg3, int32_t arg4)
{
    Record(Make("ScDoCommand", {code, param, arg3, arg4}));
    return Result("ScDoCommand");
}

int32_t ScSetThreshold(int32_t selector, uint32_t value)
{
    Record(Make("ScSetThreshold", {selector, value}));
    {
        std::lock_guard lock(stub::S().mutex);
        stub::S().config.thresholds[selector] = value;
    }
    return Result("ScSetThreshold");
}

int32_t ScGetThreshold(int32_t selector, uint32_t *value)
{
    Record(Make("ScGetThreshold", {selector}, {}, {value}));
    std::lock_guard lock(stub::S().mutex);
    const auto found = stub::S().config.thresholds.find(selector);
    if (value && found != stub::S().config.thresholds.end())
        *value = found->second;
    return 0;
}

int32_t ScGetIndexFreq(uint16_t column, float *hertz)
{
    Record(Make("ScGetIndexFreq", {column}, {}, {hertz}));
    if (hertz)
        *hertz = static_cast<float>(column) * stub::S().config.indexFrequencyPerColumn;
    return Result("ScGetIndexFreq");
}

int32_t ScGetLocalCountry(int32_t a, char *text256)
{
    Record(Make("ScGetLocalCountry", {a}, {}, {text256}));
    stub::CopyText(text256, TVX_TEXT_SIZE, stub::S().config.localCountry);
    return Result("ScGetLocalCountry");
}

int32_t ScGetDestinationCountry(int32_t a, char *text256)
{
    Record(Make("ScGetDestinationCountry", {a}, {}, {text256}));
    stub::CopyText(text256, TVX_TEXT_SIZE, stub::S().config.destinationCountry);
    return Result("ScGetDestinationCountry");
}

int32_t ScSetLocalCountry(int32_t a, const char *text)
{
    Record(Make("ScSetLocalCountry", {a}, {stub::Quote(text)}));
    return Result("ScSetLocalCountry");
}

int32_t ScSetDestinationCountry(int32_t a, const char *text)
{
    Record(Make("ScSetDestinationCountry", {a}, {stub::Quote(text)}));
    return Result("ScSetDestinationCountry");
}

int32_t ScGenerateTones(const ToneGenRecord *records, int32_t count)
{
    stub::Call call = Make("ScGenerateTones", {count}, {}, {records});
    if (records && count > 0)
        call.bytes.assign(reinterpret_cast<const uint8_t *>(records),
                          reinterpret_cast<const uint8_t *>(records + count));
    Record(std::move(call));
    return Result("ScGenerateTones");
}

int32_t ScSetHardwareRegs(int32_t block, int32_t reg, const uint8_t *values, int32_t count)
{
    stub::Call call = Make("ScSetHardwareRegs", {block, reg, count}, {}, {values});
    if (values && count > 0)
        call.bytes.assign(values, values + count);
    Record(std::move(call));
    return Result("ScSetHardwareRegs");
}

int32_t ScGetDevType(int32_t a, int32_t b)
{
    Record(Make("ScGetDevType", {a, b}));
    return stub::S().config.deviceType;
}

int32_t ScDistinctiveRingDlg(void *owner)
{
    Record(Make("ScDistinctiveRingDlg", {}, {}, {owner}));
    return Result("ScDistinctiveRingDlg");
}

int32_t ScInternationalTonesDlg(void *owner)
{
    Record(Make("ScInternationalTonesDlg", {}, {}, {owner}));
    return Result("ScInternationalTonesDlg");
}

int32_t ScInternationalHardwareDlg(void *owner)
{
    Record(Make("ScInternationalHardwareDlg", {}, {}, {owner}));
    return Result("ScInternationalHardwareDlg");
}

int32_t ScHardwareChipsDlg(void *owner)
{
    Record(Make("ScHardwareChipsDlg", {}, {}, {owner}));
    return Result("ScHardwareChipsDlg");
}

int32_t ScGenerateETSI_CID(const CidGenRecord *record)
{
    stub::Call call = Make("ScGenerateETSI_CID", {}, {}, {record});
    if (record)
        call.bytes.assign(reinterpret_cast<const uint8_t *>(record),
                          reinterpret_cast<const uint8_t *>(record) + sizeof(CidGenRecord));
    Record(std::move(call));
    return Result("ScGenerateETSI_CID");
}

int32_t ScTestLEDs(uint8_t mask)
{
    Record(Make("ScTestLEDs", {mask}));
    return Result("ScTestLEDs");
}

int32_t ScUploadMelody(const uint8_t *bytes, int32_t count)
{
    stub::Call call = Make("ScUploadMelody", {count}, {}, {bytes});
    if (bytes && count > 0)
        call.bytes.assign(bytes, bytes + count);
    Record(std::move(call));
    return Result("ScUploadMelody");
}

int32_t ScE2Rom(int32_t operation, const char *data, const char *commandLine)
{
    Record(Make("ScE2Rom", {operation}, {stub::Quote(data), stub::Quote(commandLine)}));
    return Result("ScE2Rom");
}

}  // extern "C"
