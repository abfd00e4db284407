// Records the adapter's audio points into a folder, one WAV file each:
// line-tx.wav, line-rx.wav, phone-earpiece.wav, phone-mic.wav, pc-in.wav and
// pc-out.wav. The headers are brought up to date every second of audio.
#pragma once

#include <array>
#include <string>

#include "simulator/engine/Engine.h"
#include "simulator/engine/WavWriter.h"

namespace tvxsim {

class Recorder : public AudioTap {
public:
    static constexpr std::array<const char *, 6> kFiles = {
        "line-tx.wav", "line-rx.wav", "phone-earpiece.wav", "phone-mic.wav", "pc-in.wav", "pc-out.wav"};
    static constexpr int kBlocksPerFlush = kSampleRate / kBlockSamples;  // a second

    // Creates the six files in `folder`. On failure returns false, with the
    // reason in error, and records nothing.
    bool Open(const std::string &folder, std::string &error);
    void Close();
    void OnBlock(const BlockAudio &block) override;

private:
    std::array<WavWriter, 6> files_;
    int blocks_ = 0;
};

}  // namespace tvxsim
