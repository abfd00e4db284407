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
#include "simulator/engine/Audio.h"
#include "simulator/engine/AudioFeed.h"
#include "simulator/engine/CallerIdPaths.h"
#include "simulator/engine/Dialler.h"
#include "simulator/engine/DtmfReceiver.h"
#include "simulator/engine/EngineEvent.h"
#include "simulator/engine/EventQueue.h"
#include "simulator/engine/Exchange.h"
#include "simulator/engine/Handset.h"
#include "simulator/engine/PhoneTones.h"
#include "simulator/engine/PlaySource.h"
#include "simulator/engine/RingDetector.h"
#include "simulator/engine/Ringer.h"
#include "simulator/engine/Routing.h"
#include "simulator/engine/ToneMonitor.h"
#include "simulator/engine/VoiceDetector.h"
#include "simulator/logic/ActionParser.h"
#include "simulator/logic/DeviceState.h"
#include "simulator/logic/Scenario.h"

namespace tvxsim {

// One block of every audio point, for recording and for later listeners.
struct BlockAudio {
    SampleTime start = 0;
    std::span<const int16_t> lineTx;  // sent on the line (heard by the exchange)
    std::span<const int16_t> lineRx;  // received from the line (heard by the adapter's detectors)
    std::span<const int16_t>
        earpiece;                    // toward the phone: what reaches its earpiece and, on hook, its caller-ID display
    bool phoneOffHook = false;       // the handset is lifted: its earpiece sounds (on hook it is silent)
    std::span<const int16_t> mic;    // the phone's microphone
    std::span<const int16_t> pcIn;   // streamed to the PC
    std::span<const int16_t> pcOut;  // played by the PC into the adapter
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
    static constexpr size_t kMaxPendingEvents = EventQueue::kMaxPending;

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
    // One action, now: "" when the model took it, else why it did not (and
    // then nothing has changed). A scenario's actions ignore the reason.
    std::string Apply(const ScenarioAction &action);
    // A live request's item, now: an action (a play action plays `play`,
    // opened outside the engine), a number route, or a raw event handed to
    // `raw` with the engine's time. "" when taken, else why not, and then
    // nothing has changed.
    std::string ApplyLive(const ScenarioItem &item, const RawSink &raw, std::unique_ptr<Source> play = nullptr);

    // What the C functions ask for. Each returns 0 or one of the library's error codes.
    int32_t DoCommand(int32_t code, int32_t param);
    int32_t SetThreshold(int32_t selector, uint32_t value);
    void MonitorTones(std::vector<MonitorRow> rows);
    void GenerateTones(std::span<const ToneGenRecord> records);
    // Starts a checked caller-ID record toward the phone; kErrBusy while one is still going.
    int32_t GenerateCallerId(const CidGenRecord &record);

    // The settings the C functions write into the device state, each
    // reported as the adapter does; what the model derives from them follows
    // at once. The engine is the state's one writer while the device is open.
    void SetLocalCountry(const std::string &text);        // checked: 1 to 9 digits
    void SetDestinationCountry(const std::string &text);  // the same
    // Registers block:reg onwards (checked to fit the block).
    void WriteRegisters(int32_t block, int32_t reg, std::span<const uint8_t> values);
    void SetLeds(uint8_t mask);
    void LoadMelody(std::span<const uint8_t> bytes);
    void ProgramSerial(const std::string &serial);  // checked: TVX_SERIAL_LENGTH characters
    // The serial number and the settings back to the factory's: the whole
    // device (event 99) or the adapter's settings (100).
    void Erase(bool settingsOnly);
    // An event that confirms a call, reported now.
    void Report(int32_t code, int32_t param, int32_t side = 0, std::string detail = {});
    // The same, `delayMs` from now.
    void ReportLater(int32_t code, int32_t param, int32_t delayMs);

    // Events reported since the last call, in time order.
    std::vector<EngineEvent> TakeEvents();
    uint64_t DroppedEvents() const { return events_.Dropped(); }

    // Sound the adapter itself plays into the phone's earpiece (beside its tone generator).
    void PhonePlay(std::unique_ptr<Source> source) { earSources_.Add(std::move(source)); }

    // How play actions open their recordings when they fall due (sound files
    // stay outside the engine); without an opener a play action plays nothing.
    void SetPlayOpener(PlayOpener opener) { playOpener_ = std::move(opener); }
    // A source where an action of `target` plays: the far party (heard while
    // connected), the exchange onto the line (heard on hook too), the
    // handset's microphone, the PC (PC out). A live play request opens its
    // file itself (media/PlayFile.h's OpenPlay) and hands the source here.
    void Play(ActionTarget target, std::unique_ptr<Source> source);

    // Listeners of every block's audio (recording; later, analysis of the line).
    void AddTap(AudioTap *tap) { taps_.push_back(tap); }
    void RemoveTap(AudioTap *tap) { std::erase(taps_, tap); }
    // Live sound from outside (PC out, the microphone, the far party's voice), read once per block; may be null.
    void SetFeed(AudioFeed *feed) { feed_ = feed; }
    // A far line beyond the exchange (a SIP line), or null for the simulated
    // exchange alone; its calls go there, met once per block. The line must
    // outlive its use here: the engine calls it only inside Step().
    void SetFarLine(FarLine *line) { exchange_.SetFarLine(line, at_); }

    Exchange &GetExchange() { return exchange_; }
    const Exchange &GetExchange() const { return exchange_; }
    Handset &GetHandset() { return handset_; }
    const Handset &GetHandset() const { return handset_; }
    const Dialler &GetDialler() const { return dialler_; }
    const DeviceState &State() const { return state_; }
    bool LineOffHook() const { return lineOffHook_; }
    bool PhoneRinging() const { return phoneRinger_.Active(); }
    // The phone's bell sounded in the last block: a ringing voltage reached it
    // (the adapter's ringer, or the line's on a mode that puts the phone on the line).
    bool BellSounding() const { return bell_; }
    bool ToneGenerating() const { return phoneTones_.Playing(); }
    // Call waiting: the adapter has muted the phone (from the CAS until its message).
    bool CallWaitingMuted() const { return callerId_.MutesPhone(now_); }

private:
    // The audio of one block at each point, written segment by segment.
    struct Buffers {
        std::array<int16_t, kBlockSamples> lineTx, lineRx, earpiece, mic, keypad, pcIn, pcOut, dial, exchange,
            phoneRing, lineRing;
        std::array<std::array<int16_t, kBlockSamples>, kFeedTargets> fed;  // this block's live sound, by FeedInto
        std::array<int16_t, kBlockSamples> farLine;                        // the far line's call heard this block
    };

    void Refresh();
    // The handset's hook switch set by the user, reported when it changes.
    void SetPhoneHook(bool offHook);
    void UpdateHooks(SampleTime now);
    void ProcessSegment(size_t offset, size_t n);
    void StartDial();

    DeviceState &state_;    // settings, modes and switches (kept by the session across opens; written here only)
    SampleTime now_ = 0;    // start of the next block
    SampleTime at_ = 0;     // the time actions and confirmations happen at: inside a block, or now_
    Paths paths_;           // who hears whom, after the mode and the switches
    DialTimings timings_;   // the dialler's times from the parameters
    const TonePlan *plan_;  // the local country's tones

    Handset handset_;            // the phone: hook, keypad, microphone, caller-ID display
    Exchange exchange_;          // the line's exchange and its far party
    Dialler dialler_;            // the adapter's dial-code queue
    PhoneTones phoneTones_;      // the tone generator toward the phone
    Ringer phoneRinger_;         // the adapter's ringing voltage toward the phone
    RingDetector ringDetector_;  // ringing on the line (18, 19)
    ToneMonitor monitor_;        // the armed tones on the line (229)
    VoiceDetector voice_;        // voice and silence on the line (112, 113)
    DtmfReceiver lineDtmf_;      // DTMF from the line (48, side 2)
    DtmfReceiver phoneDtmf_;     // DTMF from the phone's microphone (48, side 1)
    bool lineDtmfOn_ = true;     // a light DTMF setting of 0 switches its receiver off
    bool phoneDtmfOn_ = true;    // the same for the phone's receiver
    SourceMixer pcSources_;      // what the PC plays (PC out)
    SourceMixer earSources_;     // what the adapter plays into the earpiece beside its tone generator

    EventQueue events_;       // reported events waiting to be taken, and confirmations due later
    CallerIdPaths callerId_;  // caller ID on the line and toward the phone
    bool reversed_ = false;   // the line's polarity as last reported (event 21)
    bool bell_ = false;       // the last block's ringing voltage at the phone was not silent

    bool usbSeized_ = false;           // the adapter holds the line (command 46, dialling, line hold)
    bool lineOffHook_ = false;         // the line is off hook, by the adapter or the handset
    SampleTime lineOffHookSince_ = 0;  // when the line went off hook (the dialler waits from there)

    std::vector<ScenarioAction> actions_;  // the scenario's actions, by time
    size_t nextAction_ = 0;                // the first not yet applied
    uint32_t speechSeed_ = 1;              // each speech or noise source gets its own
    PlayOpener playOpener_;                // opens the play actions' recordings (empty: none play)

    Buffers buf_{};                          // this block's audio
    bool farLineHeard_ = false;              // buf_.farLine holds the far line's voice of this block
    std::vector<AudioTap *> taps_;           // listeners of every block
    AudioFeed *feed_ = nullptr;              // live sound from outside, or none
    std::vector<LoopEdge> edges_;            // the dialler's loop breaks in a segment
    std::vector<DialEvent> dialEvents_;      // the dialler's events in a segment
    std::vector<MonitorHit> hits_;           // the tone monitor's output in a segment
    std::vector<VoiceChange> voiceChanges_;  // the voice detector's output in a segment
    std::vector<DtmfDigit> digits_;          // a DTMF receiver's output in a segment
    std::vector<RingEdge> rings_;            // the ring detector's output in a segment
};

}  // namespace tvxsim
