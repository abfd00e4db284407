// Digits from the far end (RFC 4733 events, INFO) paced for the line: each
// digit lasts at least kMinDigitMs and follows the one before after at
// least kMinGapMs of silence, so that a receiver on the line counts every
// digit once, even when two of the same key arrive back to back.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace tvxsim::sip {

inline constexpr int64_t kMinDigitMs = 60;
inline constexpr int64_t kMinGapMs = 60;
inline constexpr size_t kPacedDigits = 8;  // digits waiting at most; more are dropped

struct PacedDigit {
    enum class Kind : uint8_t {
        Start,
        End
    };
    Kind kind = Kind::Start;
    char digit = 0;
    int32_t durationMs = 0;  // Start: > 0 it lasts that long (no End follows), 0 until End
    bool operator==(const PacedDigit &) const = default;
};

class DigitPacer {
public:
    // A digit of unknown length begins; its end comes with End().
    void Begin(char digit);
    // The digit of the last Begin() has ended.
    void End();
    // A digit of known length.
    void Complete(char digit, int32_t durationMs);

    // What is due at `nowMs`, written to `out`; returns how many.
    size_t Due(int64_t nowMs, std::span<PacedDigit> out);

    // Nothing is waiting or playing.
    bool Idle() const { return count_ == 0; }
    size_t Dropped() const { return dropped_; }

private:
    struct Entry {
        char digit = 0;
        int32_t durationMs = 0;  // 0: open until ended
        bool ended = false;      // an open digit's end has come
    };
    bool Push(const Entry &e);

    std::array<Entry, kPacedDigits> queue_{};  // front at head_
    size_t head_ = 0;
    size_t count_ = 0;
    bool playing_ = false;               // the front entry has been started
    int64_t startedMs_ = 0;              // when the front entry started
    int64_t lastEndMs_ = INT64_MIN / 2;  // when the last digit ended on the line
    size_t dropped_ = 0;                 // digits dropped because the queue was full
};

}  // namespace tvxsim::sip
