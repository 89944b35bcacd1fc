#include "backends/sim/SimWorld.h"

#include <algorithm>
#include <sstream>
#include <stdexcept>

#include "backends/sim/SimObjects.h"
#include "backends/sim/SimWorldInternal.h"
#include "callapi/AutomationError.h"
#include "platform/Trace.h"

namespace velto::skype::sim {

using platform::Millis;
using namespace world_detail;

// --- calls ---

int32_t SimWorld::IncomingCall(const std::string& handle, CallOptions options) {
    std::lock_guard guard(mutex_);
    if (!signedIn_) {
        throw std::logic_error("IncomingCall: nobody is signed in to Skype");
    }
    PumpLocked();
    auto call = std::make_unique<CallState_>();
    CallInfo& info = call->info;
    info.id = nextCallId_;
    nextCallId_ += 7;
    info.partnerHandle = handle;
    info.partnerDisplayName = options.partnerDisplayName;
    if (info.partnerDisplayName.empty()) {
        if (const SimContact* contact = ContactLocked(handle)) {
            info.partnerDisplayName = contact->displayName;
        }
    }
    info.type = options.type;
    info.videoSend = options.videoSend;
    info.videoReceive = options.videoReceive;
    if (!options.voiceFile.empty()) {
        std::string error;
        if (auto samples = ReadVoiceSamples(options.voiceFile, &error)) {
            call->voice =
                CallerVoice(std::make_shared<const std::vector<int16_t>>(std::move(*samples)));
        } else {
            info.recordingErrors.push_back("voice file: " + error);
        }
    }
    if (options.talksFor) {
        call->voice.TalkFor(*options.talksFor);
    }
    int32_t id = info.id;
    CallState_& placed = *call;
    calls_[id] = std::move(call);
    bool incoming = IsIncoming(options.type);
    SetStatusLocked(placed, incoming ? CallStatus::Ringing : CallStatus::Routing);
    if (incoming && autoAnswer_) {
        SetStatusLocked(placed, CallStatus::InProgress);
    }
    return id;
}

int32_t SimWorld::OutgoingCall(const std::string& handle) {
    CallOptions options;
    options.type = CallType::OutgoingP2P;
    return IncomingCall(handle, options);
}

void SimWorld::SetCallStatus(int32_t id, CallStatus status) {
    std::lock_guard guard(mutex_);
    PumpLocked();
    SetStatusLocked(CallLocked(id), status);
}

void SimWorld::CallerHangsUp(int32_t id) {
    std::lock_guard guard(mutex_);
    PumpLocked();
    CallState_& call = CallLocked(id);
    EndLocked(call, CallStatus::Missed, CallStatus::Refused);
}

void SimWorld::SetVideoStatus(int32_t id, VideoStatus send, VideoStatus receive) {
    std::lock_guard guard(mutex_);
    CallState_& call = CallLocked(id);
    if (call.info.videoSend == send && call.info.videoReceive == receive) {
        return;
    }
    call.info.videoSend = send;
    call.info.videoReceive = receive;
    NotifyWatchersLocked(call, CallChange::Video);
}

CallInfo SimWorld::CallSnapshot(int32_t id) const {
    return CallState(id);
}

CallInfo SimWorld::CallState(int32_t id) const {
    std::lock_guard guard(mutex_);
    const_cast<SimWorld*>(this)->PumpLocked();
    const CallState_& call = CallLocked(id);
    CallInfo info = call.info;
    const Millis now = clock_.Now();
    if (call.speakerSegment >= 0) {
        info.localOutput[static_cast<size_t>(call.speakerSegment)].end = now;
    }
    if (call.microphoneSegment >= 0) {
        info.heardUser[static_cast<size_t>(call.microphoneSegment)].end = now;
    }
    return info;
}

std::vector<int32_t> SimWorld::CallIds() const {
    std::lock_guard guard(mutex_);
    std::vector<int32_t> ids;
    for (const auto& [id, call] : calls_) {
        ids.push_back(id);
    }
    return ids;
}

Millis SimWorld::LongestToneGap(int32_t id) const {
    return LongestGap(CallState(id).heard);
}

SimWorld::CallState_& SimWorld::CallLocked(int32_t id) {
    auto found = calls_.find(id);
    if (found == calls_.end()) {
        throw std::out_of_range("no simulated call " + std::to_string(id));
    }
    return *found->second;
}

const SimWorld::CallState_& SimWorld::CallLocked(int32_t id) const {
    return const_cast<SimWorld*>(this)->CallLocked(id);
}

std::string SimWorld::PartnerHandleOf(int32_t id) const {
    std::lock_guard guard(mutex_);
    return CallLocked(id).info.partnerHandle;
}

std::string SimWorld::PartnerDisplayNameOf(int32_t id) const {
    std::lock_guard guard(mutex_);
    return CallLocked(id).info.partnerDisplayName;
}

CallType SimWorld::TypeOf(int32_t id) const {
    std::lock_guard guard(mutex_);
    return CallLocked(id).info.type;
}

CallStatus SimWorld::StatusOf(int32_t id) {
    std::lock_guard guard(mutex_);
    CallInfo& info = CallLocked(id).info;
    ++info.statusReads;
    return info.status;
}

VideoStatus SimWorld::VideoStatusOf(int32_t id, bool send) const {
    std::lock_guard guard(mutex_);
    const CallInfo& info = CallLocked(id).info;
    return send ? info.videoSend : info.videoReceive;
}

uint64_t SimWorld::Watch(int32_t id, std::function<void(CallChange)> changed) {
    std::lock_guard guard(mutex_);
    const uint64_t token = nextWatch_++;
    CallLocked(id).watchers.emplace_back(token, std::move(changed));
    return token;
}

void SimWorld::Unwatch(int32_t id, uint64_t token) {
    std::lock_guard guard(mutex_);
    const auto found = calls_.find(id);
    if (found != calls_.end()) {
        std::erase_if(found->second->watchers, [&](const auto& w) { return w.first == token; });
    }
}

void SimWorld::NotifyWatchersLocked(CallState_& call, CallChange change) {
    for (const auto& [token, changed] : call.watchers) {
        changed(change);
    }
}

void SimWorld::ScheduleInputEndsLocked() {
    std::optional<Millis> earliest;
    for (const int32_t id : inputEnds_) {
        const Millis end = calls_.at(id)->playingUntil;
        earliest = earliest ? std::min(*earliest, end) : end;
    }
    alarm_->Set(earliest);
}

void SimWorld::ReportInputEnds() {
    std::lock_guard guard(mutex_);
    const Millis now = clock_.Now();
    for (auto it = inputEnds_.begin(); it != inputEnds_.end();) {
        CallState_& call = *calls_.at(*it);
        if (call.playingUntil <= now) {
            it = inputEnds_.erase(it);
            NotifyWatchersLocked(call, CallChange::InputEnded);
        } else {
            ++it;
        }
    }
    ScheduleInputEndsLocked();
}

// Only a recording call changes with time alone; every other call is computed from the
// clock when it is read.
void SimWorld::PumpLocked() {
    const Millis now = clock_.Now();
    for (const int32_t id : recording_) {
        CallState_& call = *calls_.at(id);
        call.recorder->Advance(now, call.info.status == CallStatus::InProgress);
    }
}

void SimWorld::SetStatusLocked(CallState_& call, CallStatus status) {
    if (call.info.status == status) {
        return;
    }
    call.info.status = status;
    call.info.statusHistory.push_back(status);
    if (IsFinal(status)) {
        EndInputLocked(call);
        EndRecordingLocked(call);
        call.info.videoSend = VideoStatus::NotAvailable;
        call.info.videoReceive = VideoStatus::NotAvailable;
    }
    UpdateLocalSoundLocked(call);
    PostToAttachedLocked(
        PendingEvent{EventId::CallStatus, {CallArg(call.info.id), IntArg(ToInt(status))}});
    NotifyWatchersLocked(call, CallChange::Status);
}

void SimWorld::EndInputLocked(CallState_& call) {
    Millis now = clock_.Now();
    if (call.playingSegment >= 0) {
        auto& segment = call.info.heard[static_cast<size_t>(call.playingSegment)];
        segment.end = std::min(segment.end, now);
        call.playingSegment = -1;
    }
    call.playingUntil = std::min(call.playingUntil, now);
    // A file cut short, or ended with the call, is not reported as played to its end.
    if (inputEnds_.erase(call.info.id) > 0) {
        ScheduleInputEndsLocked();
    }
}

void SimWorld::EndRecordingLocked(CallState_& call) {
    if (!call.recorder) {
        return;
    }
    // Pumped already: nothing of the time since is the caller's.
    if (!call.recorder->Finish(clock_.Now(), false)) {
        call.info.recordingErrors.push_back("writing " + call.recorder->path().string() +
                                            " failed");
    }
    call.recorder.reset();
    recording_.erase(call.info.id);
}

void SimWorld::SetDevice(int32_t id, Device device, DeviceKind kind, const std::string& text) {
    std::lock_guard guard(mutex_);
    PumpLocked();
    CallState_& call = CallLocked(id);
    Millis now = clock_.Now();
    DeviceSetting setting{kind, text};
    call.info.deviceChanges.push_back(DeviceChange{now, device, setting});
    bool live = !IsFinal(call.info.status);
    switch (device) {
        case Device::Input: {
            call.info.input = setting;
            EndInputLocked(call);
            if (kind == DeviceKind::File && !text.empty() && live) {
                Millis duration = WavFileDuration(text);
                if (duration.count() > 0) {
                    call.info.heard.push_back(HeardSegment{text, now, now + duration});
                    call.playingSegment = static_cast<int>(call.info.heard.size()) - 1;
                    call.playingUntil = now + duration;
                } else {
                    ++call.info.silentPlays;  // over at once, and reported so
                }
                inputEnds_.insert(id);
                ScheduleInputEndsLocked();
            }
            break;
        }
        case Device::Output: {
            call.info.output = setting;
            EndRecordingLocked(call);
            if (kind == DeviceKind::File && !text.empty() && live) {
                auto recorder = std::make_unique<CallRecorder>(call.voice, text);
                std::string error;
                if (recorder->Start(now, &error)) {
                    call.recorder = std::move(recorder);
                    recording_.insert(id);
                    call.info.recordings.emplace_back(text);
                } else {
                    call.info.recordingErrors.push_back(error);
                }
            }
            break;
        }
        case Device::CaptureMic:
            call.info.captureMic = setting;
            break;
    }
    UpdateLocalSoundLocked(call);
}

void SimWorld::SetListenInRefused(bool refused) {
    std::lock_guard guard(mutex_);
    listenInRefused_ = refused;
}

void SimWorld::ListenIn(int32_t id, bool on) {
    std::lock_guard guard(mutex_);
    PumpLocked();
    CallState_& call = CallLocked(id);
    if (listenInRefused_ && on) {
        throw AutomationError(kFail, "ListenIn: not available");
    }
    call.info.listening = on;
    UpdateLocalSoundLocked(call);
}

// The computer's speaker plays the caller while the program listens in or the output is
// the sound card; the caller hears the computer while the input is the sound card. Both
// only while the call is in progress.
void SimWorld::UpdateLocalSoundLocked(CallState_& call) {
    const bool live = call.info.status == CallStatus::InProgress;
    const DeviceSetting devices{DeviceKind::SoundCard, "default"};
    const bool speaker = live && (call.info.listening || call.info.output == devices);
    const bool microphone = live && call.info.input == devices;
    const Millis now = clock_.Now();
    const auto update = [now](bool on, int& open, std::vector<HeardSegment>& stretches,
                              const char* what) {
        if (on && open < 0) {
            stretches.push_back(HeardSegment{what, now, now});
            open = static_cast<int>(stretches.size()) - 1;
        } else if (!on && open >= 0) {
            stretches[static_cast<size_t>(open)].end = now;
            open = -1;
        }
    };
    update(speaker, call.speakerSegment, call.info.localOutput, "caller");
    update(microphone, call.microphoneSegment, call.info.heardUser, "microphone");
}

std::string SimWorld::RecordingSoFar(int32_t id) {
    std::lock_guard guard(mutex_);
    PumpLocked();
    const CallState_& call = CallLocked(id);
    return call.recorder ? call.recorder->path().string() : std::string();
}

bool SimWorld::InputPlaying(int32_t id) {
    std::lock_guard guard(mutex_);
    CallState_& call = CallLocked(id);
    ++call.info.inputReads;
    return call.info.input.kind == DeviceKind::File && !call.info.input.text.empty() &&
           !IsFinal(call.info.status) && clock_.Now() < call.playingUntil;
}

std::string SimWorld::DeviceText(int32_t id, Device device, DeviceKind kind) {
    std::lock_guard guard(mutex_);
    const CallState_& call = CallLocked(id);
    const DeviceSetting& setting = device == Device::Input    ? call.info.input
                                   : device == Device::Output ? call.info.output
                                                              : call.info.captureMic;
    if (setting.kind != kind) {
        return {};
    }
    if (device == Device::Input && kind == DeviceKind::File && clock_.Now() >= call.playingUntil) {
        return {};
    }
    return setting.text;
}

void SimWorld::Answer(int32_t id) {
    std::lock_guard guard(mutex_);
    PumpLocked();
    CallState_& call = CallLocked(id);
    ++call.info.answers;
    if (!IsIncoming(call.info.type) || call.info.status != CallStatus::Ringing) {
        throw AutomationError(kFail, "Answer: call " + std::to_string(id) + " is not ringing");
    }
    SetStatusLocked(call, CallStatus::InProgress);
}

void SimWorld::Finish(int32_t id) {
    std::lock_guard guard(mutex_);
    PumpLocked();
    CallState_& call = CallLocked(id);
    ++call.info.finishes;
    EndLocked(call, CallStatus::Refused, CallStatus::Cancelled);
}

// A call hung up while still ringing ends as `ringingIncoming` or `ringingOutgoing` by its
// direction; one in progress ends as finished; one already over stays as it is.
void SimWorld::EndLocked(CallState_& call, CallStatus ringingIncoming, CallStatus ringingOutgoing) {
    if (IsFinal(call.info.status)) {
        return;
    }
    if (IsRingingPhase(call.info.status)) {
        SetStatusLocked(call, IsIncoming(call.info.type) ? ringingIncoming : ringingOutgoing);
    } else {
        SetStatusLocked(call, CallStatus::Finished);
    }
}

void SimWorld::SetVideo(int32_t id, bool send, bool start) {
    std::lock_guard guard(mutex_);
    CallInfo& info = CallLocked(id).info;
    VideoStatus& status = send ? info.videoSend : info.videoReceive;
    int& count = send ? (start ? info.videoSendStarts : info.videoSendStops)
                      : (start ? info.videoReceiveStarts : info.videoReceiveStops);
    ++count;
    if (start && (status == VideoStatus::Available || status == VideoStatus::Paused ||
                  status == VideoStatus::Stopping)) {
        status = VideoStatus::Running;
        NotifyWatchersLocked(CallLocked(id), CallChange::Video);
    } else if (!start && (status == VideoStatus::Starting || status == VideoStatus::Running)) {
        status = VideoStatus::Available;
        NotifyWatchersLocked(CallLocked(id), CallChange::Video);
    }
}

}  // namespace velto::skype::sim
