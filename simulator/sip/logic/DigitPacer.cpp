#include "simulator/sip/logic/DigitPacer.h"

namespace tvxsim::sip {

bool DigitPacer::Push(const Entry &e)
{
    if (count_ == queue_.size()) {
        ++dropped_;
        return false;
    }
    queue_[(head_ + count_) % queue_.size()] = e;
    ++count_;
    return true;
}

void DigitPacer::Begin(char digit) { Push(Entry{digit, 0, false}); }

void DigitPacer::End()
{
    // The newest open digit that has not ended yet.
    for (size_t i = count_; i-- > 0;) {
        Entry &e = queue_[(head_ + i) % queue_.size()];
        if (e.durationMs == 0 && !e.ended) {
            e.ended = true;
            return;
        }
    }
}

void DigitPacer::Complete(char digit, int32_t durationMs)
{
    Push(Entry{
        digit, durationMs < static_cast<int32_t>(kMinDigitMs) ? static_cast<int32_t>(kMinDigitMs) : durationMs, true});
}

size_t DigitPacer::Due(int64_t nowMs, std::span<PacedDigit> out)
{
    size_t n = 0;
    while (count_ > 0 && n < out.size()) {
        Entry &front = queue_[head_];
        if (!playing_) {
            if (nowMs < lastEndMs_ + kMinGapMs)
                break;
            out[n++] = {PacedDigit::Kind::Start, front.digit, front.durationMs};
            playing_ = true;
            startedMs_ = nowMs;
            continue;
        }
        if (front.durationMs > 0) {
            // Known length: no End is sent; it has ended once its time is up.
            if (nowMs < startedMs_ + front.durationMs)
                break;
            lastEndMs_ = startedMs_ + front.durationMs;
        } else {
            if (!front.ended || nowMs < startedMs_ + kMinDigitMs)
                break;
            out[n++] = {PacedDigit::Kind::End, front.digit, 0};
            lastEndMs_ = nowMs;
        }
        playing_ = false;
        head_ = (head_ + 1) % queue_.size();
        --count_;
    }
    return n;
}

}  // namespace tvxsim::sip
