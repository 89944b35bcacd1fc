#include "backends/sip/SipBackend.h"

#include <algorithm>
#include <sstream>

#include "backends/sip/RecordingFiles.h"
#include "backends/sip/SipEngine.h"
#include "backends/sip/SipObjects.h"
#include "callapi/AutomationError.h"
#include "platform/Trace.h"

namespace velto::skype::sip {
namespace {

using Kind = SipBackend::ArgRef::Kind;

SipBackend::ArgRef Arg(Kind kind, int32_t number, std::string text = {}) {
    SipBackend::ArgRef arg;
    arg.kind = kind;
    arg.number = number;
    arg.text = std::move(text);
    return arg;
}

std::string Upper(std::string text) {
    for (auto& c : text) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

}  // namespace

std::shared_ptr<SipBackend> SipBackend::Create(SipBackendOptions options) {
    // Before any call, and before the program reads its missed calls: a message a crash
    // interrupted is in its place by then.
    RecoverRecordings(options.dataDir);
    std::shared_ptr<SipBackend> backend(new SipBackend(std::move(options)));
    backend->loop_.Start();
    if (backend->accountLink_) {
        backend->accountLink_->SetReloader([weak = std::weak_ptr<SipBackend>(backend)] {
            if (const auto locked = weak.lock()) {
                locked->ReloadAccount();
            }
        });
    }
    return backend;
}

SipBackend::SipBackend(SipBackendOptions options)
    : engine_(std::make_unique<SipEngine>(*this, options)),
      accountLink_(options.accountLink),
      loop_(
          options.clock, [this] { engine_->Turn(); }, [this] { return engine_->Interval(); },
          [this] { return engine_->StackSocket(); }) {}

SipBackend::~SipBackend() {
    if (accountLink_) {
        accountLink_->SetReloader({});
    }
    loop_.Post([this] { engine_->Shutdown(); });
    loop_.Stop();
}

void SipBackend::ReloadAccount() {
    loop_.Post([this] { engine_->ReloadAccount(); });
}

// --- clients ---

std::shared_ptr<SipBackend::Client> SipBackend::AddClient(platform::MessageLoop& loop) {
    auto client = std::make_shared<Client>(loop);
    bool first = false;
    {
        std::lock_guard guard(mutex_);
        std::erase_if(clients_, [](const std::weak_ptr<Client>& weak) { return weak.expired(); });
        first = clients_.empty();
        clients_.push_back(client);
    }
    if (first) {
        loop_.Post([this] { engine_->Startup(); });
    }
    return client;
}

void SipBackend::RemoveClient(const std::shared_ptr<Client>& client) {
    bool last = false;
    {
        std::lock_guard guard(mutex_);
        std::erase_if(clients_, [&](const std::weak_ptr<Client>& weak) {
            auto locked = weak.lock();
            return !locked || locked == client;
        });
        last = clients_.empty();
        if (last) {
            // The program let go of the client: its calls are over for it at once, whatever
            // the peers take to answer the BYE.
            for (auto& [id, call] : state_.calls) {
                if (call.status != CallStatus::Finished && call.status != CallStatus::Missed &&
                    call.status != CallStatus::Refused) {
                    call.status = call.status == CallStatus::InProgress ? CallStatus::Finished
                                                                        : CallStatus::Missed;
                    call.inputPlaying = false;
                    NotifyLocked(id, CallChange::Status);
                }
            }
        }
    }
    if (last) {
        loop_.Post([this] { engine_->Shutdown(); });
    }
}

void SipBackend::Attach(const std::shared_ptr<Client>& client) {
    std::lock_guard guard(mutex_);
    client->attachRequested = true;
    ReportLocked(*client);
}

void SipBackend::ReportLocked(Client& client) {
    if (!client.attachRequested || client.reported == state_.attachment ||
        state_.attachment == AttachmentStatus::Unknown) {
        return;
    }
    client.reported = state_.attachment;
    PostLocked(client,
               PendingEvent{EventId::AttachmentStatus, {Arg(Kind::Int, ToInt(state_.attachment))}});
}

void SipBackend::PostLocked(Client& client, const PendingEvent& pending) {
    client.Post<SipCall, SipUser>(weak_from_this(), pending);
}

void SipBackend::PostToAttachedLocked(const PendingEvent& pending) {
    for (auto& weak : clients_) {
        if (auto client = weak.lock();
            client && client->attachRequested && client->reported == AttachmentStatus::Success) {
            PostLocked(*client, pending);
        }
    }
}

AttachmentStatus SipBackend::Attachment() const {
    std::lock_guard guard(mutex_);
    return state_.attachment;
}

void SipBackend::RequireAttached(const char* operation) const {
    if (Attachment() != AttachmentStatus::Success) {
        throw AutomationError(kNotAttached, std::string(operation) + ": not attached");
    }
}

// --- state ---

std::string SipBackend::UserHandle() const {
    std::lock_guard guard(mutex_);
    return state_.userHandle;
}

std::string SipBackend::UserFullName() const {
    std::lock_guard guard(mutex_);
    return state_.userFullName;
}

std::optional<ContactState> SipBackend::Contact(const std::string& handle) const {
    std::lock_guard guard(mutex_);
    for (const auto& contact : state_.contacts) {
        if (contact.handle == handle) {
            return contact;
        }
    }
    return std::nullopt;
}

std::vector<std::string> SipBackend::ContactHandles() const {
    std::lock_guard guard(mutex_);
    std::vector<std::string> handles;
    for (const auto& contact : state_.contacts) {
        handles.push_back(contact.handle);
    }
    return handles;
}

CallState SipBackend::Call(int32_t id) const {
    std::lock_guard guard(mutex_);
    auto found = state_.calls.find(id);
    if (found == state_.calls.end()) {
        throw AutomationError(kInvalidArgument, "Call " + std::to_string(id) + ": unknown call");
    }
    return found->second;
}

std::string SipBackend::DeviceText(int32_t id, Device device, DeviceKind kind) const {
    const CallState call = Call(id);
    const DeviceSetting& setting = call.devices[static_cast<int>(device)];
    return setting.kind == kind ? setting.text : std::string();
}

std::vector<std::string> SipBackend::OpenStreams(const std::string& application) const {
    std::lock_guard guard(mutex_);
    std::vector<std::string> handles;
    auto app = state_.applications.find(application);
    if (app != state_.applications.end()) {
        for (const auto& [handle, stream] : app->second) {
            handles.push_back(handle);
        }
    }
    return handles;
}

std::string SipBackend::StreamPartner(const std::string& application,
                                      const std::string& handle) const {
    std::lock_guard guard(mutex_);
    auto app = state_.applications.find(application);
    if (app == state_.applications.end() || app->second.count(handle) == 0) {
        return {};
    }
    return app->second.at(handle).partner;
}

int32_t SipBackend::StreamDataLength(const std::string& application,
                                     const std::string& handle) const {
    std::lock_guard guard(mutex_);
    auto app = state_.applications.find(application);
    if (app == state_.applications.end() || app->second.count(handle) == 0) {
        return 0;
    }
    const auto& waiting = app->second.at(handle).waiting;
    return waiting.empty() ? 0 : static_cast<int32_t>(waiting.front().size());
}

std::string SipBackend::StreamRead(const std::string& application, const std::string& handle) {
    std::lock_guard guard(mutex_);
    auto app = state_.applications.find(application);
    if (app == state_.applications.end() || app->second.count(handle) == 0) {
        return {};
    }
    auto& waiting = app->second.at(handle).waiting;
    if (waiting.empty()) {
        return {};
    }
    std::string text = waiting.front();
    waiting.erase(waiting.begin());
    return text;
}

void SipBackend::StreamDisconnect(const std::string& application, const std::string& handle) {
    std::lock_guard guard(mutex_);
    auto app = state_.applications.find(application);
    if (app != state_.applications.end()) {
        app->second.erase(handle);
    }
}

std::string SipBackend::RunCommand(const std::string& text) {
    std::istringstream words(text);
    std::string first, second, name;
    words >> first >> second >> name;
    first = Upper(first);
    second = Upper(second);
    if (first == "RELOAD" && second == "CONTACTS" && name.empty()) {
        // The user changed the contact file: it is read on the SIP thread, never here.
        loop_.Post([this] { engine_->LoadContacts(); });
        return "RELOAD CONTACTS";
    }
    std::lock_guard guard(mutex_);
    if (first == "CREATE" && second == "APPLICATION" && !name.empty()) {
        state_.applications[name];
        return "CREATE APPLICATION " + name;
    }
    if (first == "DELETE" && second == "APPLICATION" && state_.applications.count(name) == 1) {
        state_.applications.erase(name);
        return "DELETE APPLICATION " + name;
    }
    if (first == "PING") {
        return "PONG";
    }

    return "ERROR 2 Unknown command";
}

uint64_t SipBackend::Watch(int32_t id, std::function<void(CallChange)> changed) {
    std::lock_guard guard(mutex_);
    const uint64_t token = nextWatch_++;
    watchers_.push_back(Watcher{token, id, std::move(changed)});
    return token;
}

void SipBackend::Unwatch(uint64_t token) {
    std::lock_guard guard(mutex_);
    std::erase_if(watchers_, [&](const Watcher& watcher) { return watcher.token == token; });
}

void SipBackend::NotifyLocked(int32_t id, CallChange change) {
    for (const Watcher& watcher : watchers_) {
        if (watcher.id == id) {
            watcher.changed(change);
        }
    }
}

// --- operations ---

void SipBackend::Answer(int32_t id) {
    {
        std::lock_guard guard(mutex_);
        auto found = state_.calls.find(id);
        if (found == state_.calls.end() || found->second.status != CallStatus::Ringing ||
            found->second.answered) {
            throw AutomationError(kFail, "Answer: call " + std::to_string(id) + " is not ringing");
        }
        found->second.answered = true;
    }
    loop_.Post([this, id] { engine_->Answer(id); });
}

void SipBackend::Finish(int32_t id) {
    Call(id);
    loop_.Post([this, id] { engine_->Finish(id); });
}

// Read back at once as set; the SIP thread catches up.
bool SipBackend::MirrorDeviceLocked(int32_t id, Device device, DeviceKind kind,
                                    const std::string& text) {
    auto found = state_.calls.find(id);
    if (found == state_.calls.end()) {
        throw AutomationError(kInvalidArgument,
                              "SetDevice: call " + std::to_string(id) + ": unknown call");
    }
    CallState& call = found->second;
    call.devices[static_cast<int>(device)] = DeviceSetting{kind, text};
    if (device == Device::Input) {
        call.inputPlaying = kind == DeviceKind::File && !text.empty();
    }
    return SipEngine::ActsOn(device, kind, text);
}

void SipBackend::SetDevice(int32_t id, Device device, DeviceKind kind, const std::string& text) {
    bool used = false;
    {
        std::lock_guard guard(mutex_);
        used = MirrorDeviceLocked(id, device, kind, text);
    }
    if (used) {
        loop_.Post([this, id, device, kind, text] { engine_->SetDevice(id, device, kind, text); });
    }
}

void SipBackend::SetDevices(int32_t id, const DeviceSettings& devices) {
    struct Setting {
        Device device;
        DeviceKind kind;
        std::string text;
    };
    const Setting all[] = {{Device::Input, devices.inputKind, devices.input},
                           {Device::Output, devices.outputKind, devices.output},
                           {Device::CaptureMic, devices.captureMicKind, devices.captureMic}};
    std::vector<Setting> used;
    {
        std::lock_guard guard(mutex_);
        for (const Setting& setting : all) {
            if (MirrorDeviceLocked(id, setting.device, setting.kind, setting.text)) {
                used.push_back(setting);
            }
        }
    }
    if (!used.empty()) {
        loop_.Post([this, id, used = std::move(used)] {
            for (const Setting& setting : used) {
                engine_->SetDevice(id, setting.device, setting.kind, setting.text);
            }
        });
    }
}

// On this stack a stream plays on the speaker only once restarted on the sound devices,
// and a muted microphone still reaches the caller there: listening in is refused rather
// than let the room into the call.
void SipBackend::ListenIn(int32_t id, bool on) {
    Call(id);
    if (on) {
        throw AutomationError(kFail, "ListenIn: call " + std::to_string(id) +
                                         ": listening in is not available on SIP");
    }
}

void SipBackend::SendChat(const std::string& handle, const std::string& text) {
    if (handle.empty()) {
        throw AutomationError(kInvalidArgument, "SendMessage: no user handle");
    }
    const auto contact = Contact(handle);
    const std::string uri = contact ? contact->uri : "sip:" + handle;
    loop_.Post([this, uri, text] { engine_->SendMessage(uri, text, false); });
}

void SipBackend::SendDatagram(const std::string& handle, const std::string& text) {
    const auto contact = Contact(handle);
    const std::string uri = contact ? contact->uri : "sip:" + handle;
    loop_.Post([this, uri, text] { engine_->SendMessage(uri, text, true); });
}

// --- from the engine ---

void SipBackend::SetAttachment(AttachmentStatus status) {
    std::lock_guard guard(mutex_);
    state_.attachment = status;
    for (auto& weak : clients_) {
        if (auto client = weak.lock()) {
            ReportLocked(*client);
        }
    }
}

void SipBackend::SetUser(std::string handle, std::string fullName) {
    std::lock_guard guard(mutex_);
    state_.userHandle = std::move(handle);
    state_.userFullName = std::move(fullName);
}

void SipBackend::SetContacts(std::vector<ContactState> contacts,
                             const std::set<std::string>& kept) {
    std::lock_guard guard(mutex_);
    // Each contact added, changed or removed is reported as a status change: the contact
    // list reads the contact again and inserts, moves or removes its row.
    std::vector<std::pair<std::string, OnlineStatus>> changed;
    for (ContactState& contact : contacts) {
        const auto old =
            std::find_if(state_.contacts.begin(), state_.contacts.end(),
                         [&](const ContactState& known) { return known.handle == contact.handle; });
        if (old == state_.contacts.end()) {
            changed.emplace_back(contact.handle, contact.onlineStatus);
            continue;
        }
        if (kept.count(contact.handle) != 0) {
            contact.onlineStatus = old->onlineStatus;
        }
        if (old->fullName != contact.fullName || old->displayName != contact.displayName ||
            old->onlineStatus != contact.onlineStatus) {
            changed.emplace_back(contact.handle, contact.onlineStatus);
        }
    }
    for (const ContactState& old : state_.contacts) {
        if (std::none_of(contacts.begin(), contacts.end(),
                         [&](const ContactState& c) { return c.handle == old.handle; })) {
            changed.emplace_back(old.handle, OnlineStatus::Offline);
        }
    }
    state_.contacts = std::move(contacts);
    for (const auto& [handle, status] : changed) {
        PostToAttachedLocked(PendingEvent{
            EventId::OnlineStatus, {Arg(Kind::User, 0, handle), Arg(Kind::Int, ToInt(status))}});
    }
}

void SipBackend::ContactStatusChanged(const std::string& handle, OnlineStatus status) {
    std::lock_guard guard(mutex_);
    for (auto& contact : state_.contacts) {
        if (contact.handle == handle && contact.onlineStatus != status) {
            contact.onlineStatus = status;
            PostToAttachedLocked(
                PendingEvent{EventId::OnlineStatus,
                             {Arg(Kind::User, 0, handle), Arg(Kind::Int, ToInt(status))}});
        }
    }
}

void SipBackend::CallAdded(CallState call) {
    std::lock_guard guard(mutex_);
    const int32_t id = call.id;
    const CallStatus status = call.status;
    state_.calls[id] = std::move(call);
    PostToAttachedLocked(
        PendingEvent{EventId::CallStatus, {Arg(Kind::Call, id), Arg(Kind::Int, ToInt(status))}});
}

void SipBackend::CallStatusChanged(int32_t id, CallStatus status) {
    std::lock_guard guard(mutex_);
    auto found = state_.calls.find(id);
    if (found == state_.calls.end()) {
        return;
    }
    CallState& call = found->second;
    const bool over = call.status == CallStatus::Finished || call.status == CallStatus::Missed ||
                      call.status == CallStatus::Refused;
    if (call.status == status || over) {
        return;  // a call given up by the program stays over
    }
    call.status = status;
    if (status == CallStatus::Finished || status == CallStatus::Missed ||
        status == CallStatus::Refused) {
        call.inputPlaying = false;
    }
    NotifyLocked(id, CallChange::Status);
    PostToAttachedLocked(
        PendingEvent{EventId::CallStatus, {Arg(Kind::Call, id), Arg(Kind::Int, ToInt(status))}});
}

void SipBackend::RecordingChanged(int32_t id, std::string file) {
    std::lock_guard guard(mutex_);
    auto found = state_.calls.find(id);
    if (found != state_.calls.end()) {
        found->second.recordingSoFar = std::move(file);
    }
}

void SipBackend::InputEnded(int32_t id) {
    std::lock_guard guard(mutex_);
    auto found = state_.calls.find(id);
    if (found == state_.calls.end()) {
        return;
    }
    found->second.inputPlaying = false;
    DeviceSetting& input = found->second.devices[static_cast<int>(Device::Input)];
    if (input.kind == DeviceKind::File) {
        input.text.clear();
    }
    NotifyLocked(id, CallChange::InputEnded);
}

void SipBackend::DatagramReceived(const std::string& partner, const std::string& text) {
    std::lock_guard guard(mutex_);
    for (auto& [name, streams] : state_.applications) {
        const bool opened = streams.count(partner) == 0;
        StreamState& stream = streams[partner];
        stream.partner = partner;
        stream.waiting.push_back(text);
        ArgRef all = Arg(Kind::Streams, 0, name);
        for (const auto& [handle, s] : streams) {
            all.handles.push_back(handle);
        }
        if (opened) {
            PostToAttachedLocked(
                PendingEvent{EventId::ApplicationStreams, {Arg(Kind::App, 0, name), all}});
        }
        ArgRef receiving = Arg(Kind::Streams, 0, name);
        receiving.handles.push_back(partner);
        PostToAttachedLocked(
            PendingEvent{EventId::ApplicationReceiving, {Arg(Kind::App, 0, name), receiving}});
    }
}

}  // namespace velto::skype::sip
