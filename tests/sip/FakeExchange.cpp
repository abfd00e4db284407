#include "tests/sip/FakeExchange.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <optional>
#include <sstream>

namespace tvxsim::sip::test {

namespace {

constexpr int kBlockMs = 20;
constexpr size_t kBlock = 160;
constexpr int kReportAfterMs = 35;  // the exchange's receiver reports a digit this far into its tone
constexpr int kClickSamples = 8;

const char *KindName(FarLineEventKind k)
{
    switch (k) {
    case FarLineEventKind::Incoming:
        return "Incoming";
    case FarLineEventKind::Cancelled:
        return "Cancelled";
    case FarLineEventKind::Ringing:
        return "Ringing";
    case FarLineEventKind::EarlyMedia:
        return "EarlyMedia";
    case FarLineEventKind::MediaStarted:
        return "MediaStarted";
    case FarLineEventKind::Answered:
        return "Answered";
    case FarLineEventKind::Busy:
        return "Busy";
    case FarLineEventKind::Failed:
        return "Failed";
    case FarLineEventKind::HungUp:
        return "HungUp";
    case FarLineEventKind::DigitStart:
        return "DigitStart";
    case FarLineEventKind::DigitEnd:
        return "DigitEnd";
    }
    return "?";
}

void Heard(void *user, const char *digits, int len)
{
    static_cast<std::string *>(user)->append(digits, static_cast<size_t>(len));
}

}  // namespace

FakeExchange::FakeExchange(FarLine &line) : line_(line)
{
    thread_ = std::thread([this] { Run(); });
}

FakeExchange::~FakeExchange()
{
    running_ = false;
    thread_.join();
    for (auto &[id, call] : calls_) {
        if (call.tx != nullptr)
            dtmf_tx_free(call.tx);
        if (call.rx != nullptr)
            dtmf_rx_free(call.rx);
    }
}

void FakeExchange::SetOnIncoming(OnIncoming what, int answerAfterMs)
{
    std::lock_guard<std::mutex> lock(mutex_);
    onIncoming_ = what;
    answerAfterMs_ = answerAfterMs;
}

void FakeExchange::SetIncomingPolicy(std::function<OnIncoming(int index)> policy, int answerAfterMs)
{
    std::lock_guard<std::mutex> lock(mutex_);
    policy_ = std::move(policy);
    answerAfterMs_ = answerAfterMs;
}

void FakeExchange::Pause(bool paused)
{
    std::lock_guard<std::mutex> lock(mutex_);
    paused_ = paused;
}

void FakeExchange::Post(std::function<void()> action)
{
    std::lock_guard<std::mutex> lock(mutex_);
    actions_.push_back(std::move(action));
}

FakeExchange::Call &FakeExchange::CallOf(FarCallId id)
{
    Call &c = calls_[id];
    if (c.rx == nullptr) {
        c.rx = dtmf_rx_init(nullptr, Heard, &c.heard);
        c.tx = dtmf_tx_init(nullptr);
        dtmf_tx_set_level(c.tx, -10, 2);
    }
    return c;
}

template <typename T> T FakeExchange::PostAndWait(std::function<T()> action, T late)
{
    struct Result {
        std::mutex lock;
        std::condition_variable cv;
        std::optional<T> value;
    };
    auto result = std::make_shared<Result>();
    Post([result, action = std::move(action)] {
        T value = action();
        std::lock_guard<std::mutex> l(result->lock);
        result->value = value;
        result->cv.notify_all();
    });
    std::unique_lock<std::mutex> l(result->lock);
    result->cv.wait_for(l, std::chrono::seconds(2), [&] { return result->value.has_value(); });
    return result->value.value_or(late);
}

FarCallId FakeExchange::Dial(const std::string &number)
{
    return PostAndWait<FarCallId>(
        [this, number] {
            const FarCallId id = line_.Dial(number);
            if (id != 0)
                CallOf(id);
            return id;
        },
        0);
}

void FakeExchange::Answer(FarCallId call)
{
    Post([this, call] {
        line_.Answer(call);
        CallOf(call).connected = true;
    });
}

void FakeExchange::Alert(FarCallId call)
{
    Post([this, call] { line_.Alert(call); });
}

void FakeExchange::Refuse(FarCallId call)
{
    Post([this, call] { line_.Refuse(call); });
}

void FakeExchange::HangUp(FarCallId call)
{
    Post([this, call] {
        line_.HangUp(call);
        CallOf(call).connected = false;
    });
}

void FakeExchange::Hold(FarCallId call, bool held)
{
    Post([this, call, held] {
        line_.Hold(call, held);
        CallOf(call).held = held;
    });
}

void FakeExchange::Flash(FarCallId call)
{
    Post([this, call] { line_.Flash(call); });
}

void FakeExchange::SendDigits(FarCallId call, const std::string &keys, int onMs, int offMs)
{
    Post([this, call, keys, onMs, offMs] {
        Call &c = CallOf(call);
        c.keys += keys;
        c.onMs = onMs;
        c.offMs = offMs;
    });
}

int64_t FakeExchange::Click(FarCallId call)
{
    return PostAndWait<int64_t>(
        [this, call] {
            CallOf(call).click = true;
            return blocks_.load();
        },
        -1);
}

void FakeExchange::SetSource(FarCallId call, std::function<void(std::span<int16_t>)> source)
{
    Post([this, call, source = std::move(source)]() mutable { CallOf(call).source = std::move(source); });
}

std::vector<std::string> FakeExchange::Log() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return log_;
}

std::vector<FarLineEvent> FakeExchange::Events() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return events_;
}

bool FakeExchange::WaitFor(FarLineEventKind kind, FarCallId call, int timeoutMs, FarLineEvent *event)
{
    std::unique_lock<std::mutex> lock(mutex_);
    const auto found = [&] {
        for (const FarLineEvent &e : events_) {
            if (e.kind == kind && (call == 0 || e.call == call)) {
                if (event != nullptr)
                    *event = e;
                return true;
            }
        }
        return false;
    };
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), found);
}

bool FakeExchange::WaitUntil(const std::function<bool()> &done, int timeoutMs)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end) {
        if (done())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return done();
}

std::string FakeExchange::DigitEvents(FarCallId call) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    const auto it = calls_.find(call);
    return it == calls_.end() ? std::string() : it->second.events;
}

std::string FakeExchange::HeardDigits(FarCallId call) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    const auto it = calls_.find(call);
    return it == calls_.end() ? std::string() : it->second.heard;
}

std::vector<int16_t> FakeExchange::Received(FarCallId call) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    const auto it = calls_.find(call);
    return it == calls_.end() ? std::vector<int16_t>() : it->second.received;
}

int64_t FakeExchange::FirstLoudSample(FarCallId call, int64_t fromBlock, int threshold) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    const auto it = calls_.find(call);
    if (it == calls_.end() || it->second.firstBlock < 0)
        return -1;
    const Call &c = it->second;
    const int64_t start = std::max<int64_t>(0, (fromBlock - c.firstBlock) * static_cast<int64_t>(kBlock));
    for (size_t i = static_cast<size_t>(start); i < c.received.size(); ++i) {
        if (std::abs(c.received[i]) > threshold)
            return c.firstBlock * static_cast<int64_t>(kBlock) + static_cast<int64_t>(i);
    }
    return -1;
}

void FakeExchange::Run()
{
    auto next = std::chrono::steady_clock::now();
    while (running_) {
        next += std::chrono::milliseconds(kBlockMs);
        std::this_thread::sleep_until(next);
        Block();
        blocks_.fetch_add(1);
    }
}

void FakeExchange::TakeEvents()
{
    if (paused_)
        return;
    FarLineEvent e;
    while (line_.Next(e)) {
        std::ostringstream text;
        text << KindName(e.kind) << " " << e.call;
        if (e.kind == FarLineEventKind::DigitStart) {
            text << " " << e.digit;
            CallOf(e.call).events.push_back(e.digit);
        }
        if (!e.reason.empty())
            text << " " << e.reason;
        log_.push_back(text.str());
        events_.push_back(e);
        switch (e.kind) {
        case FarLineEventKind::Incoming: {
            CallOf(e.call);
            const OnIncoming what = policy_ ? policy_(incomingSeen_) : onIncoming_;
            ++incomingSeen_;
            if (what == OnIncoming::Refuse) {
                line_.Refuse(e.call);
            } else if (what == OnIncoming::Alert || what == OnIncoming::AlertAnswer) {
                line_.Alert(e.call);
                if (what == OnIncoming::AlertAnswer)
                    answerIn_[e.call] = answerAfterMs_;
            }
            break;
        }
        case FarLineEventKind::EarlyMedia:
            CallOf(e.call).early = true;
            break;
        case FarLineEventKind::Answered:
            CallOf(e.call).connected = true;
            break;
        case FarLineEventKind::Cancelled:
        case FarLineEventKind::HungUp:
        case FarLineEventKind::Busy:
        case FarLineEventKind::Failed:
            CallOf(e.call).connected = false;
            CallOf(e.call).early = false;
            answerIn_.erase(e.call);
            break;
        default:
            break;
        }
    }
}

void FakeExchange::Transmit(FarCallId id, Call &c, std::span<int16_t> out)
{
    std::fill(out.begin(), out.end(), int16_t{0});
    if (c.source)
        c.source(out);
    if (c.click) {
        c.click = false;
        for (int i = 0; i < kClickSamples; ++i)
            out[static_cast<size_t>(i)] = 30000;
    }
    // DigitEnd 35 ms after a tone ended, DigitStart 35 ms into one.
    if (c.endInMs >= 0) {
        c.endInMs -= kBlockMs;
        if (c.endInMs <= 0) {
            line_.DigitEnd(id);
            c.endInMs = -1;
        }
    }
    if (c.toneLeftMs == 0 && c.gapLeftMs == 0 && !c.keys.empty()) {
        c.key = c.keys.front();
        c.keys.erase(c.keys.begin());
        c.toneLeftMs = c.onMs;
        c.toneMs = 0;
        c.reported = false;
        dtmf_tx_set_timing(c.tx, c.onMs, 0);
        const char k[2] = {c.key, 0};
        dtmf_tx_put(c.tx, k, 1);
    }
    if (c.toneLeftMs > 0) {
        if (!c.reported && c.toneMs + kBlockMs >= kReportAfterMs) {
            line_.DigitStart(id, c.key);
            c.reported = true;
        }
        const int ms = std::min(kBlockMs, c.toneLeftMs);
        std::array<int16_t, kBlock> tone{};
        dtmf_tx(c.tx, tone.data(), ms * 8);
        for (size_t i = 0; i < static_cast<size_t>(ms * 8); ++i)
            out[i] = static_cast<int16_t>(std::clamp(out[i] + tone[i], -32768, 32767));
        c.toneLeftMs -= ms;
        c.toneMs += ms;
        if (c.toneLeftMs == 0) {
            c.gapLeftMs = c.offMs;
            c.endInMs = kReportAfterMs + (kBlockMs - ms);
        }
    } else if (c.gapLeftMs > 0) {
        c.gapLeftMs = std::max(0, c.gapLeftMs - kBlockMs);
    }
}

void FakeExchange::Block()
{
    std::vector<std::function<void()>> actions;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        actions.swap(actions_);
    }
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto &a : actions)
        a();
    TakeEvents();
    for (auto it = answerIn_.begin(); it != answerIn_.end();) {
        it->second -= kBlockMs;
        if (it->second <= 0) {
            line_.Answer(it->first);
            CallOf(it->first).connected = true;
            it = answerIn_.erase(it);
        } else {
            ++it;
        }
    }
    for (auto &[id, c] : calls_) {
        if (!c.connected && !c.early)
            continue;
        if (c.connected) {
            std::array<int16_t, kBlock> tx{};
            Transmit(id, c, tx);
            line_.Speak(id, tx);
        }
        std::array<int16_t, kBlock> rx{};
        line_.Hear(id, rx);
        if (c.firstBlock < 0)
            c.firstBlock = blocks_.load();
        c.received.insert(c.received.end(), rx.begin(), rx.end());
        dtmf_rx(c.rx, rx.data(), static_cast<int>(rx.size()));
    }
    changed_.notify_all();
}

}  // namespace tvxsim::sip::test
