#include "simulator/engine/CallerIdPaths.h"

#include <algorithm>

#include "simulator/engine/DetectorEvents.h"
#include "simulator/engine/Routing.h"
#include "simulator/logic/CidCheck.h"
#include "simulator/logic/EventNames.h"
#include "simulator/logic/SimErrors.h"

namespace tvxsim {
namespace {

constexpr float kForwardDbm0 = -13.0f;  // a waiting caller passed on to the phone: the exchange's level

// The local country's caller-ID modem: Bell 202 in North America (country code 1), V.23 elsewhere.
CidModem LocalModem(const DeviceState &state) { return state.localCountry == "1" ? CidModem::Bell202 : CidModem::V23; }

}  // namespace

CidCall CallOf(const CallerIdSpec &request, const DeviceState &state, SampleTime at)
{
    bool northAmerican = LocalModem(state) == CidModem::Bell202;
    if (request.timing)
        northAmerican = *request.timing == CidTiming::NorthAmerican;
    else if (request.modem)
        northAmerican = *request.modem == CidModem::Bell202;
    CidContent content;
    content.name = request.name;
    content.number = request.number;
    content.absence = request.absence;
    content.dateTime = request.date.empty() ? CidDateAfterMinutes(SamplesToMs(at) / 60000) : request.date;
    CidCall call;
    call.message = BuildCallerIdMessage(request.format, content);
    call.modem = request.modem.value_or(northAmerican ? CidModem::Bell202 : CidModem::V23);
    call.etsi = !northAmerican;
    call.dbm0 = static_cast<float>(request.dbm0);
    return call;
}

CallerIdPaths::CallerIdPaths(const DeviceState &state, const Handset &handset, Ringer &phoneRinger,
                             SourceMixer &earSources, EventQueue &events)
    : state_(state), handset_(handset), phoneRinger_(phoneRinger), earSources_(earSources), events_(events)
{
}

void CallerIdPaths::ResetLine()
{
    lineCid_.Reset();
    lineAlert_.Reset();
    cwArmedUntil_ = cwMuteUntil_ = -1;
}

void CallerIdPaths::MixIntoLine(std::span<int16_t> lineTx)
{
    if (!adapterLine_.Empty())
        adapterLine_.MixInto(lineTx);
}

void CallerIdPaths::OnLine(std::span<const int16_t> lineRx, SampleTime t, bool lineOffHook)
{
    if (lineOffHook) {
        alerts_.clear();
        lineAlert_.Process(lineRx, t, alerts_);
        for (const AlertEdge &e : alerts_) {
            switch (e.kind) {
            case AlertEdge::Onset:
                cwMuteUntil_ = std::max(cwMuteUntil_, e.time + kAlertMuteMax);
                break;
            case AlertEdge::Alert:
                events_.Report(t, kEvCallWaitingAlert, state_.callWaiting ? 1 : 0);
                cwMuteUntil_ = e.time;
                if (state_.callWaiting) {
                    adapterLine_.Add(std::make_unique<DtmfSource>("D", kAckMs, 0));
                    cwArmedUntil_ = cwMuteUntil_ = e.time + kCallWaitingListen;
                    lineCid_.Reset();
                }
                break;
            case AlertEdge::Gone:
                cwMuteUntil_ = e.time;
                break;
            }
        }
    }
    const bool armed = lineOffHook && cwArmedUntil_ > t;
    if (!armed && (lineOffHook || (IsSilent(lineRx) && !lineCid_.Busy())))
        return;
    receptions_.clear();
    lineCid_.RequireSeizure(!lineOffHook);
    lineCid_.Process(lineRx, t, receptions_);
    PushEvents(events_, receptions_, armed);
    if (armed && !receptions_.empty()) {
        cwArmedUntil_ = cwMuteUntil_ = receptions_.back().time;  // the message is in: listening ends
        for (const CidReception &r : receptions_)
            if (r.fault == CidFault::None)
                Forward(r.bytes, r.time);
    }
}

void CallerIdPaths::Forward(const std::vector<uint8_t> &bytes, SampleTime at)
{
    if (generator_.Busy() || bytes.empty())
        return;  // the tool's own generation goes first
    CidGeneration job;
    job.msgType = bytes.front() == kSdmfCallerId ? kCidSdmf : kCidMdmf;
    job.message = bytes;
    job.message.push_back(CidChecksum(bytes));
    job.modem = LocalModem(state_);
    job.dbm0 = kForwardDbm0;
    job.callWaiting = true;
    job.waitAck = true;
    forwarding_ = true;
    generator_.Start(std::move(job), at);
}

int32_t CallerIdPaths::Generate(const CidGenRecord &record, SampleTime at)
{
    if (generator_.Busy())
        return kErrBusy;
    CidGeneration job;
    job.msgType = record.msgType;
    if (record.msgType == kCidDtmfC || record.msgType == kCidDtmfHash)
        job.dtmf = DtmfCallerIdOfRecord(record);
    else
        job.message = BuildCallerIdMessage(record.msgType == kCidSdmf ? CidFormat::Sdmf : CidFormat::Mdmf,
                                           CidContentOfRecord(record));
    job.modem = LocalModem(state_);
    job.dbm0 = CidSignalDbm0(record.signalLevel);
    job.callWaiting = (record.callFlags & kCallWaiting) != 0;
    job.waitAck = job.callWaiting && (record.callFlags & kWaitForAck) != 0;
    job.ring = !job.callWaiting && (record.sendFlags & kSendUseRinger) != 0;
    job.ringLength = ParamTime(state_, Param::RingerOn);
    shownAtStart_ = handset_.CallerId().Shown();
    generator_.Start(std::move(job), at);
    return kOk;
}

void CallerIdPaths::ToPhone(SampleTime t)
{
    CallerIdGenerator::Step step = generator_.Advance(t);
    if (step.ring && !handset_.OffHook()) {
        phoneRinger_.Start(
            state_.ringerHz, {static_cast<int32_t>(SamplesToMs(ParamTime(state_, Param::RingerOn))), 0, 0, 0}, 1);
        generatorRinging_ = true;
        events_.Report(t, kEvRingingStarted, 0);
    }
    if (step.play)
        earSources_.Add(std::move(step.play));
    if (step.finished && forwarding_) {
        forwarding_ = false;  // the adapter's own doing: the tool asked for nothing
        return;
    }
    if (step.finished) {
        const CallerIdPhone &phone = handset_.CallerId();
        const std::string shown = phone.Shown() != shownAtStart_ ? phone.Display() : std::string();
        events_.Report(t,
                       kEvCallerIdGenerated,
                       generator_.MsgType(),
                       0,
                       DescribeCidOutcome(generator_.MsgType(), step.acknowledged, shown));
    }
}

void CallerIdPaths::PhoneKey(char key, SampleTime time)
{
    if (key == 'D' || key == 'A')
        generator_.Ack(time);
}

void CallerIdPaths::AfterRinger(SampleTime t)
{
    if (generatorRinging_ && !phoneRinger_.Active()) {
        generatorRinging_ = false;
        events_.Report(t, kEvRingingStopped, 0);
    }
}

}  // namespace tvxsim
