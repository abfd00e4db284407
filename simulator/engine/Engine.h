// The simulated adapter as a whole, without threads or clocks: the phone
// side (a handset), the line side (a line to a simulated exchange), the
// audio paths between them and the PC, the dialler, the tone generators and
// the detectors that report events. Time advances only when Step() is
// called, one 20 ms block at a time; a real-time driver calls it every 20 ms,
// offline runs call it as fast as they like.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "device/tvxusb.h"
#include "simulator/engine/AlertDetector.h"
#include "simulator/engine/Audio.h"
#include "simulator/engine/CallerIdGenerator.h"
#include "simulator/engine/CallerIdReceiver.h"
#include "simulator/engine/Dialler.h"
#include "simulator/engine/DtmfReceiver.h"
#include "simulator/engine/Exchange.h"
#include "simulator/engine/Handset.h"
#include "simulator/engine/PhoneTones.h"
#include "simulator/engine/RingDetector.h"
#include "simulator/engine/Ringer.h"
#include "simulator/engine/Routing.h"
#include "simulator/engine/ToneMonitor.h"
#include "simulator/engine/VoiceDetector.h"
#include "simulator/logic/DeviceState.h"
#include "simulator/logic/Scenario.h"

namespace tvxsim {

struct EngineEvent {
    SampleTime time = 0;
    int32_t code = 0;
    int32_t param = 0;
    int32_t side = 0;
    int32_t toneRow = -1;  // 229: row of the armed set
    std::string detail;    // fuller text for ScTranslateEventToString
    std::vector<uint8_t> payload;
};

// One block of every audio point, for recording and for later listeners.
struct BlockAudio {
    SampleTime start = 0;
    std::span<const int16_t> lineTx;     // sent on the line (heard by the exchange)
    std::span<const int16_t> lineRx;     // received from the line (heard by the adapter's detectors)
    std::span<const int16_t> earpiece;   // the phone's earpiece
    std::span<const int16_t> mic;        // the phone's microphone
    std::span<const int16_t> pcIn;       // streamed to the PC
    std::span<const int16_t> pcOut;      // played by the PC into the adapter
    std::span<const int16_t> phoneRing;  // ringing voltage at the phone
    std::span<const int16_t> lineRing;   // ringing voltage on the line
};

class AudioTap {
public:
    virtual ~AudioTap() = default;
    virtual void OnBlock(const BlockAudio &block) = 0;
};

class Engine {
public:
    static constexpr size_t kMaxPendingEvents = 65536;
    static constexpr SampleTime kAlertMuteMax = MsToSamples(200);  // a pair that never became an alert
    static constexpr int32_t kAckMs = 60;                          // the DTMF D that acknowledges call waiting
    static constexpr SampleTime kCallWaitingListen = MsToSamples(2000);

    explicit Engine(DeviceState &state);
    Engine(const Engine &) = delete;
    Engine &operator=(const Engine &) = delete;

    SampleTime Now() const { return now_; }
    // One 20 ms block.
    void Step();
    // Whole blocks until Now() reaches `time`.
    void RunUntil(SampleTime time);

    // The scenario's actions (applied at their times) and number routes.
    void Load(const Scenario &scenario);
    // One action, now.
    void Apply(const ScenarioAction &action);

    // What the C functions ask for. Each returns 0 or one of the library's error codes.
    int32_t DoCommand(int32_t code, int32_t param);
    int32_t SetThreshold(int32_t selector, uint32_t value);
    void MonitorTones(std::vector<MonitorRow> rows);
    void GenerateTones(std::span<const ToneGenRecord> records);
    // Starts a checked caller-ID record toward the phone; kErrBusy while one is still going.
    int32_t GenerateCallerId(const CidGenRecord &record);
    // An event that confirms a call, reported now.
    void Report(int32_t code, int32_t param, int32_t side = 0, std::string detail = {});
    // The same, `delayMs` from now.
    void ReportLater(int32_t code, int32_t param, int32_t delayMs);

    // Events reported since the last call, in time order.
    std::vector<EngineEvent> TakeEvents();
    uint64_t DroppedEvents() const { return dropped_; }

    // Sound the adapter itself plays into the phone's earpiece (beside its tone generator).
    void PhonePlay(std::unique_ptr<Source> source) { earSources_.Add(std::move(source)); }

    // Listeners of every block's audio (recording; later, analysis of the line).
    void AddTap(AudioTap *tap) { taps_.push_back(tap); }
    void RemoveTap(AudioTap *tap) { std::erase(taps_, tap); }

    Exchange &GetExchange() { return exchange_; }
    Handset &GetHandset() { return handset_; }
    const Dialler &GetDialler() const { return dialler_; }
    const DeviceState &State() const { return state_; }
    bool LineOffHook() const { return lineOffHook_; }
    bool PhoneRinging() const { return phoneRinger_.Active(); }
    bool ToneGenerating() const { return phoneTones_.Playing(); }
    // Call waiting: the adapter has muted the phone (from the CAS until its message).
    bool CallWaitingMuted() const { return cwMuteUntil_ > now_; }

private:
    struct Buffers {
        std::array<int16_t, kBlockSamples> lineTx, lineRx, earpiece, mic, keypad, pcIn, pcOut, dial, exchange,
            phoneRing, lineRing;
    };

    void Refresh();
    void UpdateHooks(SampleTime now);
    void ProcessSegment(size_t offset, size_t n);
    void Push(EngineEvent event);
    void StartDial();
    void CallerIdOnLine(std::span<const int16_t> lineRx, SampleTime t);
    void CallerIdToPhone(SampleTime t);
    void ReportCallerId(const CidReception &r, bool callWaiting);
    CidCall CallOf(const CallerIdSpec &request) const;

    DeviceState &state_;
    SampleTime now_ = 0;
    SampleTime at_ = 0;  // the time actions and confirmations happen at: inside a block, or now_
    Paths paths_;
    DialTimings timings_;
    const TonePlan *plan_;

    Handset handset_;
    Exchange exchange_;
    Dialler dialler_;
    PhoneTones phoneTones_;
    Ringer phoneRinger_;
    RingDetector ringDetector_;
    ToneMonitor monitor_;
    VoiceDetector voice_;
    DtmfReceiver lineDtmf_;
    DtmfReceiver phoneDtmf_;
    bool lineDtmfOn_ = true;  // a light DTMF setting of 0 switches its receiver off
    bool phoneDtmfOn_ = true;
    SourceMixer pcSources_;
    SourceMixer earSources_;
    SourceMixer adapterLine_;  // the adapter's own signals to the line (the call-waiting acknowledgement)

    CallerIdReceiver lineCid_;
    AlertDetector lineAlert_;
    SampleTime cwArmedUntil_ = -1;  // the line's receiver takes a call-waiting message until then
    SampleTime cwMuteUntil_ = -1;
    bool reversed_ = false;
    CallerIdGenerator generator_;
    uint32_t shownAtStart_ = 0;
    bool generatorRinging_ = false;

    bool usbSeized_ = false;
    bool lineOffHook_ = false;
    bool loopClosed_ = false;
    bool phoneOffHook_ = false;
    SampleTime lineOffHookSince_ = 0;

    std::vector<ScenarioAction> actions_;  // by time
    size_t nextAction_ = 0;
    uint32_t speechSeed_ = 1;

    Buffers buf_{};
    std::vector<EngineEvent> events_;
    std::vector<EngineEvent> later_;
    uint64_t dropped_ = 0;
    std::vector<AudioTap *> taps_;
    std::vector<LoopEdge> edges_;
    std::vector<DialEvent> dialEvents_;
    std::vector<MonitorHit> hits_;
    std::vector<VoiceChange> voiceChanges_;
    std::vector<DtmfDigit> digits_;
    std::vector<RingEdge> rings_;
    std::vector<CidReception> receptions_;
    std::vector<AlertEdge> alerts_;
};

}  // namespace tvxsim
