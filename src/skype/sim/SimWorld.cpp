#include "skype/sim/SimWorld.h"

#include <algorithm>
#include <cctype>
#include <sstream>
#include <stdexcept>

#include "platform/Trace.h"
#include "skype/api/AutomationError.h"
#include "skype/sim/CallRecorder.h"
#include "skype/sim/SimObjects.h"
#include "skype/sim/SimWav.h"

namespace velto::skype::sim {

using platform::Millis;

struct SimWorld::CallState_ {
    CallInfo info;
    CallerVoice voice;
    Millis playingUntil{0};
    int playingSegment = -1;  // index in info.heard of the file now playing, or -1
    std::unique_ptr<CallRecorder> recorder;
};

namespace {

bool IsFinal(CallStatus status) {
    switch (status) {
        case CallStatus::Failed:
        case CallStatus::Finished:
        case CallStatus::Missed:
        case CallStatus::Refused:
        case CallStatus::Busy:
        case CallStatus::Cancelled:
        case CallStatus::Transferred:
            return true;
        default:
            return false;
    }
}

bool IsRingingPhase(CallStatus status) {
    return status == CallStatus::Unplaced || status == CallStatus::Routing ||
           status == CallStatus::EarlyMedia || status == CallStatus::Ringing;
}

bool IsIncoming(CallType type) {
    return type == CallType::IncomingP2P || type == CallType::IncomingPstn;
}

std::string Upper(std::string text) {
    for (auto& c : text) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

SimWorld::ArgRef IntArg(int32_t value) {
    SimWorld::ArgRef arg;
    arg.kind = SimWorld::ArgRef::Kind::Int;
    arg.number = value;
    return arg;
}

SimWorld::ArgRef CallArg(int32_t id) {
    SimWorld::ArgRef arg;
    arg.kind = SimWorld::ArgRef::Kind::Call;
    arg.number = id;
    return arg;
}

SimWorld::ArgRef NamedArg(SimWorld::ArgRef::Kind kind, std::string text) {
    SimWorld::ArgRef arg;
    arg.kind = kind;
    arg.text = std::move(text);
    return arg;
}

}  // namespace

std::shared_ptr<SimWorld> SimWorld::Create(platform::Clock& clock) {
    return std::shared_ptr<SimWorld>(new SimWorld(clock));
}

SimWorld::SimWorld(platform::Clock& clock) : clock_(clock) {}

SimWorld::~SimWorld() {
    for (auto& [id, call] : calls_) {
        if (call->recorder) {
            call->recorder->Finish(clock_.Now(), call->info.status == CallStatus::InProgress);
        }
    }
}

// --- factory and client ---

std::shared_ptr<Skype> SimWorld::CreateSkype(platform::MessageLoop& loop) {
    std::lock_guard guard(mutex_);
    if (!creatable_) {
        return nullptr;
    }
    if (!loop.IsLoopThread()) {
        violations_.push_back(
            "Skype object created on a thread that does not own its message loop");
    }
    auto client = std::make_shared<Client>();
    client->loop = &loop;
    client->owner = std::this_thread::get_id();
    clients_.push_back(client);
    return std::make_shared<SimSkype>(shared_from_this(), client);
}

void SimWorld::SetCreatable(bool creatable) {
    std::lock_guard guard(mutex_);
    creatable_ = creatable;
}

void SimWorld::SetVersion(std::string version) {
    std::lock_guard guard(mutex_);
    version_ = std::move(version);
}

void SimWorld::SetCurrentUser(std::string handle, std::string fullName, std::string displayName) {
    std::lock_guard guard(mutex_);
    me_.handle = std::move(handle);
    me_.fullName = std::move(fullName);
    me_.displayName = std::move(displayName);
}

void SimWorld::SetAuthorizationPolicy(AuthorizationPolicy policy) {
    std::lock_guard guard(mutex_);
    policy_ = policy;
}

void SimWorld::StartSkype() {
    std::lock_guard guard(mutex_);
    running_ = true;
}

void SimWorld::SignIn() {
    std::lock_guard guard(mutex_);
    PumpLocked();
    running_ = true;
    if (signedIn_) {
        return;
    }
    signedIn_ = true;
    for (auto& weak : clients_) {
        if (auto client = weak.lock(); client && client->status != AttachmentStatus::Success) {
            client->attachRequested = false;
            SetClientStatusLocked(*client, AttachmentStatus::Available, false);
        }
    }
}

void SimWorld::SignOut() {
    std::lock_guard guard(mutex_);
    PumpLocked();
    for (auto& [id, call] : calls_) {
        if (!IsFinal(call->info.status)) {
            SetStatusLocked(*call, IsRingingPhase(call->info.status) ? CallStatus::Missed
                                                                     : CallStatus::Finished);
        }
    }
    signedIn_ = false;
    for (auto& weak : clients_) {
        if (auto client = weak.lock()) {
            client->attachRequested = false;
            SetClientStatusLocked(*client, AttachmentStatus::NotAvailable, false);
        }
    }
}

void SimWorld::ExitSkype() {
    SignOut();
    std::lock_guard guard(mutex_);
    running_ = false;
}

void SimWorld::UserGrants() {
    std::lock_guard guard(mutex_);
    authorized_ = true;
    ReevaluateAllLocked();
}

void SimWorld::UserRefuses() {
    std::lock_guard guard(mutex_);
    authorized_ = false;
    ReevaluateAllLocked();
}

void SimWorld::BroadcastAttachmentStatus(AttachmentStatus status) {
    std::lock_guard guard(mutex_);
    for (auto& weak : clients_) {
        if (auto client = weak.lock()) {
            SetClientStatusLocked(*client, status, true);
        }
    }
}

void SimWorld::SetUserStatus(UserStatus status) {
    std::lock_guard guard(mutex_);
    PostToAttachedLocked(PendingEvent{EventId::UserStatus, {IntArg(ToInt(status))}});
}

void SimWorld::SetAutoAnswer(bool on) {
    std::lock_guard guard(mutex_);
    autoAnswer_ = on;
}

int SimWorld::AttachRequests() const {
    std::lock_guard guard(mutex_);
    return attachRequests_;
}

bool SimWorld::IsSignedIn() const {
    std::lock_guard guard(mutex_);
    return signedIn_;
}

void SimWorld::ClientAttach(const std::shared_ptr<Client>& client) {
    std::lock_guard guard(mutex_);
    ++attachRequests_;
    client->attachRequested = true;
    EvaluateAttachLocked(*client);
}

AttachmentStatus SimWorld::ClientStatus(const Client& client) const {
    std::lock_guard guard(mutex_);
    return client.status;
}

void SimWorld::RequireAttached(const Client& client, const char* operation) const {
    std::lock_guard guard(mutex_);
    if (client.status != AttachmentStatus::Success) {
        throw AutomationError(kNotAttached, std::string(operation) + ": Skype is not attached");
    }
}

void SimWorld::EvaluateAttachLocked(Client& client) {
    if (!running_ || !signedIn_) {
        SetClientStatusLocked(client, AttachmentStatus::NotAvailable, false);
        return;
    }
    if (client.status == AttachmentStatus::Success || !client.attachRequested) {
        return;
    }
    if (!authorized_ && policy_ != AuthorizationPolicy::AskUser) {
        authorized_ = policy_ == AuthorizationPolicy::Grant;
    }
    if (!authorized_) {
        SetClientStatusLocked(client, AttachmentStatus::PendingAuthorization, false);
        return;
    }
    if (*authorized_) {
        client.attachRequested = false;
        SetClientStatusLocked(client, AttachmentStatus::Success, false);
    } else {
        // The request stands: should the user allow the program later, it is served.
        SetClientStatusLocked(client, AttachmentStatus::Refused, false);
    }
}

void SimWorld::ReevaluateAllLocked() {
    for (auto& weak : clients_) {
        if (auto client = weak.lock(); client && client->attachRequested) {
            EvaluateAttachLocked(*client);
        }
    }
}

void SimWorld::SetClientStatusLocked(Client& client, AttachmentStatus status, bool force) {
    if (client.status == status && !force) {
        return;
    }
    client.status = status;
    PostLocked(client, PendingEvent{EventId::AttachmentStatus, {IntArg(ToInt(status))}});
}

// --- events ---

void SimWorld::PostLocked(Client& client, PendingEvent pending) {
    std::weak_ptr<SimWorld> weakWorld = weak_from_this();
    std::weak_ptr<Client> weakClient;
    for (auto& weak : clients_) {
        if (auto locked = weak.lock(); locked.get() == &client) {
            weakClient = locked;
        }
    }
    client.loop->Post([weakWorld, weakClient, pending = std::move(pending)] {
        auto world = weakWorld.lock();
        auto target = weakClient.lock();
        if (!world || !target) {
            return;
        }
        Event event = MakeEvent(world, pending);
        for (EventSink* sink : world->Sinks(*target)) {
            if (!world->IsAdvised(*target, sink)) {
                continue;  // unsubscribed by an earlier sink of this event
            }
            try {
                sink->OnEvent(event);
            } catch (const std::exception& e) {
                platform::Trace("Skype event %d: sink %d failed: %s\n", static_cast<int>(event.id),
                                sink->SinkId(), e.what());
            }
        }
    });
}

void SimWorld::PostToAttachedLocked(const PendingEvent& pending) {
    for (auto& weak : clients_) {
        if (auto client = weak.lock(); client && client->status == AttachmentStatus::Success) {
            PostLocked(*client, pending);
        }
    }
}

bool SimWorld::Advise(Client& client, EventSink& sink) {
    std::lock_guard guard(mutex_);
    if (std::find(client.sinks.begin(), client.sinks.end(), &sink) == client.sinks.end()) {
        client.sinks.push_back(&sink);
    }
    return true;
}

void SimWorld::Unadvise(Client& client, EventSink& sink) {
    std::lock_guard guard(mutex_);
    std::erase(client.sinks, &sink);
}

std::vector<EventSink*> SimWorld::Sinks(const Client& client) const {
    std::lock_guard guard(mutex_);
    return client.sinks;
}

bool SimWorld::IsAdvised(const Client& client, EventSink* sink) const {
    std::lock_guard guard(mutex_);
    return std::find(client.sinks.begin(), client.sinks.end(), sink) != client.sinks.end();
}

// --- contacts and the signed-in user ---

void SimWorld::AddContact(SimContact contact) {
    std::lock_guard guard(mutex_);
    auto found = std::find_if(contacts_.begin(), contacts_.end(),
                              [&](const SimContact& c) { return c.handle == contact.handle; });
    if (found != contacts_.end()) {
        *found = std::move(contact);
    } else {
        contacts_.push_back(std::move(contact));
    }
}

void SimWorld::RemoveContact(const std::string& handle) {
    std::lock_guard guard(mutex_);
    std::erase_if(contacts_, [&](const SimContact& c) { return c.handle == handle; });
}

void SimWorld::SetOnlineStatus(const std::string& handle, skype::OnlineStatus status) {
    std::lock_guard guard(mutex_);
    for (auto& contact : contacts_) {
        if (contact.handle == handle && contact.onlineStatus != status) {
            contact.onlineStatus = status;
            PostToAttachedLocked(
                PendingEvent{EventId::OnlineStatus,
                             {NamedArg(ArgRef::Kind::User, handle), IntArg(ToInt(status))}});
        }
    }
}

void SimWorld::SetBlocked(const std::string& handle, bool blocked) {
    std::lock_guard guard(mutex_);
    for (auto& contact : contacts_) {
        if (contact.handle == handle) {
            contact.blocked = blocked;
        }
    }
}

std::vector<SimContact> SimWorld::Contacts() const {
    std::lock_guard guard(mutex_);
    return contacts_;
}

std::string SimWorld::CurrentUserHandle() const {
    std::lock_guard guard(mutex_);
    return me_.handle;
}

std::string SimWorld::Version() const {
    std::lock_guard guard(mutex_);
    return version_;
}

std::optional<SimContact> SimWorld::FindUser(const std::string& handle) const {
    std::lock_guard guard(mutex_);
    if (handle == me_.handle) {
        return me_;
    }
    for (const auto& contact : contacts_) {
        if (contact.handle == handle) {
            return contact;
        }
    }
    return std::nullopt;
}

std::vector<std::string> SimWorld::FriendHandles() const {
    std::lock_guard guard(mutex_);
    std::vector<std::string> handles;
    for (const auto& contact : contacts_) {
        handles.push_back(contact.handle);
    }
    return handles;
}

// --- commands and chat ---

std::string SimWorld::RunCommand(const std::string& text) {
    std::lock_guard guard(mutex_);
    std::istringstream words(text);
    std::string first, second, name;
    words >> first >> second >> name;
    first = Upper(first);
    second = Upper(second);
    std::string reply;
    if (first == "CREATE" && second == "APPLICATION" && !name.empty()) {
        apps_[name].created = true;
        reply = "CREATE APPLICATION " + name;
    } else if (first == "DELETE" && second == "APPLICATION" && apps_.count(name) == 1) {
        apps_.erase(name);
        reply = "DELETE APPLICATION " + name;
    } else if (first == "PING") {
        reply = "PONG";
    } else {
        reply = "ERROR 2 Unknown command";
    }
    commands_.push_back(ReceivedCommand{clock_.Now(), text, reply});
    ArgRef command = NamedArg(ArgRef::Kind::Command, text);
    command.reply = reply;
    PostToAttachedLocked(PendingEvent{EventId::Command, {command}});
    PostToAttachedLocked(PendingEvent{EventId::Reply, {command}});
    return reply;
}

void SimWorld::SendChat(const std::string& handle, const std::string& text) {
    std::lock_guard guard(mutex_);
    if (handle.empty()) {
        throw AutomationError(kInvalidArgument, "SendMessage: no user handle");
    }
    chats_.push_back(ChatMessage{clock_.Now(), handle, text});
}

std::vector<ChatMessage> SimWorld::ChatMessages() const {
    std::lock_guard guard(mutex_);
    return chats_;
}

std::vector<ReceivedCommand> SimWorld::Commands() const {
    std::lock_guard guard(mutex_);
    return commands_;
}

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
        for (const auto& contact : contacts_) {
            if (contact.handle == handle) {
                info.partnerDisplayName = contact.displayName;
            }
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
    if (IsFinal(call.info.status)) {
        return;
    }
    if (IsRingingPhase(call.info.status)) {
        SetStatusLocked(call,
                        IsIncoming(call.info.type) ? CallStatus::Missed : CallStatus::Refused);
    } else {
        SetStatusLocked(call, CallStatus::Finished);
    }
}

void SimWorld::SetVideoStatus(int32_t id, VideoStatus send, VideoStatus receive) {
    std::lock_guard guard(mutex_);
    CallState_& call = CallLocked(id);
    call.info.videoSend = send;
    call.info.videoReceive = receive;
}

CallInfo SimWorld::CallSnapshot(int32_t id) const {
    return CallState(id);
}

CallInfo SimWorld::CallState(int32_t id) const {
    std::lock_guard guard(mutex_);
    const_cast<SimWorld*>(this)->PumpLocked();
    CallInfo info = CallLocked(id).info;
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

void SimWorld::PumpLocked() {
    Millis now = clock_.Now();
    for (auto& [id, call] : calls_) {
        if (call->recorder) {
            call->recorder->Advance(now, call->info.status == CallStatus::InProgress);
        }
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
    PostToAttachedLocked(
        PendingEvent{EventId::CallStatus, {CallArg(call.info.id), IntArg(ToInt(status))}});
}

void SimWorld::EndInputLocked(CallState_& call) {
    Millis now = clock_.Now();
    if (call.playingSegment >= 0) {
        auto& segment = call.info.heard[static_cast<size_t>(call.playingSegment)];
        segment.end = std::min(segment.end, now);
        call.playingSegment = -1;
    }
    call.playingUntil = std::min(call.playingUntil, now);
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
                    ++call.info.silentPlays;
                }
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
}

bool SimWorld::InputPlaying(int32_t id) {
    std::lock_guard guard(mutex_);
    const CallState_& call = CallLocked(id);
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
    if (IsFinal(call.info.status)) {
        return;
    }
    if (IsRingingPhase(call.info.status)) {
        SetStatusLocked(call,
                        IsIncoming(call.info.type) ? CallStatus::Refused : CallStatus::Cancelled);
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
    } else if (!start && (status == VideoStatus::Starting || status == VideoStatus::Running)) {
        status = VideoStatus::Available;
    }
}

// --- applications ---

bool SimWorld::HasApplication(const std::string& name) const {
    std::lock_guard guard(mutex_);
    auto found = apps_.find(name);
    return found != apps_.end() && found->second.created;
}

std::string SimWorld::ConnectStream(const std::string& app, const std::string& peerHandle) {
    std::lock_guard guard(mutex_);
    auto found = apps_.find(app);
    if (found == apps_.end() || !found->second.created) {
        return {};
    }
    std::string handle = peerHandle + ":" + std::to_string(nextStream_++);
    found->second.streams.push_back(Stream{handle, peerHandle, {}});
    PostToAttachedLocked(
        PendingEvent{EventId::ApplicationConnecting, {NamedArg(ArgRef::Kind::App, app), ArgRef{}}});
    StreamsChangedLocked(app);
    return handle;
}

void SimWorld::PeerSends(const std::string& app, const std::string& streamHandle,
                         const std::string& text) {
    std::lock_guard guard(mutex_);
    Stream* stream = FindStreamLocked(app, streamHandle);
    if (stream == nullptr) {
        throw std::logic_error("PeerSends: no open stream " + streamHandle);
    }
    stream->pending.push_back(text);
    ArgRef withData = NamedArg(ArgRef::Kind::Streams, app);
    for (const auto& each : apps_[app].streams) {
        if (!each.pending.empty()) {
            withData.handles.push_back(each.handle);
        }
    }
    PostToAttachedLocked(
        PendingEvent{EventId::ApplicationReceiving, {NamedArg(ArgRef::Kind::App, app), withData}});
}

void SimWorld::PeerDisconnects(const std::string& app, const std::string& streamHandle) {
    std::lock_guard guard(mutex_);
    if (FindStreamLocked(app, streamHandle) != nullptr) {
        std::erase_if(apps_[app].streams,
                      [&](const Stream& s) { return s.handle == streamHandle; });
        StreamsChangedLocked(app);
    }
}

std::vector<std::string> SimWorld::StreamHandles(const std::string& app) const {
    return OpenStreams(app);
}

int SimWorld::PendingMessages(const std::string& app, const std::string& streamHandle) const {
    std::lock_guard guard(mutex_);
    const Stream* stream = FindStreamLocked(app, streamHandle);
    return stream == nullptr ? 0 : static_cast<int>(stream->pending.size());
}

std::vector<std::string> SimWorld::OpenStreams(const std::string& app) const {
    std::lock_guard guard(mutex_);
    std::vector<std::string> handles;
    if (auto found = apps_.find(app); found != apps_.end()) {
        for (const auto& stream : found->second.streams) {
            handles.push_back(stream.handle);
        }
    }
    return handles;
}

int32_t SimWorld::StreamDataLength(const std::string& app, const std::string& handle) const {
    std::lock_guard guard(mutex_);
    const Stream* stream = FindStreamLocked(app, handle);
    if (stream == nullptr || stream->pending.empty()) {
        return 0;
    }
    return static_cast<int32_t>(stream->pending.front().size());
}

std::string SimWorld::StreamRead(const std::string& app, const std::string& handle) {
    std::lock_guard guard(mutex_);
    Stream* stream = FindStreamLocked(app, handle);
    if (stream == nullptr || stream->pending.empty()) {
        return {};
    }
    std::string text = std::move(stream->pending.front());
    stream->pending.erase(stream->pending.begin());
    return text;
}

void SimWorld::StreamDisconnect(const std::string& app, const std::string& handle) {
    std::lock_guard guard(mutex_);
    if (FindStreamLocked(app, handle) != nullptr) {
        std::erase_if(apps_[app].streams, [&](const Stream& s) { return s.handle == handle; });
        StreamsChangedLocked(app);
    }
}

std::string SimWorld::StreamPartner(const std::string& app, const std::string& handle) const {
    std::lock_guard guard(mutex_);
    const Stream* stream = FindStreamLocked(app, handle);
    return stream == nullptr ? std::string() : stream->partner;
}

SimWorld::Stream* SimWorld::FindStreamLocked(const std::string& app, const std::string& handle) {
    auto found = apps_.find(app);
    if (found == apps_.end()) {
        return nullptr;
    }
    for (auto& stream : found->second.streams) {
        if (stream.handle == handle) {
            return &stream;
        }
    }
    return nullptr;
}

const SimWorld::Stream* SimWorld::FindStreamLocked(const std::string& app,
                                                   const std::string& handle) const {
    return const_cast<SimWorld*>(this)->FindStreamLocked(app, handle);
}

void SimWorld::StreamsChangedLocked(const std::string& app) {
    ArgRef all = NamedArg(ArgRef::Kind::Streams, app);
    for (const auto& stream : apps_[app].streams) {
        all.handles.push_back(stream.handle);
    }
    PostToAttachedLocked(
        PendingEvent{EventId::ApplicationStreams, {NamedArg(ArgRef::Kind::App, app), all}});
}

// --- rules ---

void SimWorld::RecordViolation(const std::string& what) {
    std::lock_guard guard(mutex_);
    violations_.push_back(what);
}

std::vector<std::string> SimWorld::ThreadViolations() const {
    std::lock_guard guard(mutex_);
    return violations_;
}

}  // namespace velto::skype::sim
