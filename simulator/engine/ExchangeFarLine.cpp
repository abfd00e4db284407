// The exchange's calls over the far line (a SIP line): what each of its
// events does to the call, the numbers dialled over it, hold and call
// waiting on a flash, the line rung again after the hook went down, and the
// far party's audio and digits. The rules are the exchange's; the far line
// only carries them.
#include <algorithm>

#include "simulator/engine/Exchange.h"

namespace tvxsim {

void Exchange::SetFarLine(FarLine *line, SampleTime now)
{
    if (line == farLine_)
        return;
    if (farLine_ != nullptr) {
        const bool onTheLine = farCall_ != 0;
        EndFarCalls();
        if (onTheLine && state_ == CallState::Connected)
            Enter(CallState::Cleared, now);  // as a far hang-up
        else if (onTheLine)
            Release(now);
    }
    farLine_ = line;
}

bool Exchange::FarNumber(const std::string &number) const
{
    if (farLine_ == nullptr || number.empty())
        return false;
    const std::vector<std::string> &local = farLine_->Plan().localNumbers;
    return std::find(local.begin(), local.end(), number) == local.end();
}

void Exchange::DialFar(SampleTime now)
{
    routed_ = number_;
    const FarCallId call = farLine_->Dial(number_);
    if (call == 0) {
        Enter(CallState::Reorder, now);  // the line cannot call now (not up yet, or the number is none it takes)
        return;
    }
    SetFarCall(call);
    farOutgoing_ = true;
    farDialledAt_ = now;
    answerAt_ = hangupAt_ = -1;
    Enter(CallState::Calling, now);
}

void Exchange::OnFarEvent(const FarLineEvent &e, const CidCall &cid, SampleTime now)
{
    const bool current = e.call != 0 && e.call == farCall_;
    switch (e.kind) {
    case FarLineEventKind::Incoming:
        if (farCall_ == 0 && farHeld_ == 0 && farWaiting_ == 0 && Call(cid, now).empty()) {
            SetFarCall(e.call);
            farRinging_ = true;
            farLine_->Alert(e.call);
        } else if (farCall_ != 0 && state_ == CallState::Connected && farWaiting_ == 0 && farHeld_ == 0 &&
                   !farLine_->Plan().relayFlash && CallWaiting(cid, now).empty()) {
            farWaiting_ = e.call;  // taken with a flash (or rung once the hook has gone down)
            farLine_->Alert(e.call);
        } else {
            farLine_->Refuse(e.call);  // a third call, or the line is not free for one
        }
        return;
    case FarLineEventKind::Cancelled:
        if (e.call == farWaiting_) {
            farWaiting_ = 0;
            CancelCallerId();
        } else if (current && state_ == CallState::Ringing) {
            SetFarCall(0);
            ringer_.Stop();
            Release(now);
        }
        return;
    case FarLineEventKind::Ringing:
        if (current && state_ == CallState::Calling)
            Enter(CallState::RingBack, now);
        return;
    case FarLineEventKind::EarlyMedia:
        if (current && (state_ == CallState::Calling || state_ == CallState::RingBack)) {
            farEarly_ = true;
            if (state_ == CallState::Calling)
                Enter(CallState::RingBack, now);  // local ring-back until the far end's audio comes
            if (farMedia_)
                StartTone(std::nullopt);
        }
        return;
    case FarLineEventKind::MediaStarted:
        if (!current)
            return;
        farMedia_ = true;
        if (farEarly_ && state_ == CallState::RingBack)
            StartTone(std::nullopt);  // the far end's own ring-back or announcement instead
        return;
    case FarLineEventKind::Answered:
        if (current && (state_ == CallState::Calling || state_ == CallState::RingBack))
            Connect(now, false);
        return;
    case FarLineEventKind::Busy:
    case FarLineEventKind::Failed:
        if (current && (state_ == CallState::Calling || state_ == CallState::RingBack)) {
            SetFarCall(0);
            Enter(e.kind == FarLineEventKind::Busy ? CallState::Busy : CallState::Reorder, now);
        }
        return;
    case FarLineEventKind::HungUp:
        if (e.call == farHeld_) {
            farHeld_ = 0;
            held_ = false;
        } else if (e.call == farWaiting_) {
            farWaiting_ = 0;
            CancelCallerId();
        } else if (current) {
            SetFarCall(0);
            if (state_ == CallState::Connected)
                FarHangup(now);  // what a far hang-up gives: busy tone
            else if (state_ == CallState::Ringing)
                Release(now);
            else
                Enter(CallState::Reorder, now);
        }
        return;
    case FarLineEventKind::DigitStart:
        if (current && state_ == CallState::Connected) {
            const char key[2] = {e.digit, '\0'};
            farDigit_ = std::make_unique<DtmfSource>(key, e.durationMs > 0 ? e.durationMs : kFarDigitMaxMs, 0);
        }
        return;
    case FarLineEventKind::DigitEnd:
        if (current)
            farDigit_.reset();
        return;
    }
}

void Exchange::FarAnswered(SampleTime)
{
    farRinging_ = false;
    if (farResume_)
        farLine_->Hold(farCall_, false);  // the call rung again was on hold
    else
        farLine_->Answer(farCall_);
    farResume_ = false;
}

bool Exchange::FarRecall(SampleTime now)
{
    if (farLine_ == nullptr)
        return false;
    if (state_ == CallState::Connected && farCall_ != 0 && farLine_->Plan().relayFlash) {
        farLine_->Flash(farCall_);  // the far end's own feature (transfer, its call waiting)
        return true;
    }
    if (state_ == CallState::Connected && farCall_ != 0 && farWaiting_ != 0) {
        EndFarDigit();
        farLine_->Hold(farCall_, true);  // take the waiting call, hold the first
        farLine_->Answer(farWaiting_);
        farHeld_ = farCall_;
        SetFarCall(farWaiting_);
        farWaiting_ = 0;
        held_ = true;
        return true;
    }
    if (state_ == CallState::Connected && farCall_ != 0 && farHeld_ != 0) {
        EndFarDigit();
        farLine_->Hold(farCall_, true);  // swap back
        farLine_->Hold(farHeld_, false);
        const FarCallId back = farHeld_;
        farHeld_ = farCall_;
        SetFarCall(back);
        return true;
    }
    if (state_ == CallState::Connected && farCall_ != 0) {
        EndFarDigit();
        farLine_->Hold(farCall_, true);  // on hold, with dial tone for another call
        farHeld_ = farCall_;
        SetFarCall(0);
        held_ = true;
        number_.clear();
        answerAt_ = -1;
        digits_.Reset();
        Enter(CallState::DialTone, now);
        return true;
    }
    if ((state_ == CallState::DialTone || state_ == CallState::Collecting) && farHeld_ != 0 && farCall_ == 0) {
        farLine_->Hold(farHeld_, false);  // back to the call on hold
        SetFarCall(farHeld_);
        farHeld_ = 0;
        held_ = false;
        number_.clear();
        Enter(CallState::Connected, now);
        return true;
    }
    return false;
}

void Exchange::FarReleased()
{
    EndFarDigit();
    if (farLine_ != nullptr && farCall_ != 0)
        farLine_->HangUp(farCall_);  // BYE, or CANCEL or 486 before an answer
    SetFarCall(0);
}

bool Exchange::RingAgain(SampleTime now)
{
    if (farLine_ == nullptr || (farHeld_ == 0 && farWaiting_ == 0))
        return false;
    // The hook went down with a call held or waiting: it rings the line, as an exchange does.
    const bool resume = farHeld_ != 0;
    SetFarCall(resume ? farHeld_ : farWaiting_);
    (resume ? farHeld_ : farWaiting_) = 0;
    farResume_ = resume;
    held_ = false;
    farRinging_ = true;
    StartRinging(-1);
    Enter(CallState::Ringing, now);
    return true;
}

void Exchange::EndFarCalls()
{
    if (farLine_ != nullptr)
        for (const FarCallId call : {farCall_, farHeld_, farWaiting_})
            if (call != 0)
                farLine_->HangUp(call);
    SetFarCall(0);
    farHeld_ = farWaiting_ = 0;
}

bool Exchange::BeginBlock(SampleTime now, const std::function<CidCall(const CallerIdSpec &)> &callOf,
                          std::span<int16_t> voice)
{
    if (farLine_ == nullptr)
        return false;
    for (FarLineEvent e; farLine_->Next(e);)
        OnFarEvent(e, e.kind == FarLineEventKind::Incoming ? callOf(e.caller) : CidCall{}, now);
    const bool heard = state_ == CallState::Connected || (state_ == CallState::RingBack && farEarly_);
    if (farCall_ == 0 || !heard)
        return false;
    farLine_->Hear(farCall_, voice);
    return true;
}

void Exchange::EndBlock(std::span<const int16_t> lineTx)
{
    if (farLine_ != nullptr && farCall_ != 0 && state_ == CallState::Connected)
        farLine_->Speak(farCall_, lineTx);
}

void Exchange::FarDigits(std::span<const int16_t> lineTx, SampleTime start)
{
    heard_.clear();
    digits_.Process(lineTx, start, heard_);
    if (!heard_.empty() && !farDigitOn_) {
        farLine_->DigitStart(farCall_, heard_.front().key);
        farDigitOn_ = true;
    }
    if (!digits_.KeyHeld())
        EndFarDigit();
}

void Exchange::EndFarDigit()
{
    if (farDigitOn_ && farLine_ != nullptr && farCall_ != 0)
        farLine_->DigitEnd(farCall_);
    farDigitOn_ = false;
}

void Exchange::SetFarCall(FarCallId call)
{
    farCall_ = call;
    farOutgoing_ = farEarly_ = farMedia_ = farRinging_ = farResume_ = false;
    farDigitOn_ = false;
    farDigit_.reset();
}

}  // namespace tvxsim
