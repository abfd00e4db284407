// The library's one session: initialise, open, close and shut down, the
// device state, and while open the signal engine, its recorder and the
// driver thread that runs it in real time.
//
// One mutex guards everything here. It is never held while the callback
// runs, nor while joining the driver thread, so a callback may call any API
// function, and ScClose on the UI thread waits for a callback in flight
// without deadlock. ScClose from inside the callback stops delivery without
// joining its own thread; the next close, open or shutdown from another
// thread joins it.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "device/tvxusb.h"
#include "simulator/Driver.h"
#include "simulator/audio/AudioBridge.h"
#include "simulator/audio/SoundServer.h"
#include "simulator/control/ControlDoor.h"
#include "simulator/control/ControlServer.h"
#include "simulator/engine/Engine.h"
#include "simulator/engine/LevelTap.h"
#include "simulator/engine/LineAnalyser.h"
#include "simulator/engine/Recorder.h"
#include "simulator/logic/DeviceState.h"
#include "simulator/sip/ConfiguredLine.h"

namespace tvxsim {

class SpectrumPainter;

class Session {
public:
    static Session &Instance();

    int32_t Initialize(ScEventCallback callback, void *context, int32_t *libraryVersion, void *spectrumWindow);
    int32_t Open();
    int32_t Close();
    int32_t Shutdown();

    // The state under the session's lock, for the API functions.
    class Locked {
    public:
        // Read only: while open the engine writes it (Engine's setters).
        const DeviceState &State() const { return session_.state_; }
        // The engine while the device is open, else nullptr.
        Engine *GetEngine() { return session_.engine_.get(); }
        int32_t RequireInitialised() const;
        int32_t RequireOpen() const;
        // Reports an event now; dropped when not open.
        void Post(int32_t code, int32_t param, int32_t side = 0, std::string detail = {});
        // Delivers what the engine has to report without waiting for the next tick.
        void Wake();
        // Keeps the caller's tone set (valid while initialised) and arms the engine's monitor with it.
        void ArmMonitor(const ToneMonitorEntry *set, int32_t count);
        SpectrumPainter *Painter() { return session_.painter_; }
        // Starts or stops the spectrum (the analyser and its painter) as the analysis switch stands.
        void SyncAnalysis() { session_.SyncAnalysisLocked(); }

    private:
        friend class Session;
        explicit Locked(Session &s) : session_(s), lock_(s.mutex_) {}
        Session &session_;
        std::unique_lock<std::mutex> lock_;
    };
    Locked Lock() { return Locked(*this); }

    ~Session();

private:
    // The control socket's requests, applied under the lock.
    class Control : public ControlDoor {
    public:
        explicit Control(Session &s) : session_(s) {}
        std::string Apply(std::string_view item) override;
        bool Snapshot(AdapterState &state) override;
        std::string Sound(SoundSwitch which, bool on) override;
        std::string LineSip(bool on) override;

    private:
        Session &session_;
    };

    Session() = default;
    // Listens on the control socket (the device is opening, the lock held);
    // false when another open device holds it.
    bool StartControlLocked();
    std::vector<std::shared_ptr<ControlServer>> TakeRetiredControl();
    void SyncAnalysisLocked();
    bool LookupToneRow(int32_t row, ToneMonitorEntry &entry, std::string &name);
    SampleTime Advance(const Driver &driver, SampleTime until, std::vector<EngineEvent> &out);
    // Stops the driver; returns the threads the caller must join (none on the driver thread).
    std::vector<std::shared_ptr<Driver>> StopLocked();
    // The SIP lines no engine calls any more, to destroy outside the lock.
    std::vector<std::unique_ptr<sip::ConfiguredLine>> TakeRetiredLines();
    std::vector<std::shared_ptr<Driver>> TakeRetired();

    std::mutex mutex_;
    DeviceState state_;
    bool initialised_ = false;
    bool open_ = false;
    ScEventCallback callback_ = nullptr;
    void *context_ = nullptr;
    SpectrumPainter *painter_ = nullptr;
    std::shared_ptr<AnalysisFeed> spectrum_ = std::make_shared<AnalysisFeed>();
    LineAnalyser analyser_{spectrum_};
    std::unique_ptr<Engine> engine_;
    Recorder recorder_;
    bool recording_ = false;
    std::shared_ptr<Driver> driver_;                // the open device's real-time thread
    std::shared_ptr<SoundServer> soundServer_;      // made at the first open that wants it; lives until exit
    std::shared_ptr<AudioBridge> bridge_;           // the open device's lanes to the sound server
    std::string scenario_;                          // what became of this open's scenario file, for the state lines
    bool audioOff_ = false;                         // TVXUSB_AUDIO=0 at this open, or another device has the nodes
    std::vector<std::shared_ptr<Driver>> retired_;  // stopped from their own thread, not joined yet
    LevelTap levels_;
    Control door_{*this};
    std::shared_ptr<ControlServer> control_;
    std::vector<std::shared_ptr<ControlServer>> retiredControl_;      // closed, to stop outside the lock
    std::unique_ptr<sip::ConfiguredLine> sipLine_;                    // the line's far end while open, or none
    std::vector<std::unique_ptr<sip::ConfiguredLine>> retiredLines_;  // detached, to destroy outside the lock
};

}  // namespace tvxsim
